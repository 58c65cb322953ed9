// The real quellin program on an X server with a window manager: its main window appears with
// the title "Quellin"; a text typed into it survives a kill -9 and is offered at the next start.
#include "makro/KeyTyper.h"
#include "platform/x11/X11Desktop.h"
#include "quellin/RecoveryStore.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <csignal>
#include <poll.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace {

// The top-level windows the window manager lists, with their titles.
class TopLevelWindows {
public:
    TopLevelWindows() : display_(XOpenDisplay(nullptr))
    {
        if (display_)
            XSelectInput(display_, DefaultRootWindow(display_), PropertyChangeMask | SubstructureNotifyMask);
    }
    ~TopLevelWindows()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    bool open() const { return display_ != nullptr; }

    // Sleeps on the X connection until a window with this title is listed, or the time is up.
    bool waitForTitle(const std::string& title, std::chrono::milliseconds timeout)
    {
        const auto end = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            if (hasTitle(title))
                return true;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return false;
            while (XPending(display_)) {
                XEvent event;
                XNextEvent(display_, &event);
            }
            pollfd fd{ ConnectionNumber(display_), POLLIN, 0 };
            // Titles are set by the client some time after it maps; check every change.
            ::poll(&fd, 1, static_cast<int>(std::min<long>(left.count(), 500)));
        }
    }

private:
    // The bytes of a window property of the given type; none when it is not set.
    std::optional<std::string> property(Window window, const char* name, Atom type)
    {
        Atom actualType;
        int format;
        unsigned long count;
        unsigned long after;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, window, XInternAtom(display_, name, False), 0, 1024, False, type, &actualType,
                               &format, &count, &after, &data) != Success || !data)
            return std::nullopt;
        const std::size_t unit = format == 32 ? sizeof(long) : static_cast<std::size_t>(format / 8);
        std::string bytes(reinterpret_cast<const char*>(data), count * unit);
        XFree(data);
        return bytes;
    }

    std::vector<Window> clients()
    {
        const std::optional<std::string> list = property(DefaultRootWindow(display_), "_NET_CLIENT_LIST", XA_WINDOW);
        std::vector<Window> windows;
        if (list)
            windows.assign(reinterpret_cast<const Window*>(list->data()),
                           reinterpret_cast<const Window*>(list->data() + list->size()));
        return windows;
    }

    std::optional<std::string> titleOf(Window window)
    {
        return property(window, "_NET_WM_NAME", XInternAtom(display_, "UTF8_STRING", False));
    }

    bool hasTitle(const std::string& title)
    {
        for (Window w : clients())
            if (titleOf(w) == title)
                return true;
        return false;
    }

    Display* display_;
};

// What a user does with the mouse and the keyboard, through XTest.
class User {
public:
    User() : display_(XOpenDisplay(nullptr)) {}
    ~User() { XCloseDisplay(display_); }

    // Clicks at a point given as fractions of the window's width and height.
    void click(platform::x11::WindowId window, double x, double y)
    {
        XWindowAttributes attributes{};
        XGetWindowAttributes(display_, window, &attributes);
        int rootX = 0, rootY = 0;
        Window child = 0;
        XTranslateCoordinates(display_, window, DefaultRootWindow(display_), static_cast<int>(attributes.width * x),
                              static_cast<int>(attributes.height * y), &rootX, &rootY, &child);
        XTestFakeMotionEvent(display_, -1, rootX, rootY, CurrentTime);
        XTestFakeButtonEvent(display_, 1, True, CurrentTime);
        XTestFakeButtonEvent(display_, 1, False, CurrentTime);
        XSync(display_, False);
    }
    // Asks the window to close, as its title bar's close button does.
    void close(platform::x11::WindowId window)
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display_, window, False, NoEventMask, &event);
        XSync(display_, False);
    }
    // Types key text of the macro language into the focused window.
    void type(const std::string& keys)
    {
        makro::KeyTyper(desktop).send(keys);
    }
    // Waits for a window of this title above the one given (a box over the main window).
    platform::x11::WindowId waitForBox(const std::string& title, platform::x11::WindowId main)
    {
        platform::x11::WindowId box = 0;
        const bool shown = QTest::qWaitFor([&] {
            box = desktop.findWindow(title);
            return box != 0 && box != main;
        }, 20000);
        return shown ? box : 0;
    }

    platform::x11::X11Desktop desktop;

private:
    Display* display_;
};

// The recovery copies in a state folder, read.
std::vector<quellin::RecoveryCopy> Copies(const QString& folder)
{
    std::vector<quellin::RecoveryCopy> copies;
    for (const QFileInfo& info : QDir(folder).entryInfoList({QStringLiteral("*.text")}, QDir::Files)) {
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray bytes = file.readAll();
        if (auto copy = quellin::ParseRecoveryCopy(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))))
            copies.push_back(std::move(*copy));
    }
    return copies;
}

class Quellin {
public:
    Quellin(const QString& config, const QString& state)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        environment.insert(QStringLiteral("XDG_STATE_HOME"), state);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(QUELLIN_EXECUTABLE), {});
        EXPECT_TRUE(process.waitForStarted());
    }
    ~Quellin()
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    QProcess process;
};

TEST(QuellinProgram, ItsWindowAppearsWithTheTitleQuellin)
{
    TopLevelWindows windows;
    ASSERT_TRUE(windows.open()) << "no X server";
    QTemporaryDir config;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(QUELLIN_EXECUTABLE), {});
    ASSERT_TRUE(program.waitForStarted());
    EXPECT_TRUE(windows.waitForTitle("Quellin", std::chrono::seconds(20)));
    program.terminate();
    program.waitForFinished(5000);
}

TEST(QuellinProgram, TextTypedBeforeAKillIsRestoredAtTheNextStartAndACleanExitLeavesNothing)
{
    TopLevelWindows windows;
    ASSERT_TRUE(windows.open()) << "no X server";
    QTemporaryDir config;
    QTemporaryDir state;
    const QString folder = state.filePath(QStringLiteral("quellin"));
    User user;
    {
        Quellin first(config.path(), state.path());
        ASSERT_TRUE(windows.waitForTitle("Quellin", std::chrono::seconds(20)));
        const platform::x11::WindowId main = user.desktop.findWindow("Quellin");
        ASSERT_TRUE(user.desktop.bringToTop(main));
        // A window that has just appeared may still be laying itself out and miss the first
        // click: the user clicks and types again (selecting all first, so the text is the same).
        bool copied = false;
        for (int attempt = 0; attempt < 3 && !copied; ++attempt) {
            user.click(main, 0.7, 0.5); // into the editor
            user.type("<CONTROL>a<.CONTROL>typed before the kill");
            copied = QTest::qWaitFor([&] { return Copies(folder).size() == 1; }, 6000);
        }
        ASSERT_TRUE(copied);
        ::kill(static_cast<pid_t>(first.process.processId()), SIGKILL);
        ASSERT_TRUE(first.process.waitForFinished(5000));
    }
    std::vector<quellin::RecoveryCopy> left = Copies(folder);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].bytes, "typed before the kill\r\n");

    Quellin second(config.path(), state.path());
    ASSERT_TRUE(windows.waitForTitle("Quellin", std::chrono::seconds(20)));
    const platform::x11::WindowId main = user.desktop.findWindow("Quellin");
    const platform::x11::WindowId question = user.waitForBox("Quellin", main);
    ASSERT_NE(question, 0u) << "no question about the copy";
    ASSERT_TRUE(user.desktop.bringToTop(question));
    user.type("y"); // Yes: restore
    // The copy is the new session's now: one copy, of another name, with the same bytes.
    const QStringList before = QDir(folder).entryList({QStringLiteral("*.text")});
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const QStringList now = QDir(folder).entryList({QStringLiteral("*.text")});
        return now.size() == 1 && now != before;
    }, 10000));
    left = Copies(folder);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].bytes, "typed before the kill\r\n");

    // A clean exit: the window closes after "Text changed - still quit?" is answered Yes.
    user.close(main);
    const platform::x11::WindowId quit = user.waitForBox("Quellin", main);
    ASSERT_NE(quit, 0u) << "no question before quitting";
    ASSERT_TRUE(user.desktop.bringToTop(quit));
    user.type("y");
    ASSERT_TRUE(second.process.waitForFinished(10000));
    EXPECT_EQ(second.process.exitCode(), 0);
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty()) << QDir(folder).entryList(QDir::Files).join(' ').toStdString();
}

} // namespace
