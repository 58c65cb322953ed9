// A page turned into the pane text where it lies gives exactly the text of the copying way,
// for every arrangement of CR, LF and CR LF, with and without spare room; so does the batch
// mode's one-pass output of a page without passes.
#include "tarnby/PaneText.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

std::string Copied(const std::string& bytes)
{
    std::string pane;
    tarnby::AppendLines(pane, std::string_view(bytes));
    return pane;
}

std::string InPlace(std::string bytes, std::size_t spare)
{
    bytes.reserve(bytes.size() + spare);
    std::string pane;
    tarnby::AppendLines(pane, std::move(bytes));
    return pane;
}

TEST(PaneTextInPlace, AgreesWithTheCopy)
{
    std::vector<std::string> pages = {"", "a", "\r", "\n", "\r\n", "\n\r", "a\rb\nc\r\nd", "\r\r\n\n", "ab\r\n", "x\r",
                                      std::string(1000, '\n'), "a" + std::string(70000, 'b') + "\rc"};
    std::mt19937 random(7);
    for (int i = 0; i < 300; ++i) {
        std::string page;
        const int length = static_cast<int>(random() % 40);
        for (int j = 0; j < length; ++j)
            page += "ab\r\n"[random() % 4];
        pages.push_back(page);
    }
    for (const std::string& page : pages)
        for (const std::size_t spare : {std::size_t{0}, page.size() + 16})
            EXPECT_EQ(InPlace(page, spare), Copied(page)) << testing::PrintToString(page) << " spare " << spare;
}

TEST(PaneTextInPlace, AppendsAfterTextAlreadyThere)
{
    std::string pane = "first\r\n";
    tarnby::AppendLines(pane, std::string("a\nb"));
    EXPECT_EQ(pane, "first\r\na\r\nb\r\n");
}

// The batch mode's one-pass output without passes against the plain way: the pane text,
// lower-cased, each CR LF turned into LF. Pages cover each byte that matters (CR, LF, A, Z and
// the letters' neighbours '@' and '[', bytes over 127, NUL) and line breaks that straddle the
// stretches the one pass works in.
std::string PlainLinesWithLineFeeds(const std::string& bytes)
{
    std::string pane = Copied(bytes);
    tarnby::LowerCaseInPlace(pane);
    std::string out;
    for (std::size_t i = 0; i < pane.size(); ++i)
        if (!(pane[i] == '\r' && i + 1 < pane.size() && pane[i + 1] == '\n'))
            out += pane[i];
    return out;
}

TEST(PaneTextLinesWithLineFeeds, AgreesWithTheLowerCasedPaneText)
{
    const std::string kStretch(65536, 'Q');
    std::vector<std::string> pages = {"", "A", "\r", "\n", "\r\n", "\n\r", "\r\r\n\n", "Ab\r", "x\n",
                                      kStretch.substr(1) + "\r\nZ", kStretch + "\r\n", kStretch.substr(1) + "\r",
                                      kStretch + kStretch + "\r" + kStretch};
    std::mt19937 random(11);
    const std::string alphabet = std::string("AZaz@[\r\n\0\xc3\xa9|<", 13);
    for (int i = 0; i < 400; ++i) {
        std::string page;
        const auto length = random() % (i < 350 ? 60 : 300000);
        for (std::size_t j = 0; j < length; ++j)
            page += alphabet[random() % alphabet.size()];
        pages.push_back(page);
    }
    for (std::string page : pages) {
        const std::string expected = PlainLinesWithLineFeeds(page);
        tarnby::LowerCaseLinesWithLineFeeds(page);
        ASSERT_EQ(page, expected) << testing::PrintToString(page.substr(0, 200));
    }
}

} // namespace
