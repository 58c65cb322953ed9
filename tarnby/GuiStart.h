#pragma once
// Tarnby's window program: application object, title, main window, message loop.

namespace tarnby {

// Returns the process exit status when the window has closed.
int RunGui(int argc, char** argv);

} // namespace tarnby
