#pragma once
// Tarnby without a window: "tarnby --links [options] FILE-OR-URL..." prints the link lines.

namespace tarnby {

// True when the arguments ask for the batch mode (--links, --help or --version), which needs
// no display.
bool IsBatchInvocation(int argc, char** argv);

// Runs the batch mode; returns the process exit status.
int RunBatch(int argc, char** argv);

} // namespace tarnby
