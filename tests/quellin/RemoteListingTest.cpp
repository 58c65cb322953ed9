// The remote view's model: the two-pass sort, the names it refuses, the extension icon cache
// and the command line.
#include "quellin/CommandLine.h"
#include "quellin/ExtensionIcons.h"
#include "quellin/RemoteListing.h"

#include <gtest/gtest.h>

using namespace quellin;
using tcpip::ft_directory;
using tcpip::ft_file;
using tcpip::ft_link;

namespace {

std::vector<std::string> names(const RemoteListModel& model)
{
    std::vector<std::string> result;
    for (const RemoteItem& item : model.items())
        result.push_back(item.name);
    return result;
}

struct SortCase {
    const char* what;
    std::vector<RemoteItem> items;
    int key;
    std::vector<std::string> expected;
};

class SortBy : public ::testing::TestWithParam<SortCase> {};

const SortCase kSortCases[] = {
    { "folders, then files, then links", { { "a", 0, ft_link, 0 }, { "b.htm", 0, ft_file, 0 }, { "cgi-bin", 0, ft_directory, 0 } },
      0, { "cgi-bin", "b.htm", "a" } },
    { "names ignore case, each type group sorted",
      { { "b", 0, ft_file, 0 }, { "Z", 0, ft_directory, 0 }, { "A", 0, ft_file, 0 }, { "a", 0, ft_directory, 0 } },
      0, { "a", "Z", "A", "b" } },
    { "sizes as numbers: 9 before 10", { { "ten", 10, ft_file, 0 }, { "nine", 9, ft_file, 0 }, { "big", 100, ft_file, 0 } },
      1, { "nine", "ten", "big" } },
    { "newest first within each group",
      { { "old", 0, ft_file, 100 }, { "new", 0, ft_file, 300 }, { "dirold", 0, ft_directory, 50 }, { "dirnew", 0, ft_directory, 60 } },
      3, { "dirnew", "dirold", "new", "old" } },
    { "equal keys keep their order", { { "x", 5, ft_file, 0 }, { "y", 5, ft_file, 0 }, { "w", 5, ft_file, 0 } },
      1, { "x", "y", "w" } },
    { "an unknown key only groups by type", { { "b", 0, ft_file, 0 }, { "d", 0, ft_directory, 0 }, { "a", 0, ft_file, 0 } },
      7, { "d", "b", "a" } },
};

TEST_P(SortBy, OrdersByKeyWithinTypeGroups)
{
    RemoteListModel model;
    model.setItems(GetParam().items);
    model.SortBy(GetParam().key);
    EXPECT_EQ(names(model), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Cases, SortBy, ::testing::ValuesIn(kSortCases));

TEST(CompareItems, ANegativeKeyReversesTheOrder)
{
    const RemoteItem a{ "a", 1, ft_file, 1 };
    const RemoteItem b{ "b", 2, ft_file, 2 };
    for (int key : { 1, 2, 3 })
        EXPECT_EQ(CompareItems(a, b, -key), -CompareItems(a, b, key)) << key;
}

TEST(RemoteListModel, ShowsTheFourColumns)
{
    RemoteListModel model;
    model.setItems({ { "page.htm", 0, ft_file, 0 }, { "sub", 4096, ft_directory, 0 } });
    model.SortBy(0);
    const auto text = [&](int row, int column) { return model.data(model.index(row, column), Qt::DisplayRole).toString(); };
    EXPECT_EQ(text(0, 0), QStringLiteral("sub"));
    EXPECT_EQ(text(0, 1), QStringLiteral("4096"));
    EXPECT_EQ(text(0, 2), QStringLiteral("Directory"));
    EXPECT_EQ(text(1, 1), QStringLiteral("0"));
    EXPECT_EQ(text(1, 2), QStringLiteral("File"));
    EXPECT_EQ(model.headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Last changed"));
}

TEST(IsUsableEntryName, RefusesNamesCommandsMustNotActOn)
{
    for (const char* bad : { "", ".", "..", "a/b", "/etc", "../x" })
        EXPECT_FALSE(IsUsableEntryName(bad)) << bad;
    for (const char* good : { "...", ".htaccess", "a b", "x..y" })
        EXPECT_TRUE(IsUsableEntryName(good)) << good;
}

struct IconCase {
    std::vector<std::string> names;
    std::vector<int> images;   // image index of each name, in order
    std::vector<std::string> lookedUp;
};

class ExtensionIcons : public ::testing::TestWithParam<IconCase> {};

TEST_P(ExtensionIcons, LooksUpEachLowerCaseExtensionOnce)
{
    std::vector<std::string> lookedUp;
    int next = 2;
    ExtensionIconCache cache([&](const std::string& extension) {
        lookedUp.push_back(extension);
        return extension == ".none" ? -1 : next++;
    });
    std::vector<int> images;
    for (const std::string& name : GetParam().names)
        images.push_back(cache.ImageFor(name, 1));
    EXPECT_EQ(images, GetParam().images);
    EXPECT_EQ(lookedUp, GetParam().lookedUp);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtensionIcons,
    ::testing::Values(IconCase{ { "a.HTM", "b.htm" }, { 2, 2 }, { ".htm" } },
                      IconCase{ { "README", "archive.tar.gz" }, { 1, 2 }, { ".gz" } },
                      IconCase{ { "x.none", "y.none", "z.txt" }, { 1, 1, 2 }, { ".none", ".txt" } }));

struct CommandLineCase {
    std::vector<std::string> args;
    CommandLine::Action action;
    std::string macroFile;
};

class ParseCommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(ParseCommandLine, TellsOptionsFromTheMacroFile)
{
    const CommandLine line = quellin::ParseCommandLine(GetParam().args);
    EXPECT_EQ(line.action, GetParam().action);
    EXPECT_EQ(line.macroFile, GetParam().macroFile);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseCommandLine,
    ::testing::Values(CommandLineCase{ {}, CommandLine::Action::OpenWindow, "" },
                      CommandLineCase{ { "run.mkr", "--help" }, CommandLine::Action::ShowHelp, "" },
                      CommandLineCase{ { "--version" }, CommandLine::Action::ShowVersion, "" },
                      CommandLineCase{ { "run.mkr", "other.mkr" }, CommandLine::Action::PlayMacro, "run.mkr" },
                      CommandLineCase{ { "--frobnicate" }, CommandLine::Action::Fail, "" }));

} // namespace
