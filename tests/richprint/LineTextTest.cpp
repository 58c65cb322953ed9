#include "richprint/LineText.h"

#include <gtest/gtest.h>

using namespace richprint;

namespace {

// Every character 10 pixels wide.
MeasurePrefix Fixed(int)
{
    return [](int length) { return length * 10; };
}

struct TabCase {
    const char* name;
    const char* text;
    unsigned tabSize;
    const char* expected;
};

class Tabs : public testing::TestWithParam<TabCase> {};

TEST_P(Tabs, ExpandToTheNextStop)
{
    const TabCase& c = GetParam();
    EXPECT_EQ(ExpandTabs(QString::fromLatin1(c.text), c.tabSize), QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Tabs,
    testing::Values(TabCase{"AtColumn3", "abc\tx", 8, "abc     x"},
                    TabCase{"AtAStopAFullTab", "abcdefgh\tx", 8, "abcdefgh        x"},
                    TabCase{"TwoInARow", "\t\tx", 4, "        x"},
                    TabCase{"SizeZeroIsOne", "a\tb\t\tc", 0, "a b  c"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Tabs, MapEachOutputCharacterToItsSource)
{
    std::vector<int> source;
    ExpandTabs(QStringLiteral("a\tb"), 4, &source);
    EXPECT_EQ(source, (std::vector<int>{0, 1, 1, 1, 2}));
}

struct FitCase {
    const char* name;
    int length;
    int width;
    int expected;
};

class Fit : public testing::TestWithParam<FitCase> {};

TEST_P(Fit, FindsTheWidestPrefixAndNeverLessThanOneCharacter)
{
    const FitCase& c = GetParam();
    EXPECT_EQ(FitText(c.length, c.width, Fixed(0)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Fit,
                         testing::Values(FitCase{"Fits", 5, 50, 5}, FitCase{"ExactPrefix", 10, 40, 4},
                                         FitCase{"BetweenCharacters", 10, 45, 4},
                                         FitCase{"NarrowerThanOne", 10, 3, 1},
                                         FitCase{"ZeroWidth", 7, 0, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

struct WrapCase {
    const char* name;
    const char* text;
    int width;
    std::vector<std::string> parts;
};

class Wrap : public testing::TestWithParam<WrapCase> {};

TEST_P(Wrap, BreaksAtTheLastBlankThatFits)
{
    const WrapCase& c = GetParam();
    const QString text = QString::fromLatin1(c.text);
    std::vector<std::string> parts;
    for (const WrapPart& p : WrapLine(text, c.width, Fixed))
        parts.push_back(text.mid(p.start, p.length).toStdString());
    EXPECT_EQ(parts, c.parts);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Wrap,
    testing::Values(
        // The blank that ends the fitting prefix stays printed with it.
        WrapCase{"AtLastBlank", "aaa bbb ccc", 60, {"aaa ", "bbb ", "ccc"}},
        // The character right after the prefix is a blank: consumed, not printed.
        WrapCase{"BlankRightAfter", "aaaa bbbb", 40, {"aaaa", "bbbb"}},
        WrapCase{"WordWiderThanLine", "abcdefghij", 40, {"abcd", "efgh", "ij"}},
        WrapCase{"OneCharacterWiderThanLine", "abc", 5, {"a", "b", "c"}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
