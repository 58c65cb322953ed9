// The X11 desktop services against a real X server: titles from either property and either
// encoding, look-up without regard to case, hidden application windows left out, and the
// keys the US layout of the test server (a 105-key keyboard, "<" on its own key) gives characters.
#include <QString>
#include <QTest>

#include "platform/x11/X11Desktop.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

using platform::x11::X11Desktop;

namespace {

// A raw top-level window with the title properties given.
class RawWindow {
public:
    RawWindow(Display* display, const char* utf8Name, const char* latin1Name, bool mapped, bool clientLeader = false)
        : display_(display)
    {
        window_ = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 50, 50, 0, 0, 0);
        if (utf8Name) {
            XChangeProperty(display, window_, XInternAtom(display, "_NET_WM_NAME", False),
                            XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(utf8Name), static_cast<int>(strlen(utf8Name)));
        }
        if (latin1Name)
            XStoreName(display, window_, latin1Name);
        if (clientLeader) {
            XChangeProperty(display, window_, XInternAtom(display, "WM_CLIENT_LEADER", False), XA_WINDOW, 32,
                            PropModeReplace, reinterpret_cast<const unsigned char*>(&window_), 1);
        }
        if (mapped)
            XMapWindow(display, window_);
        XSync(display, False);
    }
    ~RawWindow()
    {
        XDestroyWindow(display_, window_);
        XSync(display_, False);
    }

private:
    Display* display_;
    Window window_;
};

class X11Services : public ::testing::Test {
protected:
    void SetUp() override { display_ = XOpenDisplay(nullptr); ASSERT_NE(display_, nullptr); }
    void TearDown() override { XCloseDisplay(display_); }

    // Windows become top-level windows of the list once the window manager has them.
    bool Listed(X11Desktop& desktop, const std::string& title)
    {
        return QTest::qWaitFor([&] {
            const auto titles = desktop.windowTitles();
            return std::find(titles.begin(), titles.end(), title) != titles.end();
        }, 2000);
    }

    Display* display_ = nullptr;
};

TEST_F(X11Services, TitlesComeFromEitherPropertyAsUtf8)
{
    RawWindow utf8(display_, "Gr\xC3\xBC\xC3\x9F" "e UTF", "ignored", true);
    RawWindow latin1(display_, nullptr, "Caf\xE9 Latin", true);
    X11Desktop desktop;
    EXPECT_TRUE(Listed(desktop, "Gr\xC3\xBC\xC3\x9F" "e UTF"));
    EXPECT_TRUE(Listed(desktop, "Caf\xC3\xA9 Latin"));
    EXPECT_NE(desktop.findWindow("GR\xC3\x9C\xC3\x9F" "E utf"), 0u);
    EXPECT_NE(desktop.findWindow("caf\xC3\xA9 latin"), 0u);
    EXPECT_EQ(desktop.findWindow("Caf"), 0u);
    EXPECT_FALSE(desktop.bringToTop(0));
}

TEST_F(X11Services, HiddenClientLeaderIsNotListed)
{
    RawWindow leader(display_, nullptr, "Hidden Leader", false, true);
    RawWindow visible(display_, nullptr, "Visible Sibling", true);
    X11Desktop desktop;
    ASSERT_TRUE(Listed(desktop, "Visible Sibling"));
    const auto titles = desktop.windowTitles();
    EXPECT_EQ(std::count(titles.begin(), titles.end(), "Hidden Leader"), 0);
}

struct ScanCase {
    char32_t character;
    int result;
};

class KeyScans : public ::testing::TestWithParam<ScanCase> {};

TEST_P(KeyScans, FollowTheServersLayout)
{
    X11Desktop desktop;
    EXPECT_EQ(desktop.keyScan(GetParam().character), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(UsLayout, KeyScans, ::testing::Values(
    ScanCase{U'a', 0x41}, ScanCase{U'A', 0x141}, ScanCase{U'7', 0x37}, ScanCase{U'&', 0x137},
    ScanCase{U'?', 0x1BF}, ScanCase{U'>', 0x1BE}, ScanCase{U'<', 0xE2}, ScanCase{U'\t', 0x09}, ScanCase{U' ', 0x20},
    ScanCase{U'\xE9', platform::x11::NoKey}, ScanCase{U'\x20AC', platform::x11::NoKey}),
    [](const auto& info) { return std::to_string(info.index); });

} // namespace
