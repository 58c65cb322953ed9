#include "quellin/CommandLine.h"
#include "quellin/GuiStart.h"

#include <iostream>

int main(int argc, char** argv)
{
    // Help, version and a plain macro file need no display (Qt's own options begin with one "-";
    // with them the window program sorts the arguments out).
    const quellin::CommandLine line = quellin::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (line.action == quellin::CommandLine::Action::ShowHelp) {
        std::cout << quellin::UsageText();
        return 0;
    }
    if (line.action == quellin::CommandLine::Action::ShowVersion) {
        std::cout << quellin::VersionText() << "\n";
        return 0;
    }
    if (line.action == quellin::CommandLine::Action::Fail) {
        std::cerr << "quellin: " << line.error << "\n" << quellin::UsageText();
        return 2;
    }
    if (line.action == quellin::CommandLine::Action::PlayMacro && line.macroFile.rfind('-', 0) != 0)
        return quellin::RefuseMacro(line.macroFile);
    return quellin::RunGui(argc, argv);
}
