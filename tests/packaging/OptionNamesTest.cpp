// What counts as an option name in a help text and in a man page's OPTIONS section.
#include "OptionNames.h"

#include <gtest/gtest.h>

namespace {

using packaging::OptionSet;

struct TextCase {
    const char* name;
    const char* text;
    OptionSet options;
};

class HelpText : public ::testing::TestWithParam<TextCase> {};

TEST_P(HelpText, FindsTheOptionNames)
{
    EXPECT_EQ(packaging::OptionsInText(GetParam().text), GetParam().options);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HelpText,
    ::testing::Values(
        TextCase{"ShortAndLongOnOneLine", "  -o, --output FILE  write the lines\n", {"-o", "--output"}},
        TextCase{"HyphenatedName", "  --max-redirects N\n", {"--max-redirects"}},
        TextCase{"HyphensInsideWords", "lower-cased at start-up, FILE-OR-URL...\n", {}},
        TextCase{"BareDashes", "A FILE of \"-\" is standard input; \"--\" ends the options\n", {}},
        TextCase{"OptionsInRunningText", "print the FILEs; --plain: one font; -o FILE.pdf: a PDF\n",
                 {"--plain", "-o"}},
        TextCase{"ValueGluedWithEquals", "--passes=2 or (--links)\n", {"--passes", "--links"}},
        TextCase{"NumbersAreNotOptions", "a range 0-9 and -1\n", {}},
        TextCase{"AtTheVeryStart", "--help", {"--help"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ManCase {
    const char* name;
    const char* roff;
    OptionSet options;
};

class ManPageTag : public ::testing::TestWithParam<ManCase> {};

TEST_P(ManPageTag, FindsTheDefinedOptions)
{
    EXPECT_EQ(packaging::OptionsInManPage(GetParam().roff), GetParam().options);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ManPageTag,
    ::testing::Values(
        ManCase{"EscapedHyphens", ".SH OPTIONS\n.TP\n.B \\-\\-links\nLoad.\n", {"--links"}},
        ManCase{"FontChangesInTheTag", ".SH OPTIONS\n.TP\n\\fB\\-o\\fR, \\fB\\-\\-output\\fR \\fIFILE\\fR\n", {"-o", "--output"}},
        ManCase{"AlternatingFontsWithQuotes", ".SH OPTIONS\n.TP\n.BR \\-v \", \" \\-\\-verbose\n", {"-v", "--verbose"}},
        ManCase{"ValueWithBrackets", ".SH OPTIONS\n.TP\n.BI \\-\\-proxy \" HOST\\fR[\\fP:PORT\\fR]\"\n", {"--proxy"}},
        ManCase{"IndentedParagraph", ".SH OPTIONS\n.TP 8\n.B \\-\\-plain\n", {"--plain"}},
        ManCase{"MentionInTheBodyIsNoDefinition", ".SH OPTIONS\n.TP\n.B \\-\\-plain\nWith\n.BR \\-\\-print :\none font.\n", {"--plain"}},
        ManCase{"SynopsisIsNoDefinition", ".SH SYNOPSIS\n.TP\n.B \\-\\-print\n.SH OPTIONS\n.TP\n.B \\-\\-help\n", {"--help"}},
        ManCase{"NextSectionEndsTheOptions", ".SH OPTIONS\n.TP\n.B \\-\\-help\n.SH FILES\n.TP\n.B \\-\\-not\\-an\\-option\n", {"--help"}},
        ManCase{"QuotedSectionName", ".SH \"OPTIONS\"\n.TP\n.B \\-\\-version\n", {"--version"}},
        ManCase{"NoOptionsSection", ".SH DESCRIPTION\n.TP\n.B \\-\\-help\n", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ManPageSections, AreReadWithoutQuotes)
{
    EXPECT_EQ(packaging::ManPageSections(".TH X 1\n.SH NAME\nx\n.SH \"EXIT STATUS\"\n"),
              (std::set<std::string>{"NAME", "EXIT STATUS"}));
}

} // namespace
