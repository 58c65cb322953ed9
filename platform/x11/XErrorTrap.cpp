#include "platform/x11/XErrorTrap.h"

namespace platform::x11 {

namespace {

int errorCount = 0;

int CountError(Display*, XErrorEvent*)
{
    ++errorCount;
    return 0;
}

} // namespace

XErrorTrap::XErrorTrap(Display* display)
    : display_(display), previous_(nullptr), previousCount_(errorCount)
{
    XSync(display_, False);
    previous_ = XSetErrorHandler(CountError);
    previousCount_ = errorCount;
}

XErrorTrap::~XErrorTrap()
{
    XSync(display_, False);
    XSetErrorHandler(previous_);
}

bool XErrorTrap::succeeded()
{
    XSync(display_, False);
    return errorCount == previousCount_;
}

} // namespace platform::x11
