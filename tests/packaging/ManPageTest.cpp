// Each program's --help and its man page list the same options, and the man page has the
// sections a user looks for.
#include "OptionNames.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct Program {
    const char* name;
    const char* executable;
    const char* manPage;
};

std::string Joined(const std::set<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : " ") + name;
    return text;
}

std::set<std::string> Missing(const std::set<std::string>& wanted, const std::set<std::string>& present)
{
    std::set<std::string> missing;
    for (const std::string& name : wanted)
        if (!present.contains(name))
            missing.insert(name);
    return missing;
}

std::string ReadFile(const char* path)
{
    QFile file(QString::fromUtf8(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return file.readAll().toStdString();
}

class ManPage : public ::testing::TestWithParam<Program> {};

TEST_P(ManPage, ListsTheOptionsOfHelp)
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    program.setProcessEnvironment(environment);
    program.start(QString::fromUtf8(GetParam().executable), {QStringLiteral("--help")});
    ASSERT_TRUE(program.waitForFinished(20000));
    ASSERT_EQ(program.exitCode(), 0);
    const packaging::OptionSet inHelp = packaging::OptionsInText(program.readAllStandardOutput().toStdString());
    const packaging::OptionSet inManPage = packaging::OptionsInManPage(ReadFile(GetParam().manPage));

    EXPECT_TRUE(inHelp.contains("--help"));
    EXPECT_EQ(Joined(Missing(inHelp, inManPage)), "") << "in --help, missing from " << GetParam().manPage;
    EXPECT_EQ(Joined(Missing(inManPage, inHelp)), "") << "in " << GetParam().manPage << ", missing from --help";
}

TEST_P(ManPage, HasTheSectionsUsersLookFor)
{
    const std::set<std::string> sections = packaging::ManPageSections(ReadFile(GetParam().manPage));
    for (const char* wanted : {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "FILES", "ENVIRONMENT", "EXIT STATUS"})
        EXPECT_TRUE(sections.contains(wanted)) << wanted;
}

INSTANTIATE_TEST_SUITE_P(Programs, ManPage,
                         ::testing::Values(Program{"tarnby", TARNBY_EXECUTABLE, TARNBY_MAN_PAGE},
                                           Program{"quellin", QUELLIN_EXECUTABLE, QUELLIN_MAN_PAGE}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
