// The fast passes against the literal reference on thousands of generated pages. A failure
// prints the page as a C string so that it can become a golden case.
#include "LiteralPasses.h"

#include "tarnby/PassSteps.h"
#include "tarnby/ReductionPasses.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// Pieces that steer the page into every branch of the passes, weighted towards links.
const std::vector<std::string> kPieces = {
    "<a href=\"", "<a href=\"", "<a href=\"", "page.html", "x/y?q=1&r=2", "\">", "\">", "\">",
    "</a>", "</a>", "</a>", "<a href=x.html>", "<A HREF=\"up.html\">", "<a  href=\"two.html\">",
    "<a hre", "<a h", "#", "#top", "\" onmouseover=\"go()", "onmouse", " target=\"_blank\"",
    "target", "target.html", "&nbsp;", "&nb", "sp;", "&nb\tsp;", "\t", "|", "||", "<b>", "</b>",
    "<i>", "</i>", "</font>", "<font color=\"#ff0000\">", "<<b>b>", "</</b>b>", "<", "<", ">",
    ">", "\"", "\"", "\r\n", "\r\n", "\r\n", "\n", "\r", "\r\r\n", " ", " ", "  ", "word",
    "Link Text", "tail", "x", "ab", "<img src=\"a.gif\">", "<!-- note ", " -->", "<p>", "<br>",
    "</p>", "<B>", "</B>", "<FONT>", "<html><body>", std::string("\0", 1), "\xff\xfe", "\xc3\xa9",
    "          ", "           |abc", "|ab", "| ab",
};

class PageGenerator {
public:
    explicit PageGenerator(unsigned seed) : random_(seed) {}

    std::string page(std::size_t maxPieces)
    {
        std::string out;
        const std::size_t count = pick(maxPieces + 1);
        for (std::size_t i = 0; i < count; ++i) {
            if (pick(20) == 0)
                out += static_cast<char>(pick(256));
            else
                out += kPieces[pick(kPieces.size())];
        }
        return out;
    }

    // A page built of links with long multi-line texts, so that many continuation lines join
    // one link line and empty lines step the walk back onto it.
    std::string longLinkPage()
    {
        std::string out;
        const std::size_t links = 1 + pick(4);
        for (std::size_t l = 0; l < links; ++l) {
            out += pick(3) == 0 ? "<a href=x>" : "<a href=\"u.html\">";
            const std::size_t lines = pick(30);
            for (std::size_t i = 0; i < lines; ++i) {
                out += kPieces[pick(kPieces.size())];
                out += pick(2) ? "\r\n" : "\r\n\r\n";
            }
            out += pick(2) ? "</a>" : "";
        }
        return out;
    }

    std::vector<std::string> lines(std::size_t maxLines)
    {
        std::vector<std::string> out(pick(maxLines + 1));
        for (auto& line : out)
            for (std::size_t n = pick(5); n > 0; --n) {
                const std::string& piece = kPieces[pick(kPieces.size())];
                if (piece.find_first_of("\r\n") == std::string::npos)
                    line += piece;
            }
        return out;
    }

private:
    std::size_t pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }
    std::mt19937 random_;
};

std::string Escaped(const std::string& s)
{
    std::string out = "\"";
    for (const unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02x\"\"", c);
            out += buffer;
        }
    }
    return out + "\"";
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& line : lines)
        out += Escaped(line) + "\n";
    return out;
}

TEST(PassesAgreeWithTheirLiteralForm, OnGeneratedPagesStepByStep)
{
    PageGenerator generator(20261208);
    for (int round = 0; round < 6000; ++round) {
        const std::string page = round % 4 == 3 ? generator.longLinkPage() : generator.page(60);
        std::string fast = page;
        tarnby::steps::RemoveInlineFormatting(fast);
        const std::string slow = literal::RemoveInlineFormatting(page);
        ASSERT_EQ(fast, slow) << "step A, page " << Escaped(page);
        const auto fastLinks = tarnby::steps::HarvestLinks(fast);
        const auto slowLinks = literal::HarvestLinks(slow);
        ASSERT_EQ(fastLinks, slowLinks) << "step B, page " << Escaped(page);
        ASSERT_EQ(tarnby::steps::TidyLinkLines(fastLinks), literal::TidyLinkLines(slowLinks))
            << "step C, page " << Escaped(page) << "\nlines:\n" << Joined(slowLinks);
    }
}

TEST(PassesAgreeWithTheirLiteralForm, OnWholePagesThroughAllThreePasses)
{
    PageGenerator generator(7);
    for (int round = 0; round < 3000; ++round) {
        const std::string page = round % 3 == 2 ? generator.longLinkPage() : generator.page(80);
        const std::string one = tarnby::ProcessLinks(page);
        ASSERT_EQ(one, literal::ProcessLinks(page)) << "pass 1, page " << Escaped(page);
        const std::string two = tarnby::RemoveEmptyLinks(one);
        ASSERT_EQ(two, literal::RemoveEmptyLinks(one)) << "pass 2, page " << Escaped(page);
        ASSERT_EQ(tarnby::RemoveLinkTags(two), literal::RemoveLinkTags(two)) << "pass 3, page " << Escaped(page);
    }
}

// Step C on any lines at all, not only those step B makes: first lines that are continuation
// lines or get deleted, lines starting with "target", lines that lose their quote to the cut.
TEST(PassesAgreeWithTheirLiteralForm, LineTidyingOnArbitraryLines)
{
    PageGenerator generator(42);
    for (int round = 0; round < 6000; ++round) {
        const auto lines = generator.lines(25);
        ASSERT_EQ(tarnby::steps::TidyLinkLines(lines), literal::TidyLinkLines(lines)) << Joined(lines);
    }
}

// Passes 2 and 3 on any text, including texts they never get from pass 1.
TEST(PassesAgreeWithTheirLiteralForm, LaterPassesOnArbitraryText)
{
    PageGenerator generator(99);
    for (int round = 0; round < 4000; ++round) {
        const std::string text = generator.page(40);
        ASSERT_EQ(tarnby::RemoveEmptyLinks(text), literal::RemoveEmptyLinks(text)) << Escaped(text);
        ASSERT_EQ(tarnby::RemoveLinkTags(text), literal::RemoveLinkTags(text)) << Escaped(text);
    }
}

} // namespace
