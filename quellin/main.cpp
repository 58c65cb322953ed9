#include "quellin/CheckCommand.h"
#include "quellin/CommandLine.h"
#include "quellin/GuiStart.h"
#include "richprint/PrintCommand.h"

#include <iostream>
#include <string_view>

int main(int argc, char** argv)
{
    if (argc > 1 && std::string_view(argv[1]) == "--print")
        return richprint::PrintCommandMain(argc, argv);
    if (argc > 1 && std::string_view(argv[1]) == "--check")
        return quellin::CheckCommand(std::vector<std::string>(argv + 2, argv + argc), std::cout, std::cerr);
    // Help and version need no display.
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
    return quellin::RunGui(argc, argv);
}
