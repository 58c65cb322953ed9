#pragma once
// The program's file version: four numbers joined by ".", set by the build from the project's
// version in the top-level CMakeLists.txt (missing parts are 0).
#include <string>

namespace quellin {

std::string ProgramVersion();

} // namespace quellin
