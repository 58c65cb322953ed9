// Links of local pages checked against the file system: relative links resolved against the
// page's own folder, with and without fragments, and names the file system finds odd.
#include "CheckHarness.h"
#include "tarnby/BatchCheck.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>

using namespace tarnby::check;

namespace {

struct FileLinkCase {
    const char* name;
    std::string href;
    bool fragments;
    std::string result;
    Verdict verdict;
};

void PrintTo(const FileLinkCase& c, std::ostream* out)
{
    *out << c.name;
}

class FileLinks : public testing::TestWithParam<FileLinkCase> {
protected:
    void SetUp() override
    {
        write("sub/target.html", "<h2 id=\"part-2\">Two</h2><a name=\"old-anchor\">old</a><p id=\"caf\xC3\xA9\">x</p>");
        write("sub/deeper/other.txt", "plain");
        write("with space.html", "<p id=\"s\">s</p>");
        write("100%.html", "<p>percent</p>");
    }
    void write(const std::string& relative, const std::string& bytes)
    {
        const std::string path = folder.filePath(QString::fromStdString(relative)).toStdString();
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }
    QTemporaryDir folder;
};

TEST_P(FileLinks, AreFoundOrNotOnDisk)
{
    const FileLinkCase& c = GetParam();
    const std::string pagePath = folder.filePath("index.html").toStdString();
    CheckSettings settings;
    settings.fragments = c.fragments;
    const std::string page = "<a href=\"" + c.href + "\">link</a>";
    const checktest::CheckResult r = checktest::RunChecker(settings, [&](LinkChecker& checker) {
        checker.addPage(page, tarnby::FileUrlFor(pagePath));
    });
    ASSERT_TRUE(r.finished);
    ASSERT_EQ(r.links.size(), 1u);
    EXPECT_EQ(r.links[0].result, c.result);
    EXPECT_EQ(r.links[0].verdict, c.verdict);
}

INSTANTIATE_TEST_SUITE_P(Cases, FileLinks, testing::Values(
    FileLinkCase{"Relative", "sub/target.html", false, "found", Verdict::Fine},
    FileLinkCase{"DotDotInside", "sub/deeper/../target.html", false, "found", Verdict::Fine},
    FileLinkCase{"Missing", "sub/none.html", false, "not found", Verdict::Broken},
    FileLinkCase{"Folder", "sub/", false, "found", Verdict::Fine},
    FileLinkCase{"EscapedBlank", "with%20space.html", false, "found", Verdict::Fine},
    FileLinkCase{"EscapedPercent", "100%25.html", false, "found", Verdict::Fine},
    FileLinkCase{"FragmentNotAskedFor", "sub/target.html#nowhere", false, "found", Verdict::Fine},
    FileLinkCase{"FragmentById", "sub/target.html#part-2", true, "found", Verdict::Fine},
    FileLinkCase{"FragmentByAnchorName", "sub/target.html#old-anchor", true, "found", Verdict::Fine},
    FileLinkCase{"FragmentEscaped", "sub/target.html#caf%C3%A9", true, "found", Verdict::Fine},
    FileLinkCase{"FragmentMissing", "sub/target.html#nowhere", true, "found, no fragment #nowhere", Verdict::Broken},
    FileLinkCase{"FragmentOfAPlainFile", "sub/deeper/other.txt#x", true, "found, no fragment #x", Verdict::Broken},
    FileLinkCase{"FragmentOfAMissingFile", "sub/none.html#x", true, "not found", Verdict::Broken},
    FileLinkCase{"ControlCharacterInTheName", "sub/tar%0Aget.html", false, "not found", Verdict::Broken},
    FileLinkCase{"HugeName", std::string(100000, 'n') + ".html", false, "not found", Verdict::Broken},
    FileLinkCase{"OtherHost", "file://server/share/a.html", false, "not found", Verdict::Broken},
    FileLinkCase{"Mail", "mailto:me@example.org", false, "skipped", Verdict::Skipped}),
    [](const testing::TestParamInfo<FileLinkCase>& info) { return std::string(info.param.name); });

TEST(FileUrls, AreAbsoluteWithTheCharactersThatWouldEndAPathEscaped)
{
    EXPECT_EQ(tarnby::FileUrlFor("/tmp/a#b?c%d.html"), "file:///tmp/a%23b%3Fc%25d.html");
    EXPECT_EQ(tarnby::FileUrlFor("/tmp/x/../y.html"), "file:///tmp/y.html");
}

} // namespace
