#pragma once
// Quellin's window program: application object and title, the windows in their order, the
// message loop.
namespace quellin {

// Returns the process exit status when the program ends.
int RunGui(int argc, char** argv);

} // namespace quellin
