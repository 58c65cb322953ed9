#include "PdfReader.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>

namespace {

struct CommandCase {
    const char* name;
    QStringList args;          // "OUT" becomes the PDF's name, "A" and "B" files with one line
    int status;
    QStringList headers;       // the first line of each page
    const char* errorContains;
    const char* jobTitle;      // the job's name, which the PDF keeps as its title
};

class PrintCommand : public testing::TestWithParam<CommandCase> {};

TEST_P(PrintCommand, PrintsFilesWithoutADisplay)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out.pdf");
    QFile a(dir.filePath("a.txt"));
    a.open(QIODevice::WriteOnly);
    a.write("first file\r\n");
    a.close();
    QFile b(dir.filePath("b.txt"));
    b.open(QIODevice::WriteOnly);
    b.write("second\tfile\n");
    b.close();
    QStringList args;
    for (const QString& arg : GetParam().args)
        args << (arg == "OUT" ? out : arg == "A" ? a.fileName() : arg == "B" ? b.fileName()
                 : arg == "MISSING" ? dir.filePath("missing.txt") : arg);
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
    env.insert("CUPS_SERVER", dir.filePath("no-cups.sock")); // no printer, whatever the machine has
    process.setProcessEnvironment(env);
    process.start(PRINT_DRIVER, args);
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), GetParam().status);
    EXPECT_TRUE(process.readAllStandardError().contains(GetParam().errorContains));
    QStringList headers;
    for (int page = 1; page <= PageCount(out); ++page)
        headers << PageLines(out, page).front();
    EXPECT_EQ(headers, GetParam().headers);
    EXPECT_EQ(DocumentTitle(out), GetParam().jobTitle);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrintCommand,
    testing::Values(
        CommandCase{"TwoFilesOneDocument", {"--print", "-o", "OUT", "A", "B"}, 0,
                    {"a.txt", "b.txt"}, "", "a.txt, b.txt"},
        CommandCase{"Title", {"--print", "--plain", "--title", "Report", "-o", "OUT", "A"}, 0,
                    {"Report"}, "", "Report"},
        CommandCase{"UnreadableFileWritesNothing", {"--print", "-o", "OUT", "A", "MISSING"}, 1,
                    {}, "missing.txt", ""},
        CommandCase{"NoFile", {"--print", "-o", "OUT"}, 2, {}, "Usage: quellin --print", ""},
        CommandCase{"NoPrinterNamesTheFileOption", {"--print", "A"}, 1, {},
                    "Not be able to start the printing.\nquellin: to print to a file instead, add -o FILE.pdf", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Runs the print command through the shell, so that arguments reach it as bytes that need not
// be UTF-8 (the shell's printf makes them); returns the exit status.
int RunWithByteArguments(const QString& script, const QStringList& values)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert("XDG_CONFIG_HOME", values.front() + "/config");
    process.setProcessEnvironment(env);
    process.start("sh", QStringList{"-c", script, PRINT_DRIVER} + values);
    EXPECT_TRUE(process.waitForFinished(30000));
    return process.exitCode();
}

TEST(PrintCommandNames, FileNameThatIsNotUtf8IsOpenedAndTitledAsShown)
{
    QTemporaryDir dir;
    const std::string name = QFile::encodeName(dir.path()).toStdString() + "/caf\xE9 \x01.txt";
    std::ofstream(name, std::ios::binary) << "text of a Latin-1 name\n";
    const int status = RunWithByteArguments(
        "exec \"$0\" --print -o \"$1/out.pdf\" \"$(printf '%s/caf\\351 \\001.txt' \"$1\")\"", {dir.path()});
    EXPECT_EQ(status, 0);
    const QString out = dir.filePath("out.pdf");
    ASSERT_EQ(PageCount(out), 1);
    EXPECT_TRUE(PageLines(out, 1).front().startsWith(QString::fromUtf8("caf\xC3\xA9"))) << PageLines(out, 1).front().toStdString();
    EXPECT_TRUE(PageLines(out, 1).join(' ').contains("text of a Latin-1 name"));
}

// The body in the editor's monospaced font: the word after six narrow letters starts where the
// word after six wide ones does.
TEST(PrintCommandFont, BodyIsSetInTheEditorsMonospacedFont)
{
    QTemporaryDir dir;
    QFile text(dir.filePath("columns.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("iiiiii first\nWWWWWW second\n");
    text.close();
    const int status = RunWithByteArguments("exec \"$0\" --print -o \"$1/out.pdf\" \"$1/columns.txt\"", {dir.path()});
    ASSERT_EQ(status, 0);
    double first = -1, second = -1;
    for (const PdfWord& word : ReadWords(dir.filePath("out.pdf"))) {
        if (word.text == "first")
            first = word.left;
        if (word.text == "second")
            second = word.left;
    }
    ASSERT_GT(first, 0);
    EXPECT_NEAR(first, second, 0.2);
}

} // namespace
