// Starting programs from a command line: the split into arguments, and the results that tell
// a started program from a failure.
#include "platform/core/ProgramStart.h"

#include <QTemporaryDir>
#include <QFile>
#include "support/TestNames.h"

#include <gtest/gtest.h>

#include <cctype>

namespace {

struct CommandLineCase {
    std::string line;
    std::vector<std::string> arguments;
};

class CommandLines : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLines, SplitAsWindowsProgramsSplitThem)
{
    EXPECT_EQ(platform::core::SplitCommandLine(GetParam().line), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(ProgramStart, CommandLines, ::testing::Values(
    CommandLineCase{"edit readme.txt", {"edit", "readme.txt"}},
    CommandLineCase{"  edit\t a  b ", {"edit", "a", "b"}},
    CommandLineCase{"\"/opt/my tools/ed\" \"my notes.txt\"", {"/opt/my tools/ed", "my notes.txt"}},
    CommandLineCase{"ed a\"b c\"d", {"ed", "ab cd"}},
    CommandLineCase{"ed \"say \"\"hi\"\"\"", {"ed", "say \"hi\""}},
    CommandLineCase{"ed a\\\\\"b c\" a\\\"b a\\b", {"ed", "a\\b c", "a\"b", "a\\b"}},
    CommandLineCase{"C:\\dir\\ed x", {"C:\\dir\\ed", "x"}},
    CommandLineCase{"ed \"\"", {"ed", ""}},
    CommandLineCase{"   ", {}}),
    [](const auto& info) { return std::to_string(info.index) + "_" + PrintableTestName(info.param.line); });

struct StartCase {
    const char* name;
    std::string commandLine;
    int result;
};

std::ostream& operator<<(std::ostream& out, const StartCase& c)
{
    return out << c.name;
}

class Starts : public ::testing::TestWithParam<StartCase> {};

TEST_P(Starts, ReportMoreThan31OnlyForAStartedProgram)
{
    QTemporaryDir folder;
    QFile notExecutable(folder.filePath("plain.txt"));
    ASSERT_TRUE(notExecutable.open(QIODevice::WriteOnly));
    notExecutable.close();
    std::string line = GetParam().commandLine;
    const auto at = line.find("FOLDER");
    if (at != std::string::npos)
        line.replace(at, 6, folder.path().toStdString());
    EXPECT_EQ(platform::core::WinExec(line), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(ProgramStart, Starts, ::testing::Values(
    StartCase{"ProgramFromPath", "true --ignored \"two words\"", 33},
    StartCase{"ProgramWithFolder", "/bin/true", 33},
    StartCase{"MissingProgram", "no-such-program-anywhere x", 2},
    StartCase{"MissingFolder", "/no/such/folder/program", 2},
    StartCase{"NotExecutable", "FOLDER/plain.txt", 5},
    StartCase{"EmptyLine", "   ", 2},
    StartCase{"EmptyQuotedName", "\"\" x", 2}
), [](const auto& info) { return std::string(info.param.name); });

} // namespace
