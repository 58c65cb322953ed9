#include "platform/x11/X11Desktop.h"

#include "base/Exception.h"
#include "platform/core/ProgramStart.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11Windows.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <thread>

namespace platform::x11 {

void X11Desktop::DisplayCloser::operator()(void* display) const
{
    XCloseDisplay(static_cast<Display*>(display));
}

X11Desktop::X11Desktop()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        throw base::Exception("Macros need an X11 or XWayland session: cannot open the display");
    display_.reset(display);
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor))
        throw base::Exception("The X server cannot synthesise key events (no XTest extension)");
    keyboard_ = std::make_unique<X11Keyboard>(display);
    windows_ = std::make_unique<X11Windows>(display);
}

X11Desktop::~X11Desktop()
{
    keyboard_.reset();
    windows_.reset();
}

void X11Desktop::keyEvent(std::uint8_t virtualKey, bool release)
{
    keyboard_->keyEvent(virtualKey, release);
}

int X11Desktop::keyScan(char32_t character)
{
    return keyboard_->keyScan(character);
}

void X11Desktop::typeCharacterWithoutKey(char32_t character)
{
    keyboard_->typeWithoutKey(character);
}

bool X11Desktop::keyDown(std::uint8_t virtualKey)
{
    return keyboard_->isDown(virtualKey);
}

WindowId X11Desktop::findWindow(const std::string& title)
{
    return windows_->find(title);
}

bool X11Desktop::bringToTop(WindowId window)
{
    return windows_->bringToTop(static_cast<Window>(window));
}

std::vector<std::string> X11Desktop::windowTitles()
{
    std::vector<std::string> titles;
    for (Window window : windows_->topLevels()) {
        std::string title = windows_->title(window);
        if (!title.empty())
            titles.push_back(std::move(title));
    }
    return titles;
}

int X11Desktop::startProgram(const std::string& commandLine)
{
    return platform::core::WinExec(commandLine);
}

DesktopServices::Clock::time_point X11Desktop::now()
{
    return Clock::now();
}

void X11Desktop::sleepFor(Clock::duration span)
{
    std::this_thread::sleep_for(span);
}

} // namespace platform::x11
