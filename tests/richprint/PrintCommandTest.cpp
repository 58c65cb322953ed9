#include "PdfReader.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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
        CommandCase{"NoFile", {"--print", "-o", "OUT"}, 2, {}, "Usage: quellin --print", ""}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
