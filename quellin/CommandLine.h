#pragma once
// Quellin's command line. Arguments that begin with "--" are options; the first other argument
// is a macro file to play (the program then ends). Qt's own options ("-platform xcb") are taken
// out by the application object before the window program parses what is left.
#include <string>
#include <vector>

namespace quellin {

struct CommandLine {
    enum class Action { OpenWindow, ShowHelp, ShowVersion, PlayMacro, Fail };
    Action action = Action::OpenWindow;
    std::string macroFile;   // PlayMacro
    std::string error;       // Fail: what was wrong, for standard error
};

// args without the program name. "--help" and "--version" win wherever they stand.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

std::string UsageText();
// "Quellin " and the program's version ("Quellin 1.1.0.0").
std::string VersionText();

} // namespace quellin
