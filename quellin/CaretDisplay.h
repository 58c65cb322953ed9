#pragma once
// The caret's line and position for the status bar, refreshed on every key release in the
// editor (a caret moved by the mouse leaves the display as it was).
#include "platform/gui/RichEdit.h"

#include <functional>

namespace quellin {

// "Line: 3, Pos: 5": line and offset in the line of the selection start, both from 1.
QString CaretPositionText(const platform::gui::RichEdit& editor);

// Calls show with CaretPositionText after each key release in editor, for the editor's life.
void ShowCaretOnKeyRelease(platform::gui::RichEdit& editor,
                           std::function<void(const QString&)> show);

} // namespace quellin
