#pragma once
// Starting a program from a command line the way the programs' macros expect it: the line is
// split into arguments by the rules Windows programs apply to their command line, no shell is
// involved, and the call returns as soon as the program has started (or failed to).
#include <string>
#include <string_view>
#include <vector>

namespace platform::core {

// Splits a command line into arguments. Blanks and tabs separate arguments outside double
// quotes; a quote toggles quoting and is not part of the argument; inside quotes "" is one
// literal quote. Backslashes are literal except before a quote: 2n backslashes and a quote
// give n backslashes and a toggle, 2n+1 give n backslashes and a literal quote. The program
// name (first argument) takes quotes only, never backslash escapes.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// Starts the program named by the first argument (looked up in PATH unless it holds a "/")
// in a session of its own, without waiting for it. Returns 33 when it started, else a value
// of 31 or less: 2 no such file (also for an empty line), 3 no such folder, 5 access denied,
// 8 out of memory, 11 not an executable, 0 any other failure.
int WinExec(std::string_view commandLine);

} // namespace platform::core
