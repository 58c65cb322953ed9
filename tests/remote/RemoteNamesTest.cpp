// Which names and paths may go to a server: each case is one way a name can turn a command or
// a path into something else, or blow up a buffer.
#include "remote/RemoteFiles.h"
#include "remote/RemoteNames.h"

#include <gtest/gtest.h>

namespace {

struct NameCase {
    const char* label;
    std::string name;
    bool usable;
};

class EntryNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(EntryNameTest, IsUsableOnlyWhenSafe)
{
    const auto& c = GetParam();
    EXPECT_EQ(remote::EntryNameProblem(c.name).empty(), c.usable) << remote::EntryNameProblem(c.name);
    if (c.usable)
        EXPECT_NO_THROW(remote::RequireEntryName(c.name));
    else
        EXPECT_THROW(remote::RequireEntryName(c.name), remote::ERemoteNameRefused);
}

INSTANTIATE_TEST_SUITE_P(
    Names, EntryNameTest,
    ::testing::Values(NameCase{ "Plain", "index.html", true },
                      NameCase{ "Blanks", "  my page .html ", true },
                      NameCase{ "Utf8", "M\xC3\xBC" "ller.txt", true },
                      NameCase{ "Latin1Bytes", "M\xFCller.txt", true },
                      NameCase{ "LongestAllowed", std::string(255, 'n'), true },
                      NameCase{ "Empty", "", false },
                      NameCase{ "Dot", ".", false },
                      NameCase{ "DotDot", "..", false },
                      NameCase{ "Slash", "a/b", false },
                      NameCase{ "LeadingSlash", "/etc", false },
                      NameCase{ "LineFeed", "a\nRMD x", false },
                      NameCase{ "CarriageReturn", "a\rb", false },
                      NameCase{ "Nul", std::string("a\0b", 3), false },
                      NameCase{ "Escape", "\x1B[31mred", false },
                      NameCase{ "Delete", "a\x7F", false },
                      NameCase{ "Tab", "a\tb", false },
                      NameCase{ "OneTooLong", std::string(256, 'n'), false },
                      NameCase{ "Huge", std::string(10'000'000, 'n'), false }),
    [](const auto& info) { return std::string(info.param.label); });

class PathTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(PathTest, IsUsableOnlyWhenSafe)
{
    const auto& c = GetParam();
    EXPECT_EQ(remote::PathProblem(c.name).empty(), c.usable) << remote::PathProblem(c.name);
}

INSTANTIATE_TEST_SUITE_P(Paths, PathTest,
                         ::testing::Values(NameCase{ "Absolute", "/var/www/html", true },
                                           NameCase{ "Parent", "..", true },
                                           NameCase{ "Blanks", "my site/new folder", true },
                                           NameCase{ "Empty", "", false },
                                           NameCase{ "LineFeed", "/var\n/www", false },
                                           NameCase{ "Nul", std::string("/a\0/b", 5), false },
                                           NameCase{ "Huge", std::string(4097, 'p'), false }),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(PrintableTest, ShowsControlCharactersAndCutsLongNames)
{
    EXPECT_EQ(remote::Printable(std::string("a\nb\0c\x7F", 6)), "a\\x0Ab\\x00c\\x7F");
    const std::string shown = remote::Printable(std::string(1'000'000, 'x'));
    EXPECT_EQ(shown, std::string(80, 'x') + "...");
}

TEST(JoinPathTest, JoinsWithOneSlash)
{
    EXPECT_EQ(remote::JoinPath("/home/a", "b"), "/home/a/b");
    EXPECT_EQ(remote::JoinPath("/", "b"), "/b");
    EXPECT_EQ(remote::JoinPath("", "b"), "b");
}

} // namespace
