// The HTML check's problem list without a window: relative files that are there or not, and
// the batch command's lines and exit status.
#include "quellin/CheckCommand.h"
#include "quellin/HtmlProblems.h"

#include "base/Streams.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

class PageFolder : public testing::Test {
protected:
    PageFolder()
    {
        QDir(folder.path()).mkpath(QStringLiteral("sub"));
        for (const char* name : {"here.html", "sub/pic one.png", "\xc3\xbc.html"}) {
            QFile file(QDir(folder.path()).filePath(QString::fromUtf8(name)));
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }

    std::string path(const char* name) const { return QDir(folder.path()).filePath(QString::fromUtf8(name)).toStdString(); }

    QTemporaryDir folder;
};

struct Reference {
    const char* name;
    std::string value;
    bool missing;
};

class References : public PageFolder, public testing::WithParamInterface<Reference> {};

TEST_P(References, AreListedWhenTheFileIsNotThere)
{
    const std::string page = "<!DOCTYPE html><title>t</title>\n<img alt=x src=\"" + GetParam().value + "\">";
    const auto problems = quellin::FindHtmlProblems(page, folder.path());
    if (GetParam().missing) {
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].line, 2u);
        EXPECT_EQ(problems[0].column, 1u);
        EXPECT_NE(problems[0].message.find("does not exist"), std::string::npos) << problems[0].message;
    } else {
        EXPECT_EQ(problems, std::vector<quellin::HtmlProblem>{});
    }
}

INSTANTIATE_TEST_SUITE_P(
    HtmlCheck, References,
    testing::Values(Reference{"Present", "here.html", false},
                    Reference{"Missing", "gone.html", true},
                    Reference{"InASubfolder", "sub/pic%20one.png", false},
                    Reference{"QueryAndFragmentIgnored", "here.html?x=1#top", false},
                    Reference{"NonAscii", "\xc3\xbc.html", false},
                    Reference{"UpAndOut", "../here-not.html", true},
                    Reference{"FolderItself", "sub", false},
                    Reference{"WebAddress", "http://example.org/gone.html", false},
                    Reference{"MailAddress", "mailto:someone@example.org", false},
                    Reference{"Script", "javascript:void(0)", false},
                    Reference{"OtherHost", "//example.org/gone.html", false},
                    Reference{"FromTheSiteRoot", "/gone.html", false},
                    Reference{"FragmentOnly", "#gone", false},
                    Reference{"ColonInAName", "a:b/gone.html", false},
                    Reference{"ColonAfterASlash", "gone/a:b.html", true}),
    [](const testing::TestParamInfo<Reference>& info) { return info.param.name; });

TEST_F(PageFolder, APageWithoutAFolderIsNotLookedThrough)
{
    EXPECT_EQ(quellin::FindHtmlProblems("<!DOCTYPE html><title>t</title><a href=gone.html>x</a>", QString()),
              std::vector<quellin::HtmlProblem>{});
}

TEST_F(PageFolder, ControlCharactersInAReferenceAreNotShown)
{
    const auto problems = quellin::FindHtmlProblems("<!DOCTYPE html><title>t</title><a href='a&#1;\tb'>x</a>", folder.path());
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(problems.back().message.find_first_of("\x01\t"), std::string::npos) << problems.back().message;
}

TEST_F(PageFolder, ManyReferencesToOneMissingFileAreEachListed)
{
    std::string page = "<!DOCTYPE html><title>t</title>";
    for (int i = 0; i < 20000; ++i)
        page += "<img alt=x src=gone.png>";
    EXPECT_EQ(quellin::FindHtmlProblems(page, folder.path()).size(), 20000u);
}

struct CheckRun {
    int status;
    std::string out;
    std::string err;
};

CheckRun Check(const std::vector<std::string>& args)
{
    std::ostringstream out;
    std::ostringstream err;
    const int status = quellin::CheckCommand(args, out, err);
    return {status, out.str(), err.str()};
}

TEST_F(PageFolder, CheckPrintsFileLineColumnAndMessage)
{
    base::WriteWholeFile(path("page.html"), "<!DOCTYPE html><title>t</title>\r\n<p>x</span><img alt=x src=gone.png>");
    base::WriteWholeFile(path("clean.html"), "<!DOCTYPE html><title>t</title><a href=here.html>x</a>");
    const CheckRun run = Check({path("clean.html"), path("page.html")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, path("page.html") + ":2:5: </span> without an open <span>, ignored\n" + path("page.html")
                           + ":2:12: Local file \"gone.png\" does not exist\n");
    EXPECT_EQ(run.err, "");
}

TEST_F(PageFolder, CheckOfCleanFilesExitsWithZero)
{
    base::WriteWholeFile(path("clean.html"), "<!DOCTYPE html><title>t</title><a href=here.html>x</a>");
    EXPECT_EQ(Check({"--", path("clean.html")}).status, 0);
}

TEST_F(PageFolder, CheckReadsAWindows1252FileAsTheEditorDoes)
{
    base::WriteWholeFile(path("latin.html"), "<!DOCTYPE html><title>t</title>\n\xe4\xf6</q>");
    EXPECT_EQ(Check({path("latin.html")}).out, path("latin.html") + ":2:3: </q> without an open <q>, ignored\n");
}

TEST_F(PageFolder, AFileThatCannotBeReadIsNamedAndTheOthersAreChecked)
{
    base::WriteWholeFile(path("clean.html"), "<!DOCTYPE html><title>t</title>");
    const CheckRun run = Check({path("gone.html"), path("clean.html")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("gone.html"), std::string::npos) << run.err;
}

TEST_F(PageFolder, AFileNameWithALineBreakStaysOnOneLine)
{
    base::WriteWholeFile(path("a\nb.html"), "<!DOCTYPE html><title>t</title></q>");
    EXPECT_EQ(Check({path("a\nb.html")}).out, path("a?b.html") + ":1:32: </q> without an open <q>, ignored\n");
}

TEST(CheckCommand, AWrongCommandLineExitsWithTwo)
{
    for (const std::vector<std::string>& args : {std::vector<std::string>{}, std::vector<std::string>{"--frobnicate", "x.html"},
                                                  std::vector<std::string>{"--"}}) {
        const CheckRun run = Check(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("Usage: quellin --check"), std::string::npos) << run.err;
    }
}

} // namespace
