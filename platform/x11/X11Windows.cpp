// Qt first: the X headers define macros (None, Bool, ...) that clash with Qt's names.
#include <QString>

#include "platform/x11/X11Windows.h"

#include "platform/x11/XErrorTrap.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <chrono>
#include <thread>

namespace platform::x11 {

namespace {

constexpr auto focusPollInterval = std::chrono::milliseconds(5);
constexpr auto focusWaitLimit = std::chrono::milliseconds(1000);

} // namespace

X11Windows::X11Windows(Display* display)
    : display_(display),
      root_(DefaultRootWindow(display)),
      netClientListStacking_(XInternAtom(display, "_NET_CLIENT_LIST_STACKING", False)),
      netClientList_(XInternAtom(display, "_NET_CLIENT_LIST", False)),
      netSupportingWmCheck_(XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False)),
      netActiveWindow_(XInternAtom(display, "_NET_ACTIVE_WINDOW", False)),
      netWmName_(XInternAtom(display, "_NET_WM_NAME", False)),
      utf8String_(XInternAtom(display, "UTF8_STRING", False)),
      wmClientLeader_(XInternAtom(display, "WM_CLIENT_LEADER", False))
{
}

std::vector<Window> X11Windows::windowListProperty(Window owner, Atom property)
{
    std::vector<Window> windows;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XErrorTrap trap(display_);
    if (XGetWindowProperty(display_, owner, property, 0, 1 << 16, False, XA_WINDOW, &type, &format,
                           &count, &after, &data) == Success && data) {
        if (type == XA_WINDOW && format == 32) {
            const auto* ids = reinterpret_cast<const unsigned long*>(data);
            windows.assign(ids, ids + count);
        }
        XFree(data);
    }
    return windows;
}

bool X11Windows::hasWindowManager()
{
    const std::vector<Window> check = windowListProperty(root_, netSupportingWmCheck_);
    if (check.empty())
        return false;
    // A manager that died leaves the property behind; its check window is then gone.
    const std::vector<Window> self = windowListProperty(check.front(), netSupportingWmCheck_);
    return !self.empty() && self.front() == check.front();
}

bool X11Windows::isHiddenClientLeader(Window window)
{
    const std::vector<Window> leader = windowListProperty(window, wmClientLeader_);
    if (leader.empty() || leader.front() != window)
        return false;
    XWindowAttributes attributes;
    XErrorTrap trap(display_);
    return XGetWindowAttributes(display_, window, &attributes) && attributes.map_state == IsUnmapped;
}

std::vector<Window> X11Windows::topLevels()
{
    std::vector<Window> bottomFirst;
    if (hasWindowManager()) {
        bottomFirst = windowListProperty(root_, netClientListStacking_);
        if (bottomFirst.empty())
            bottomFirst = windowListProperty(root_, netClientList_);
    } else {
        Window rootReturn = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display_, root_, &rootReturn, &parent, &children, &count) && children) {
            bottomFirst.assign(children, children + count);
            XFree(children);
        }
    }
    std::vector<Window> topFirst;
    for (auto it = bottomFirst.rbegin(); it != bottomFirst.rend(); ++it) {
        if (!isHiddenClientLeader(*it))
            topFirst.push_back(*it);
    }
    return topFirst;
}

std::string X11Windows::title(Window window)
{
    XErrorTrap trap(display_);
    std::string result;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window, netWmName_, 0, 1024, False, utf8String_, &type, &format,
                           &count, &after, &data) == Success && data) {
        if (type == utf8String_ && format == 8)
            result.assign(reinterpret_cast<const char*>(data), count);
        XFree(data);
    }
    if (!result.empty())
        return result;
    XTextProperty name{};
    if (XGetWMName(display_, window, &name) && name.value) {
        if (name.encoding == XA_STRING && name.format == 8)
            result = QString::fromLatin1(reinterpret_cast<const char*>(name.value),
                                         static_cast<qsizetype>(name.nitems)).toStdString();
        else if (name.format == 8)
            result.assign(reinterpret_cast<const char*>(name.value), name.nitems);
        XFree(name.value);
    }
    return result;
}

Window X11Windows::find(const std::string& wanted)
{
    const QString key = QString::fromStdString(wanted);
    for (Window window : topLevels()) {
        if (QString::fromStdString(title(window)).compare(key, Qt::CaseInsensitive) == 0)
            return window;
    }
    return 0;
}

bool X11Windows::hasFocus(Window window)
{
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(display_, &focus, &revert);
    XErrorTrap trap(display_);
    // The focus may sit on a child of the window (a toolkit's focus proxy).
    while (focus != 0 && focus != PointerRoot && focus != root_) {
        if (focus == window)
            return true;
        Window rootReturn = 0, parent = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display_, focus, &rootReturn, &parent, &children, &count))
            return false;
        if (children)
            XFree(children);
        focus = parent;
    }
    return false;
}

bool X11Windows::bringToTop(Window window)
{
    if (window == 0)
        return false;
    {
        XErrorTrap trap(display_);
        if (hasWindowManager()) {
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.window = window;
            event.xclient.message_type = netActiveWindow_;
            event.xclient.format = 32;
            event.xclient.data.l[0] = 2; // from a pager or tool: honoured without focus stealing rules
            event.xclient.data.l[1] = CurrentTime;
            XSendEvent(display_, root_, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
        } else {
            XRaiseWindow(display_, window);
            XSetInputFocus(display_, window, RevertToParent, CurrentTime);
        }
        if (!trap.succeeded())
            return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + focusWaitLimit;
    while (!hasFocus(window)) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(focusPollInterval);
    }
    return true;
}

} // namespace platform::x11
