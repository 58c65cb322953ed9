#pragma once
// The top-level windows of the X server: their titles in stacking order, a window by title,
// and raising one with the keyboard focus. With a window manager (one that announces itself
// through _NET_SUPPORTING_WM_CHECK) its client list and activation request are used; without
// one the root window's children are the top-level windows and focus is set directly.
#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace platform::x11 {

class X11Windows {
public:
    explicit X11Windows(Display* display);

    // Top of the stacking order first. Hidden application windows (unmapped client leaders,
    // which only carry properties for their program) are left out.
    std::vector<Window> topLevels();
    // _NET_WM_NAME, else WM_NAME, as UTF-8; empty when the window has neither (or is gone).
    std::string title(Window window);
    // The first in topLevels() whose title equals title without regard to case; 0 if none.
    Window find(const std::string& title);
    // Raises and focuses the window; waits (briefly) until the focus has arrived, so that key
    // events sent next go to it. False when the window cannot be raised or the focus has not
    // arrived within the wait (a window manager that refused the activation).
    bool bringToTop(Window window);

private:
    bool hasWindowManager();
    std::vector<Window> windowListProperty(Window owner, Atom property);
    bool isHiddenClientLeader(Window window);
    bool hasFocus(Window window);

    Display* display_;
    Window root_;
    Atom netClientListStacking_;
    Atom netClientList_;
    Atom netSupportingWmCheck_;
    Atom netActiveWindow_;
    Atom netWmName_;
    Atom utf8String_;
    Atom wmClientLeader_;
};

} // namespace platform::x11
