// Each kind of parse error on the smallest page that makes it, with where it is reported
// (line:column) and the name it carries; and the pages that must report nothing.
#include "html/Parse.h"
#include "html/ParseErrors.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Reported(const std::string& page)
{
    std::vector<html::ParseError> errors;
    const auto document = html::Parse(page, html::Templates::Standard, &errors);
    const html::LinePositions lines(document->page());
    std::vector<std::string> shown;
    for (const html::ParseError& error : errors) {
        const html::TextPosition at = lines.at(error.offset);
        std::string line = std::to_string(at.line) + ":" + std::to_string(at.column) + " " + std::string(html::CodeOf(error.code));
        if (!error.name.empty())
            line += " " + error.name;
        shown.push_back(line);
    }
    return shown;
}

struct ErrorCase {
    const char* name;
    std::string page;
    std::vector<std::string> errors;
};

class ErrorCases : public testing::TestWithParam<ErrorCase> {};

TEST_P(ErrorCases, AreReportedWhereTheyStand)
{
    EXPECT_EQ(Reported(GetParam().page), GetParam().errors);
}

const std::string kDoctype = "<!DOCTYPE html>";

INSTANTIATE_TEST_SUITE_P(
    Tokenizer, ErrorCases,
    testing::Values(
        ErrorCase{"ReferenceWithoutSemicolon", kDoctype + "<p>\n<b>&amp</b>", {"2:4 missing-semicolon-after-character-reference"}},
        ErrorCase{"NumericReferences", kDoctype + "<p>&#x110000; &#xD800; &#xFFFE; &#x80; &#; &#65",
                  {"1:19 character-reference-outside-unicode-range", "1:30 surrogate-character-reference",
                   "1:39 noncharacter-character-reference", "1:48 control-character-reference",
                   "1:55 absence-of-digits-in-numeric-character-reference", "1:59 missing-semicolon-after-character-reference"}},
        ErrorCase{"NullReference", kDoctype + "&#0;", {"1:16 null-character-reference"}},
        ErrorCase{"UnknownNamedReference", kDoctype + "&bogus; &bogus", {"1:16 unknown-named-character-reference"}},
        ErrorCase{"LegacyNameInAttributeIsNoReference", kDoctype + "<a href='?a=1&copy=2'>", {"1:16 unclosed-element a"}},
        ErrorCase{"DuplicateAttribute", kDoctype + "<p a=1 A=2>", {"1:23 duplicate-attribute a"}},
        ErrorCase{"EndTagWithAttributesAndSolidus", kDoctype + "<p></p x=1><br></br/>",
                  {"1:19 end-tag-with-attributes", "1:31 end-tag-with-trailing-solidus", "1:31 unexpected-end-tag br"}},
        ErrorCase{"EofBeforeTagName", kDoctype + "a <", {"1:18 eof-before-tag-name"}},
        ErrorCase{"EofInTag", kDoctype + "<p class=x", {"1:16 eof-in-tag"}},
        ErrorCase{"EmptyComments", kDoctype + "<!--> <!--->", {"1:16 abrupt-closing-of-empty-comment", "1:22 abrupt-closing-of-empty-comment"}},
        ErrorCase{"NestedComment", kDoctype + "<!-- <!-- x -->", {"1:21 nested-comment"}},
        ErrorCase{"EofInComment", kDoctype + "<!-- never", {"1:16 eof-in-comment"}},
        ErrorCase{"IncorrectlyClosedComment", kDoctype + "<!--a--!>", {"1:21 incorrectly-closed-comment"}},
        ErrorCase{"BangWithoutComment", kDoctype + "<!x> <![CDATA[x]]>",
                  {"1:16 incorrectly-opened-comment", "1:21 cdata-in-html-content"}},
        ErrorCase{"QuestionMark", kDoctype + "<?php x ?>", {"1:16 unexpected-question-mark-instead-of-tag-name"}},
        ErrorCase{"EmptyEndTag", kDoctype + "</>", {"1:16 missing-end-tag-name"}},
        ErrorCase{"LessThanBeforeADigit", kDoctype + "1 < 2", {"1:18 invalid-first-character-of-tag-name"}},
        ErrorCase{"AttributeValues", kDoctype + "<p a='1'b=2 c=>",
                  {"1:24 missing-whitespace-between-attributes", "1:30 missing-attribute-value"}},
        ErrorCase{"UnquotedValueWithQuote", kDoctype + "<p b=x\"y>", {"1:22 unexpected-character-in-unquoted-attribute-value"}},
        ErrorCase{"EqualsBeforeName", kDoctype + "<p =a>", {"1:19 unexpected-equals-sign-before-attribute-name"}},
        ErrorCase{"QuoteInAttributeName", kDoctype + "<p a\"b=1>", {"1:20 unexpected-character-in-attribute-name"}},
        ErrorCase{"SolidusInTag", kDoctype + "<img / src=x>", {"1:21 unexpected-solidus-in-tag"}},
        ErrorCase{"SelfClosingDiv", kDoctype + "<div/>x</div>", {"1:16 non-void-html-element-start-tag-with-trailing-solidus div"}},
        ErrorCase{"NulInText", kDoctype + std::string("a\0b", 3), {"1:17 unexpected-null-character"}},
        ErrorCase{"ControlsAndNoncharacters", kDoctype + "a\x01" "b\x7f" "c\xc2\x85" "d\xef\xbf\xbf" "e\xef\xb7\x90",
                  {"1:17 control-character-in-input-stream", "1:19 control-character-in-input-stream",
                   "1:21 control-character-in-input-stream", "1:23 noncharacter-in-input-stream",
                   "1:25 noncharacter-in-input-stream"}},
        ErrorCase{"DoctypeWithoutName", "<!doctype>", {"1:1 missing-doctype-name"}},
        ErrorCase{"DoctypeWithJunk", "<!doctype html bogus>", {"1:16 invalid-character-sequence-after-doctype-name"}},
        ErrorCase{"EofInDoctype", "<!doctype html", {"1:1 eof-in-doctype"}}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    TreeConstruction, ErrorCases,
    testing::Values(
        ErrorCase{"MissingDoctype", "<p>x", {"1:1 missing-doctype"}},
        ErrorCase{"DoctypeInBody", kDoctype + "<p><!DOCTYPE html>", {"1:19 unexpected-doctype"}},
        ErrorCase{"MisnestedFormatting", kDoctype + "<b><i>x</b></i>", {"1:23 misnested-formatting b", "1:27 unexpected-end-tag i"}},
        ErrorCase{"FormattingAcrossAParagraph", kDoctype + "<b><p>x</b>y</p>", {"1:23 misnested-formatting b"}},
        ErrorCase{"EndTagClosesOpenElements", kDoctype + "<div><span></div>", {"1:27 end-tag-closes-open-elements div"}},
        ErrorCase{"StrayEndTags", kDoctype + "</span></br>", {"1:16 unexpected-end-tag span", "1:23 unexpected-end-tag br"}},
        ErrorCase{"StrayParagraphEnd", kDoctype + "x</p>", {"1:17 unexpected-end-tag p"}},
        ErrorCase{"StrayEndTagInHead", kDoctype + "<title>t</title></q><head>", {"1:32 unexpected-end-tag q", "1:36 unexpected-start-tag head"}},
        ErrorCase{"LinkInsideLink", kDoctype + "<a href=1><a href=2>x</a>", {"1:26 nested-start-tag a"}},
        ErrorCase{"HeadingInsideHeading", kDoctype + "<h1><h2>x</h1>", {"1:20 nested-start-tag h2", "1:25 end-tag-closes-open-elements h1"}},
        ErrorCase{"FormInsideForm", kDoctype + "<form><form></form>", {"1:22 nested-start-tag form"}},
        ErrorCase{"SecondBody", kDoctype + "<body><body>", {"1:22 unexpected-start-tag body"}},
        ErrorCase{"TableRowOutsideTable", kDoctype + "<tr><td>x", {"1:16 unexpected-start-tag tr", "1:20 unexpected-start-tag td"}},
        ErrorCase{"ElementsLeftOpen", kDoctype + "<div>\n<span>x", {"1:16 unclosed-element div", "2:1 unclosed-element span"}},
        ErrorCase{"LeftOpenAtBodyEndOnce", kDoctype + "<div></body></html>", {"1:16 unclosed-element div"}},
        ErrorCase{"ContentInTable", kDoctype + "<table><tr>x<b>y</b><td>z</table>",
                  {"1:27 content-in-table", "1:28 content-in-table b", "1:31 content-in-table"}},
        ErrorCase{"StrayEndTagsInATable", kDoctype + "<table><tr><td>x</span></td></tr></thead></table>",
                  {"1:32 unexpected-end-tag span", "1:49 unexpected-end-tag thead"}},
        ErrorCase{"CellEndClosesOpenElements", kDoctype + "<table><tr><td><div>x</td></table>",
                  {"1:37 end-tag-closes-open-elements td"}},
        ErrorCase{"TableInsideTable", kDoctype + "<table><table></table>", {"1:23 nested-start-tag table"}},
        ErrorCase{"ContentAfterBody", kDoctype + "<body></body></html><p>x", {"1:36 content-after-body"}},
        ErrorCase{"ColumnsCountCharactersNotBytes", kDoctype + "<p>\n\xc3\xa4\xc3\xb6</span>", {"2:3 unexpected-end-tag span"}},
        ErrorCase{"CarriageReturnsEndLines", kDoctype + "<p>\r\n\r</span>", {"3:1 unexpected-end-tag span"}}),
    [](const testing::TestParamInfo<ErrorCase>& info) { return info.param.name; });

struct CleanPage {
    const char* name;
    std::string page;
};

class CleanPages : public testing::TestWithParam<CleanPage> {};

TEST_P(CleanPages, ReportNothing)
{
    EXPECT_EQ(Reported(GetParam().page), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    ParseErrors, CleanPages,
    testing::Values(CleanPage{"WellFormedPage", "<!DOCTYPE html>\n<html lang=en><head><meta charset=utf-8><title>T</title></head>"
                                                "<body><p>a &amp; b<br><img src=x alt=''><ul><li>1<li>2</ul></body></html>\n"},
                    CleanPage{"ImpliedEndTags", "<!doctype html><p>a<p>b<dl><dt>x<dd>y</dl><table><tr><td>1<td>2</table>"},
                    CleanPage{"ForeignSelfClosing", "<!doctype html><svg><path/><circle r=1 /></svg><math><mi/></math>"},
                    CleanPage{"ScriptAndStyleText", "<!doctype html><script>if (a < b && c) x = '</p>';</script><style>p>a{}</style>"}),
    [](const testing::TestParamInfo<CleanPage>& info) { return info.param.name; });

// Hostile pages: the list stops at its bound, and one line of a megabyte with an error every
// few bytes still takes one pass to place.
TEST(ParseErrors, AreBoundedInNumber)
{
    std::string page;
    for (int i = 0; i < 300000; ++i)
        page += "</x>";
    std::vector<html::ParseError> errors;
    html::Parse(page, html::Templates::Standard, &errors);
    EXPECT_EQ(errors.size(), html::Document::kMostErrors);
}

TEST(ParseErrors, PositionsOnOneHugeLineAreLinear)
{
    std::string page;
    for (int i = 0; i < 90000; ++i)
        page += "\xc3\xa4</x>";
    std::vector<html::ParseError> errors;
    const auto document = html::Parse(page, html::Templates::Standard, &errors);
    const html::LinePositions lines(document->page());
    html::TextPosition last;
    for (const html::ParseError& error : errors)
        last = lines.at(error.offset);
    EXPECT_EQ(last.line, 1u);
    EXPECT_EQ(last.column, 89999u * 5 + 2);
}

TEST(ParseErrors, NamesFromThePageAreShownSafely)
{
    const html::ParseError error{0, html::ErrorCode::DuplicateAttribute, "a\x01" + std::string(100, 'b')};
    const std::string message = html::MessageOf(error);
    EXPECT_EQ(message.find('\x01'), std::string::npos);
    EXPECT_LT(message.size(), 80u);
}

} // namespace
