#pragma once
// How the macro windows reach the desktop: a fresh connection for each use (a macro run, a
// fill of the window list), so that spare keycodes borrowed during a run are given back when
// it ends. Tests install a factory that hands out recorders.
#include "platform/x11/DesktopServices.h"

#include <functional>
#include <memory>

namespace makro {

using DesktopFactory = std::function<std::unique_ptr<platform::x11::DesktopServices>()>;

// The X server of $DISPLAY.
DesktopFactory X11DesktopFactory();

} // namespace makro
