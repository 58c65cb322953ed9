#pragma once
// Xlib ends the program on a protocol error unless a handler is installed. Windows of other
// programs can vanish between two requests, so every request about them runs inside a trap
// that records the error instead. Single-threaded: the handler is process-wide while it lives.
#include <X11/Xlib.h>

namespace platform::x11 {

class XErrorTrap {
public:
    explicit XErrorTrap(Display* display);
    ~XErrorTrap();
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

    // Waits for the server's answers to everything sent so far; true when none was an error.
    bool succeeded();

private:
    Display* display_;
    int (*previous_)(Display*, XErrorEvent*);
    int previousCount_;
};

} // namespace platform::x11
