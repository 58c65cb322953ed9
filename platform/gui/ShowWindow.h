#pragma once
// Showing a window so that it is on the screen before long work starts on the GUI thread:
// show() only asks for it, and the window system exposes it a moment later.
class QWidget;

namespace platform::gui {

// Shows window and waits in the event loop (user input held back) until the window system
// has exposed it, or at most timeoutMs milliseconds. Returns whether it is exposed.
bool ShowAndWaitUntilExposed(QWidget* window, int timeoutMs = 2000);

} // namespace platform::gui
