#pragma once
// Tarnby without a window: "tarnby --links [options] FILE-OR-URL..." prints the link lines,
// "tarnby --check [options] FILE-OR-URL..." checks them.

namespace tarnby {

// True when the arguments ask for the batch mode (--links, --check, --help or --version), which needs
// no display.
bool IsBatchInvocation(int argc, char** argv);

// Runs the batch mode; returns the process exit status.
int RunBatch(int argc, char** argv);

} // namespace tarnby
