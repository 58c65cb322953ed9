#pragma once
// The monospaced font in which Quellin's editor pane shows its text and in which printing
// sets it, so tab-aligned columns line up on screen and on paper alike.
#include <QFont>

namespace platform::gui {

// "Courier New" where installed, else the system's fixed-pitch font; 13 pixels.
QFont EditorFont();

} // namespace platform::gui
