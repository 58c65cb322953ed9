#include "makro/DesktopFactory.h"

#include "platform/x11/X11Desktop.h"

namespace makro {

DesktopFactory X11DesktopFactory()
{
    return [] { return std::make_unique<platform::x11::X11Desktop>(); };
}

} // namespace makro
