// The passes on the cases where a careless version goes wrong. Whole pages that read best as
// bytes are golden folders (GoldenPassesTest); agreement with the literal algorithm on
// generated pages is PassesDifferentialTest.
#include "tarnby/PassSteps.h"
#include "tarnby/ReductionPasses.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;
using namespace std::string_literals;

TEST(InlineFormatting, GoesAlsoWhereARemovalBringsAnOccurrenceTogether)
{
    std::string text = "a<<<b>b>b>b <</b>b> <</</b>b>i>";
    tarnby::steps::RemoveInlineFormatting(text);
    // "<</b>b>" becomes "<b>" only once the "<b>" removal is over, so it stays; "<i>" made by
    // the "</b>" removal goes in the "<i>" removal that follows.
    EXPECT_EQ(text, "ab <b> ");
}

TEST(InlineFormatting, IsCaseSensitiveAndLeavesOpeningFontTags)
{
    std::string text = "<B>x</B><FONT>y</FONT><font size=2>z</font><I>i</I>";
    tarnby::steps::RemoveInlineFormatting(text);
    EXPECT_EQ(text, "<B>x</B><FONT>y</FONT><font size=2>z<I>i</I>");
}

TEST(LinkHarvest, GivesTheWorkedExamplesSixLinesInReverseOrder)
{
    const std::string page = "<html><body>\r\n<p>Hello World</p>\r\n"
                             "<a href=\"page1.html\" target=\"_blank\">First&nbsp;link</a> tail\r\n"
                             "<a href=\"#top\">Top</a>\r\n"
                             "<a href=\"page2.html\"><img src=\"x.gif\"></a>\r\n"
                             "<a href=\"page3.html\">Third\r\nlink</a>";
    EXPECT_EQ(tarnby::steps::HarvestLinks(page),
              (Lines{"<a href=\"page3.html\">Third", "link", "<a href=\"page2.html\">", "",
                     "<a href=\"page1.html\" target=\"_blank\">First&nbsp;link tail", ""}));
}

TEST(LinkHarvest, KeepsOnlyTheLastPendingTextBeforeALink)
{
    // "<B>" is an ordinary tag here: "Bold" replaces " text" as the pending text.
    EXPECT_EQ(tarnby::steps::HarvestLinks("<a href=\"b\"><B>Bold</B> text</a>"), (Lines{"<a href=\"b\">Bold"}));
}

TEST(LinkHarvest, DropsLinksWithHashOrOnmouseAnywhereInTheirChunkButNotInLaterText)
{
    EXPECT_EQ(tarnby::steps::HarvestLinks("<a href=\"r\">Room #5</a>"), Lines{});
    EXPECT_EQ(tarnby::steps::HarvestLinks("<a href=\"c\" style=\"color:#FF0000\">c</a>"), Lines{});
    EXPECT_EQ(tarnby::steps::HarvestLinks("<a href=\"h\" onmouseover=\"x()\">h</a>"), Lines{});
    // The pending text appended to a link is not looked at.
    EXPECT_EQ(tarnby::steps::HarvestLinks("<a href=\"a\">A</a> see #5 onmouse"),
              (Lines{"<a href=\"a\">A see #5 onmouse"}));
}

TEST(LinkHarvest, UpperCaseAndDoubleBlankAnchorsAreNoLinks)
{
    EXPECT_EQ(tarnby::steps::HarvestLinks("<A HREF=\"u\">Up</A><a  href=\"t\">Two</a>"), Lines{});
}

TEST(LinkHarvest, AStrayLessThanLosesOnlyItselfAndTheNearestTextIsPending)
{
    EXPECT_EQ(tarnby::steps::HarvestLinks("<a href=\"m\">3 < 4</a>"), (Lines{"<a href=\"m\">3  4"}));
    // " 4 is true" is pending first, then replaced by the nearer ": 3 ".
    EXPECT_EQ(tarnby::steps::HarvestLinks("<a href=\"m\">Maths</a>: 3 < 4 is true"),
              (Lines{"<a href=\"m\">Maths: 3 "}));
}

TEST(LinkHarvest, APageWithoutLessThanGivesNothing)
{
    EXPECT_EQ(tarnby::steps::HarvestLinks("no tags\r\nat all > here"), Lines{});
    EXPECT_EQ(tarnby::ProcessLinks("no tags\r\nat all > here"), "");
}

TEST(LineTidying, JoinsContinuationLinesWithSingleBlanksAndPutsThePipeAfterTheLastGreaterThan)
{
    EXPECT_EQ(tarnby::steps::TidyLinkLines({"<a href=\"m\">Text over", "", "three", "lines > arrows"}),
              (Lines{"<a href=\"m\">Text over three lines >| arrows"}));
}

TEST(LineTidying, CutsTargetUpToTheFirstGreaterThanEvenInsideTheUrl)
{
    EXPECT_EQ(tarnby::steps::TidyLinkLines({"<a href=\"p\" target=\"_blank\">x"}), (Lines{"<a href=\"p\">|x"}));
    // The cut takes the quotes of "target.html" with it; the second visit deletes the line.
    EXPECT_EQ(tarnby::steps::TidyLinkLines({"<a href=\"target.html\">x"}), Lines{});
    // A "target" after the first ">" is link text and stays.
    EXPECT_EQ(tarnby::steps::TidyLinkLines({"<a href=\"p\">target practice"}),
              (Lines{"<a href=\"p\">|target practice"}));
}

TEST(LineTidying, DeletesLinesWithoutQuoteOrGreaterThanAndRemovesPipesTabsAndNbsp)
{
    EXPECT_EQ(tarnby::steps::TidyLinkLines({"<a href=plain.html>Unquoted", "<a href=\"q\"|>A\t|&nbsp;B"}),
              (Lines{"<a href=\"q\">|AB"}));
}

// The first line has no line before it. A deleted first line leaves the walk before the first
// line; a continuation line arriving at the top (the text of that deleted link) is deleted too.
// Every later line still gets both visits, and no other line is lost.
TEST(LineTidyingAtTheFirstLine, DeletesAnUnquotedFirstLinkWithItsContinuationAndGoesOn)
{
    EXPECT_EQ(tarnby::steps::TidyLinkLines({"<a href=first.html>First", "with its \"text\" >", "",
                                            "<a href=\"target.html\">needs two visits",
                                            "<a href=\"ok.html\">OK", "and more"}),
              (Lines{"<a href=\"ok.html\">|OK and more"}));
}

TEST(LineTidyingAtTheFirstLine, ALinkLineAfterADeletedOneBecomesTheFirstAndCollectsItsText)
{
    EXPECT_EQ(tarnby::steps::TidyLinkLines({"", "<a href=x>", "<a href=\"a\">A", "b"}),
              (Lines{"<a href=\"a\">|A b"}));
}

TEST(RemoveEmptyLinks, KeepsThreeCharactersAfterTheLastPipeAndIgnoresAtMostTenTrailingBlanks)
{
    const std::string ten(10, ' ');
    const std::string eleven(11, ' ');
    EXPECT_EQ(tarnby::RemoveEmptyLinks("<a>|abc\r\n<a>|ab\r\n<a>|ab" + ten + "\r\n<a>|ab" + eleven
                                       + "\r\n\r\nxyz\r\nxy\r\n|a|bcd\r\n"),
              "<a>|abc\r\n<a>|ab" + eleven + "\r\nxyz\r\n|a|bcd\r\n");
}

TEST(RemoveLinkTags, CutsUpToTheFirstQuoteAndTwoCharactersFromTheLast)
{
    EXPECT_EQ(tarnby::RemoveLinkTags("<a href=\"p.html\">|Text\r\n<a href=\"only-one>|x\r\nno quote\r\n"),
              "p.html|Text\r\nonly-one>|x\r\nno quote\r\n");
}

TEST(Passes, LeaveAnEmptyPaneEmpty)
{
    EXPECT_EQ(tarnby::ProcessLinks(""), "");
    EXPECT_EQ(tarnby::RemoveEmptyLinks(""), "");
    EXPECT_EQ(tarnby::RemoveLinkTags(""), "");
}

TEST(Passes, RunningPassOneAgainReversesTheLines)
{
    const std::string once = tarnby::ProcessLinks("<a href=\"1\">one</a>\r\n<a href=\"2\">two</a>\r\n");
    EXPECT_EQ(once, "<a href=\"2\">|two\r\n<a href=\"1\">|one\r\n");
    EXPECT_EQ(tarnby::ProcessLinks(once), "<a href=\"1\">|one\r\n<a href=\"2\">|two\r\n");
}

TEST(Passes, KeepNulAndNonAsciiBytes)
{
    const std::string page = "<a href=\"n\0l.html\">caf\xc3\xa9 \xff\0</a>"s;
    EXPECT_EQ(tarnby::RemoveLinkTags(tarnby::RemoveEmptyLinks(tarnby::ProcessLinks(page))),
              "n\0l.html|caf\xc3\xa9 \xff\0\r\n"s);
}

TEST(Passes, TreatLoneCarriageReturnsAndLineFeedsAsLineBreaks)
{
    EXPECT_EQ(tarnby::ProcessLinks("<a href=\"a\">one\rtwo\nthree</a>"), "<a href=\"a\">|one two three\r\n");
    EXPECT_EQ(tarnby::RemoveLinkTags("\"a\"b\r\"c\"d\n"), "a\r\nc\r\n");
}

TEST(Passes, HandleALinkWithAMegabyteOfTextOnManyLines)
{
    std::string page = "<a href=\"long.html\">";
    std::string expected = "<a href=\"long.html\">|";
    for (int i = 0; i < 100000; ++i) {
        page += "word\r\n\r\n";
        expected += i == 0 ? "word" : " word";
    }
    EXPECT_EQ(tarnby::ProcessLinks(page + "</a>"), expected + "\r\n");
}

} // namespace
