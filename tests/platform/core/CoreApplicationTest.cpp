// An exception escaping an event handler of a program without a window is caught by the
// application object: the program keeps its control, the first message is kept for its report.
// Run as a process because a test main already owns this one's application object.
#include <QProcess>
#include <gtest/gtest.h>

TEST(CoreApplication, HandlersThatThrowNeitherCrashNorLoseTheFirstMessage)
{
    QProcess probe;
    probe.start(CORE_APPLICATION_PROBE, QStringList{});
    ASSERT_TRUE(probe.waitForFinished(10000));
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit) << "an exception ended the program";
    EXPECT_EQ(probe.exitCode(), 1);
    EXPECT_EQ(probe.readAllStandardOutput().toStdString(), "0|3|Cannot write file \"out.txt\"\n")
        << "every escape reported, the main loop kept running, the first message kept";
}
