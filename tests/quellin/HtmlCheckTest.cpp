// The HTML check's colouring walk: each case is a text and the colour every character gets
// ('B' blue, 'G' green, 'k' black, '.' left as it was).
#include "quellin/HtmlCheck.h"

#include <QString>
#include <gtest/gtest.h>

using quellin::HtmlCheckRuns;
using quellin::TagColour;

namespace {

struct CheckCase {
    const char* name;
    const char* text;
    const char* colours;
};

QString coloursOf(const QString& text)
{
    QString mask(text.size(), QLatin1Char('.'));
    for (const quellin::ColourRun& run : HtmlCheckRuns(text)) {
        const QChar c = run.colour == TagColour::Blue    ? QLatin1Char('B')
                        : run.colour == TagColour::Green ? QLatin1Char('G')
                                                         : QLatin1Char('k');
        for (qsizetype i = run.start; i < run.start + run.length; ++i) {
            EXPECT_EQ(mask[i], QLatin1Char('.')) << "runs overlap at " << i;
            mask[i] = c;
        }
    }
    return mask;
}

const CheckCase kCases[] = {
    {"TagWithoutAttributesIsAllBlue", "<b>bold</b>", "BBBkkkkBBBB"},
    {"AnchorNameBlueAttributesGreen", "<a href=\"x\">go</a>", "BBBGGGGGGGGGkkBBBB"},
    {"TextBeforeTheFirstTagKeepsItsColours", "ab <i>", "...BBB"},
    {"TextAfterTheLastTagIsBlackToTheEnd", "<i>x y", "BBBkkk"},
    {"LessThanWithoutGreaterThanEndsTheCheck", "<b>x</b> <i", "BBBkBBBBk.."},
    {"LessThanWithoutGreaterThanLeavesTheRest", "<b>x <y", "BBBkk.."},
    {"NameEndedByLineBreakWithBlankAfterTheTagIsAllBlue", "<br\r\n>a b", "BBBBBBkkk"},
    {"TabDoesNotEndTheName", "<td\talign=x>", "BBBBBBBBBBBB"},
    {"BlankFoundBeyondOneTagServesTheNext", "<a><b c>", "BBBBBBGG"},
    {"LessThanInsideATagLeavesTheTextAfterIt", "<a <b> c", "BBBGGG.."},
    {"GreaterThanAloneColoursNothing", "a > b", "....."},
    {"EmptyText", "", ""},
};

class HtmlCheckColours : public testing::TestWithParam<CheckCase> {};

TEST_P(HtmlCheckColours, ColoursEachCharacterAsTheWalkSays)
{
    const CheckCase& c = GetParam();
    EXPECT_EQ(coloursOf(QString::fromLatin1(c.text)), QString::fromLatin1(c.colours));
}

INSTANTIATE_TEST_SUITE_P(Walk, HtmlCheckColours, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HtmlCheckRuns, NeighbouringRunsOfOneColourAreJoined)
{
    const auto runs = HtmlCheckRuns(u"<a><b>");
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0], (quellin::ColourRun{0, 6, TagColour::Blue}));
}

} // namespace
