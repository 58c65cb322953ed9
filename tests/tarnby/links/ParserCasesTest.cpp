// One page per fault found while bringing the HTML parser to agree with html5lib, with the lines
// html5lib gives for it (file pages: addresses as written).
#include "tarnby/PageLinks.h"
#include "tarnby/PaneText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct ParserCase {
    const char* name;
    std::string page;
    std::vector<std::string> lines;
};

class ParserCases : public testing::TestWithParam<ParserCase> {};

TEST_P(ParserCases, GiveTheLinesOfHtml5lib)
{
    EXPECT_EQ(tarnby::SplitPaneLines(tarnby::LinkLines(tarnby::ExtractLinks(GetParam().page, ""))), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    HtmlParser, ParserCases,
    testing::Values(
        // Tokenizer.
        ParserCase{"ReferencesLegacyInAttributesAndReplaced", "<a href=\"?a=1&copy=2&amp;b\">x</a><a href=y>&copy=2 &#128;&#xD800;&#0;</a>",
                   {"?a=1&copy=2&b|x", "y|\u00a9=2 \u20ac\ufffd\ufffd"}},
        ParserCase{"ReferenceAtTheEnd", "<a href=x>end &notin", {"x|end \u00acin"}},
        ParserCase{"ShortAndBangedComments", "<a href=x>a<!-->b</a><a href=y>c<!--x--!>d</a>", {"x|ab", "y|cd"}},
        ParserCase{"ScriptDoublyEscaped", "<script><!--<script></script><a href=no>x</a>--></script><a href=y>t</a>", {"y|t"}},
        ParserCase{"CdataOnlyInForeignContent", "<svg><![CDATA[<a href=no>]]><a href=y>t</a></svg><a href=z>u</a>", {"z|u"}},
        ParserCase{"CarriageReturns", "<a href=x>a\r\nb\rc</a>", {"x|a b c"}},
        ParserCase{"Plaintext", "<plaintext><a href=x>y</a>", {}},
        // Tree construction.
        ParserCase{"AdoptedAcrossALink", "<a href=x>1<b>2<a href=y>3</b>4</a>", {"x|12", "y|3", "y|4"}},
        ParserCase{"QuirksTableInParagraph", "<p><a href=x>1<table><tr><td>2</table></a>", {"x|12"}},
        ParserCase{"NoQuirksTableClosesParagraph", "<!DOCTYPE html><p><a href=x>1<table><tr><td>2</table></a>", {"x|1"}},
        ParserCase{"LinkOutOfScopeBehindSvgTitle", "<a href=x>1<svg><title><a href=y>2</a></title></svg>3</a>", {"x|1", "y|2"}},
        ParserCase{"LinkOutOfScopeBehindForeignObject", "<a href=x>1<svg><foreignObject><a href=y>2</a></foreignObject></svg>3</a>",
                   {"x|12", "y|2"}},
        ParserCase{"EndTagOutOfScopeBehindMathMl", "<a href=x>1<math><mi>2</a>3</mi></math>4", {"x|12", "x|34"}},
        // Where html5lib's tree differs from the standard's.
        ParserCase{"TextAreaReopensFormatting", "<p><a href=x>1</p><textarea>2</textarea>", {"x|1", "x|2"}},
        ParserCase{"FirstLineBreakDroppedInBody", "<a href=x>Q<textarea>\nA</textarea></a>", {"x|QA"}},
        ParserCase{"FirstLineBreakKeptInCell", "<table><td><a href=x>Q<pre>\nA</pre></a></table>", {"x|Q A"}},
        ParserCase{"EndBrKeepsFramesetAllowed", "</br><frameset><frame></frameset><a href=x>t</a>", {}},
        ParserCase{"SecondButtonInTableDropped", "<table><a href=x><button>b<button>c</a></table>", {"x|bc"}},
        ParserCase{"MovedBeforeTableThenAdoptedIsLost", "<a href=x><div>c<table><b>deep</b>x</table></a>", {"x|c"}},
        ParserCase{"IsindexMakesASearchField", "<a href=x>1<isindex>2</a><a href=y>3<isindex prompt=Find:>4</a>",
                   {"x|1This is a searchable index. Enter search keywords: 2", "y|3Find:4"}},
        ParserCase{"ListItemClosingInTableStaysInIt", "<table><P><Li><a href=1>1</a></li><a href=2>2</a></table>", {"2|2", "1|1"}}),
    [](const testing::TestParamInfo<ParserCase>& info) { return info.param.name; });

} // namespace
