#pragma once
// The desktop services on a real X server ($DISPLAY), through a connection of its own.
// Keys are synthesised with XTest; spare keycodes borrowed for characters without a key are
// given back when the object is destroyed, so keep one object for one macro run.
#include "platform/x11/DesktopServices.h"

#include <memory>

namespace platform::x11 {

class X11Keyboard;
class X11Windows;

class X11Desktop : public DesktopServices {
public:
    // Throws base::Exception when the display cannot be opened or has no XTest.
    X11Desktop();
    ~X11Desktop() override;

    void keyEvent(std::uint8_t virtualKey, bool release) override;
    int keyScan(char32_t character) override;
    void typeCharacterWithoutKey(char32_t character) override;
    bool keyDown(std::uint8_t virtualKey) override;
    WindowId findWindow(const std::string& title) override;
    bool bringToTop(WindowId window) override;
    std::vector<std::string> windowTitles() override;
    int startProgram(const std::string& commandLine) override;
    Clock::time_point now() override;
    void sleepFor(Clock::duration span) override;

private:
    struct DisplayCloser {
        void operator()(void* display) const;
    };
    std::unique_ptr<void, DisplayCloser> display_;
    std::unique_ptr<X11Keyboard> keyboard_;
    std::unique_ptr<X11Windows> windows_;
};

} // namespace platform::x11
