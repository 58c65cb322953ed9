// The batch mode as users run it: the built tarnby program, started without any display.
#include "base/Streams.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

Outcome Tarnby(const QStringList& arguments, const QByteArray& input = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    process.setProcessEnvironment(environment);
    process.start(TARNBY_EXECUTABLE, arguments);
    if (!process.waitForStarted(10000))
        return {};
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(30000);
    Outcome run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

const QString kWorkedExample = QStringLiteral(TEST_DATA_DIR "/tarnby/passes/worked-example/input");
const std::string kWorkedExampleLinks = "page3.html|third link\npage1.html|firstlink tail\n";

TEST(BatchProcess, PrintsTheLinksOfTheWorkedExampleWithoutADisplay)
{
    const Outcome run = Tarnby({"--links", kWorkedExample});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, kWorkedExampleLinks);
    EXPECT_EQ(run.err, "");
}

TEST(BatchProcess, TheHtmlParserReadsTheFileAsItIsAndResolvesAgainstTheBase)
{
    const Outcome run = Tarnby({"--links", "--html-parser", "--base", "https://example.org/docs/", kWorkedExample});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "https://example.org/docs/page1.html|First\xC2\xA0link\n"
                       "https://example.org/docs/page3.html|Third link\n");
}

TEST(BatchProcess, TheHtmlParserReadsAUtf16PageByItsMark)
{
    const QByteArray page = QByteArray("\xFF\xFE", 2) + QByteArray::fromRawData(
        reinterpret_cast<const char*>(u"<a href=\"x.html\">\u00e4</a>"), 2 * 22);
    const Outcome run = Tarnby({"--links", "--html-parser", "-"}, page);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "x.html|\xC3\xA4\n");
}

TEST(BatchProcess, TheWindowWithoutADisplaySaysSoAndExitsWith2)
{
    const Outcome run = Tarnby({});
    EXPECT_EQ(run.exitCode, 2) << "not killed by an abort";
    EXPECT_NE(run.err.find("needs a display"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("tarnby --links"), std::string::npos) << run.err;
}

TEST(BatchProcess, StopsAfterTheAskedPass)
{
    EXPECT_EQ(Tarnby({"--links", "--passes", "1", kWorkedExample}).out,
              "<a href=\"page3.html\">|third link\n<a href=\"page2.html\">|\n<a href=\"page1.html\">|firstlink tail\n");
    EXPECT_EQ(Tarnby({"--links", "--passes=0", kWorkedExample}).out.substr(0, 27), "<html><body>\n<p>hello <b>wo");
}

TEST(BatchProcess, WritesTheOutputFileWithCrLfAsSaveDoes)
{
    QTemporaryDir folder;
    const QString out = folder.filePath("links.txt");
    const Outcome run = Tarnby({"--links", kWorkedExample, "-o", out});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(base::ReadWholeFile(out.toStdString()), "page3.html|third link\r\npage1.html|firstlink tail\r\n");
}

TEST(BatchProcess, ConcatenatesFilesAndStandardInputInOrder)
{
    QTemporaryDir folder;
    const QString first = folder.filePath("first.html");
    base::WriteWholeFile(first.toStdString(), "<a href=\"One.html\">One</a>");
    const Outcome run = Tarnby({"--links", first, "-"}, "<A href=\"two.html\">Two</a>\n");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "two.html|two\none.html|one\n");
}

TEST(BatchProcess, AMissingFileIsNamedAndNothingIsWrittenOrClobbered)
{
    QTemporaryDir folder;
    const QString missing = folder.filePath("no such page.html");
    const Outcome printing = Tarnby({"--links", kWorkedExample, missing});
    EXPECT_EQ(printing.exitCode, 1);
    EXPECT_EQ(printing.out, "");
    EXPECT_NE(printing.err.find(missing.toStdString()), std::string::npos) << printing.err;

    const QString fresh = folder.filePath("fresh.txt");
    EXPECT_EQ(Tarnby({"--links", missing, "-o", fresh}).exitCode, 1);
    EXPECT_FALSE(QFile::exists(fresh));

    const QString kept = folder.filePath("kept.txt");
    base::WriteWholeFile(kept.toStdString(), "earlier result\r\n");
    EXPECT_EQ(Tarnby({"--links", kWorkedExample, folder.path(), "-o", kept}).exitCode, 1);
    EXPECT_EQ(base::ReadWholeFile(kept.toStdString()), "earlier result\r\n");
}

TEST(BatchProcess, AnOutputFileThatCannotBeWrittenFailsWithItsName)
{
    QTemporaryDir folder;
    const QString out = folder.filePath("no-folder/links.txt");
    const Outcome run = Tarnby({"--links", kWorkedExample, "-o", out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(out.toStdString()), std::string::npos) << run.err;
}

TEST(BatchProcess, WritesThroughASymbolicLinkAndKeepsTheLink)
{
    QTemporaryDir folder;
    const QString target = folder.filePath("target.txt");
    const QString link = folder.filePath("link.txt");
    base::WriteWholeFile(target.toStdString(), "old\r\n");
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_EQ(Tarnby({"--links", kWorkedExample, "-o", link}).exitCode, 0);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(base::ReadWholeFile(target.toStdString()), "page3.html|third link\r\npage1.html|firstlink tail\r\n");
}

// Renaming a finished file over a device or a pipe would replace it with a regular file
// (as root, "-o /dev/null" would have broken the system's /dev/null).
TEST(BatchProcess, WritesIntoDevicesInPlaceAndReportsAFullOne)
{
    QTemporaryDir folder;
    const std::string null = folder.filePath("null").toStdString();
    const std::string full = folder.filePath("full").toStdString();
    if (::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 || ::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0)
        GTEST_SKIP() << "creating device nodes needs root";
    EXPECT_EQ(Tarnby({"--links", kWorkedExample, "-o", QString::fromStdString(null)}).exitCode, 0);
    const Outcome onFull = Tarnby({"--links", kWorkedExample, "-o", QString::fromStdString(full)});
    EXPECT_EQ(onFull.exitCode, 1);
    EXPECT_NE(onFull.err.find(full), std::string::npos) << onFull.err;
    struct stat st {};
    ASSERT_EQ(::stat(null.c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    ASSERT_EQ(::stat(full.c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST(BatchProcess, WritesIntoANamedPipe)
{
    QTemporaryDir folder;
    const std::string pipe = folder.filePath("pipe").toStdString();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    QProcess process;
    process.start(TARNBY_EXECUTABLE, {"--links", kWorkedExample, "-o", QString::fromStdString(pipe)});
    ASSERT_TRUE(process.waitForStarted(10000));
    const std::string received = base::ReadWholeFile(pipe);  // opening waits for the writer
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(received, "page3.html|third link\r\npage1.html|firstlink tail\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(pipe.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// A write that fails half way (here at a file size limit) must leave the earlier file whole
// and no half-written file beside it.
TEST(BatchProcess, AWriteFailingHalfWayKeepsTheEarlierFile)
{
    QTemporaryDir folder;
    const QString page = folder.filePath("many.html");
    std::string bytes;
    for (int i = 0; i < 5000; ++i)
        bytes += "<a href=\"page" + std::to_string(i) + ".html\">link number " + std::to_string(i) + "</a>\n";
    base::WriteWholeFile(page.toStdString(), bytes);
    const QString out = folder.filePath("links.txt");
    base::WriteWholeFile(out.toStdString(), "earlier result\r\n");

    QProcess process;
    process.setChildProcessModifier([] {
        const rlimit limit{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, SIG_IGN);
    });
    process.start(TARNBY_EXECUTABLE, {"--links", page, "-o", out});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_NE(process.readAllStandardError().toStdString().find(out.toStdString()), std::string::npos);
    EXPECT_EQ(base::ReadWholeFile(out.toStdString()), "earlier result\r\n");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"links.txt", "many.html"}));
}

TEST(BatchProcess, AWrongCommandLineExitsWithTwoAndSaysWhy)
{
    const Outcome run = Tarnby({"--links", "--passes", "7", kWorkedExample});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("--passes takes 0, 1, 2 or 3"), std::string::npos) << run.err;
}

TEST(BatchProcess, HelpAndVersion)
{
    const Outcome help = Tarnby({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option : {"--links", "--passes", "-o", "--help", "--version"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    const Outcome version = Tarnby({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "Tarnby v1.1c\n");
}

} // namespace
