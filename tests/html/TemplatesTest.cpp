// <template> read as the standard says and as html5lib reads it (the rule the links follow):
// the text under the page's first <a> differs where the template closes what it opened.
#include "TreeText.h"
#include "html/Parse.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using html::Document;
using html::NodeId;
using html::Templates;
using html::test::FirstLink;
using html::test::TextBelow;

struct TemplateCase {
    const char* name;
    const char* page;
    Templates templates;
    const char* firstLinkText;
};

class TemplateCases : public testing::TestWithParam<TemplateCase> {};

TEST_P(TemplateCases, PutTheTextUnderTheFirstLink)
{
    const auto document = html::Parse(GetParam().page, GetParam().templates);
    const NodeId link = FirstLink(*document, Document::root());
    ASSERT_NE(link, html::kNoNode);
    EXPECT_EQ(TextBelow(*document, link), GetParam().firstLinkText);
}

INSTANTIATE_TEST_SUITE_P(
    HtmlParser, TemplateCases,
    testing::Values(
        TemplateCase{"StandardClosesParagraph", "<a href=x>1<template><p>2</template>3</a>", Templates::Standard, "123"},
        TemplateCase{"OrdinaryLeavesParagraphOpen", "<a href=x>1<template><p>2</template>3</a>", Templates::Ordinary, "1"},
        TemplateCase{"StandardMarkerKeepsOuterLink", "<a href=x>t<template>u<a href=y>in</a>w</template>v</a>",
                     Templates::Standard, "tuinwv"},
        TemplateCase{"OrdinaryInnerLinkClosesOuter", "<a href=x>t<template>u<a href=y>in</a>w</template>v</a>",
                     Templates::Ordinary, "tu"},
        TemplateCase{"StandardInTableNotMovedBefore", "<table><template><a href=x>t</a></template></table>", Templates::Standard, "t"}),
    [](const testing::TestParamInfo<TemplateCase>& info) { return info.param.name; });

} // namespace
