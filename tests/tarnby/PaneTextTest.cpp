// A page turned into the pane text where it lies gives exactly the text of the copying way,
// for every arrangement of CR, LF and CR LF, with and without spare room.
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

} // namespace
