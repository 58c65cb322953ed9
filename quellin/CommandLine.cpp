#include "quellin/CommandLine.h"

#include "quellin/Version.h"

#include <algorithm>
#include <iostream>

namespace quellin {

CommandLine ParseCommandLine(const std::vector<std::string>& args)
{
    CommandLine line;
    const auto has = [&](const char* option) { return std::find(args.begin(), args.end(), option) != args.end(); };
    if (has("--help")) {
        line.action = CommandLine::Action::ShowHelp;
        return line;
    }
    if (has("--version")) {
        line.action = CommandLine::Action::ShowVersion;
        return line;
    }
    for (const std::string& arg : args) {
        if (arg.rfind("--", 0) == 0) {
            line.action = CommandLine::Action::Fail;
            line.error = "unknown option " + arg;
            return line;
        }
        if (line.macroFile.empty()) {
            line.action = CommandLine::Action::PlayMacro;
            line.macroFile = arg;
        }
    }
    return line;
}

std::string UsageText()
{
    return "Usage: quellin [OPTION]... [MACRO-FILE]\n"
           "       quellin --print [--plain] [--title TEXT] [-o FILE.pdf] FILE...\n"
           "       quellin --check FILE...\n"
           "Edit files that live on an FTP server. With a macro file, play it and end.\n"
           "With --print, print text files with header and footer, without a window.\n"
           "\n"
           "  --help     show this help and end\n"
           "  --version  show the version and end\n"
           "  --print    print the FILEs; --plain: one font for the whole text; --title TEXT:\n"
           "             the header's title (default: each file's name); -o FILE.pdf: write a\n"
           "             PDF file instead of printing on the default printer\n"
           "  --check    list the HTML problems of the FILEs as FILE:LINE:COL: message;\n"
           "             exit status 0: none, 1: problems found, 2: wrong command line\n"
           "\n"
           "Sites are stored in QUELLIN.INI in $XDG_CONFIG_HOME (default ~/.config).\n";
}

std::string VersionText()
{
    return "Quellin " + ProgramVersion();
}

} // namespace quellin
