// The real quellin program on an X server with a window manager: its main window appears with
// the title "Quellin".
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
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

} // namespace
