// The quellin program's command line as a process, without a display.
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct Case {
    QStringList args;
    int status;
    const char* stdoutPart;
    const char* stderrPart;
};

class CommandLine : public ::testing::TestWithParam<Case> {};

TEST_P(CommandLine, AnswersWithoutAWindow)
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(QUELLIN_EXECUTABLE), GetParam().args);
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), GetParam().status);
    EXPECT_TRUE(program.readAllStandardOutput().contains(GetParam().stdoutPart));
    EXPECT_TRUE(program.readAllStandardError().contains(GetParam().stderrPart));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLine,
    ::testing::Values(Case{ { QStringLiteral("--help") }, 0, "Usage: quellin", "" },
                      Case{ { QStringLiteral("--version") }, 0, "Quellin 1.", "" },
                      Case{ { QStringLiteral("--frobnicate") }, 2, "", "unknown option --frobnicate" },
                      Case{ {}, 2, "", "need a display, and none could be opened" },
                      Case{ { QStringLiteral("some-macro.mkr") }, 2, "", "\"quellin --check FILE...\" and \"quellin --help\" need none" },
                      Case{ { QStringLiteral("--check"), QStringLiteral(TEST_DATA_DIR "/quellin/check/clean.html") }, 0, "", "" },
                      Case{ { QStringLiteral("--check"), QStringLiteral(TEST_DATA_DIR "/quellin/check/problems.html") }, 1,
                            "/quellin/check/problems.html:3:13: </b> misnested", "" },
                      Case{ { QStringLiteral("--check") }, 2, "", "--check needs at least one FILE" }));

} // namespace
