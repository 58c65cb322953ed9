#pragma once
// "quellin --check FILE...": the HTML check's problems of each file as "FILE:LINE:COL: message"
// lines on standard output, the form editors and build tools read (control characters in FILE
// shown as "?", so that every problem stays one line). Each file is read as the
// editor reads it (UTF-8, else Windows-1252) and its relative href and src files are looked
// for beside it. Needs no display.
//
// Exit status: 0 when no file has a problem, 1 when one has (or cannot be read: then a line
// "quellin: FILE: reason" goes to standard error and the other files are still checked),
// 2 for a wrong command line.
#include <iosfwd>
#include <string>
#include <vector>

namespace quellin {

// args: everything after "--check".
int CheckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace quellin
