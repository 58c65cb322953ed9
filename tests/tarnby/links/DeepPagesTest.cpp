// Pages nested or repeated far beyond what html5lib itself accepts still give their links: no
// stack overflow, and no scan of every open element per tag.
#include "tarnby/PageLinks.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kTimes = 100000;

std::string Repeated(const std::string& piece)
{
    std::string text;
    text.reserve(piece.size() * kTimes);
    for (int i = 0; i < kTimes; ++i)
        text += piece;
    return text;
}

std::string Numbered(const std::string& before, const std::string& after)
{
    std::string text;
    for (int i = 0; i < kTimes; ++i)
        text += before + std::to_string(i) + after;
    return text;
}

struct DeepPage {
    const char* name;
    std::string page;
    std::string expectedText; // of the one link
};

class DeepPages : public testing::TestWithParam<DeepPage> {};

TEST_P(DeepPages, GiveTheirLink)
{
    const auto links = tarnby::ExtractLinks(GetParam().page, "");
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].url, "x.html");
    EXPECT_EQ(links[0].text, GetParam().expectedText);
}

INSTANTIATE_TEST_SUITE_P(
    HtmlParser, DeepPages,
    testing::Values(DeepPage{"UnclosedDivs", "<a href=x.html>" + Repeated("<div>") + "t", "t"},
                    DeepPage{"UnclosedBolds", "<a href=x.html>" + Repeated("<b>") + "t", "t"},
                    DeepPage{"BoldsAllDifferent", "<a href=x.html>" + Numbered("<b id=", ">") + "t", "t"},
                    DeepPage{"StrayEndTagsUnderSpans", "<a href=x.html>" + Repeated("<span>") + Repeated("</p></div>") + "t", "t"},
                    DeepPage{"StrayEndTagsOfOtherNames", "<a href=x.html>t</a>" + Repeated("<x>") + Repeated("</y>"), "t"},
                    DeepPage{"StrayEndTagsOfANameBelowABlock",
                             "<a href=x.html>t</a><y><div>" + Repeated("<x>") + Repeated("</y>"), "t"},
                    DeepPage{"OpenAndStrayInTurn", "<a href=x.html>t</a>" + Repeated("<x></y>"), "t"},
                    DeepPage{"UnclosedSvg", "<a href=x.html>t" + Repeated("<svg>"), "t"},
                    DeepPage{"BoldsClosedInTables", Repeated("<table><td><b>") + "<a href=x.html>t", "t"},
                    DeepPage{"BoldsMisnestedAroundBlocks",
                             "<a href=x.html>t</a>" + Repeated("<b>") + Repeated("<div>") + Repeated("</b>"), "t"},
                    DeepPage{"TextMisplacedInNestedTables", "<a href=x.html>t</a>" + Repeated("<table>x<td>"), "t"},
                    DeepPage{"LinkBelowTheDepthLimit", Repeated("<span>") + "<a href=x.html>t</a>" + Repeated("</span>"), "t"}),
    [](const testing::TestParamInfo<DeepPage>& info) { return info.param.name; });

} // namespace
