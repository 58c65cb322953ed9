#include "SilentWindowManager.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

Display* Of(void* display)
{
    return static_cast<Display*>(display);
}

void SetWindows(Display* display, Window owner, const char* property, const std::vector<unsigned long>& windows)
{
    XChangeProperty(display, owner, XInternAtom(display, property, False), XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(windows.data()), static_cast<int>(windows.size()));
}

} // namespace

SilentWindowManager::SilentWindowManager(const std::vector<unsigned long>& clients)
    : display_(XOpenDisplay(nullptr))
{
    Display* display = Of(display_);
    const Window root = DefaultRootWindow(display);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, root, XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False), 0, 1, False,
                       XA_WINDOW, &type, &format, &count, &after, &data);
    if (data)
        XFree(data);
    if (count > 0) { // a manager runs
        check_ = 0;
        return;
    }
    check_ = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
    SetWindows(display, check_, "_NET_SUPPORTING_WM_CHECK", {check_});
    SetWindows(display, root, "_NET_SUPPORTING_WM_CHECK", {check_});
    SetWindows(display, root, "_NET_CLIENT_LIST", clients);
    XSync(display, False);
}

SilentWindowManager::~SilentWindowManager()
{
    Display* display = Of(display_);
    const Window root = DefaultRootWindow(display);
    if (!check_) {
        XCloseDisplay(display);
        return;
    }
    XDeleteProperty(display, root, XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False));
    XDeleteProperty(display, root, XInternAtom(display, "_NET_CLIENT_LIST", False));
    XDestroyWindow(display, check_);
    XCloseDisplay(display);
}
