// The forward search behind Find and Replace: where the next match (or every match) starts.
#include "quellin/TextSearch.h"

#include <QString>
#include <gtest/gtest.h>

namespace {

struct SearchCase {
    const char* name;
    const char* text;
    const char* what;
    qsizetype from;
    quellin::SearchOptions options;
    std::vector<qsizetype> all; // FindAllForward; its first is FindForward's answer
};

const SearchCase kCases[] = {
    {"MatchAtTheFirstCharacter", "word and word", "word", 0, {}, {0, 9}},
    {"StartsAtFrom", "word and word", "word", 1, {}, {9}},
    {"IgnoresCaseByDefault", "Word WORD", "word", 0, {}, {0, 5}},
    {"MatchCaseSkipsOtherCasing", "Word word", "word", 0, {true, false}, {5}},
    {"WholeWordSkipsPartsOfWords", "concatenate cat", "cat", 0, {false, true}, {12}},
    {"UnderscoreIsPartOfAWord", "my_cat cat_ cat", "cat", 0, {false, true}, {12}},
    {"WholeWordAtBothEnds", "cat", "cat", 0, {false, true}, {0}},
    {"PunctuationEndsAWord", "(cat),", "cat", 0, {false, true}, {1}},
    {"MatchesDoNotOverlap", "aaaaa", "aa", 0, {}, {0, 2}},
    {"EmptySearchTextMatchesNothing", "abc", "", 0, {}, {}},
    {"FromPastTheEndFindsNothing", "abc", "c", 4, {}, {}},
};

class ForwardSearch : public testing::TestWithParam<SearchCase> {};

TEST_P(ForwardSearch, FindsTheMatchesFromTheStartOn)
{
    const SearchCase& c = GetParam();
    const QString text = QString::fromLatin1(c.text);
    const QString what = QString::fromLatin1(c.what);
    EXPECT_EQ(quellin::FindAllForward(text, what, c.from, c.options), c.all);
    EXPECT_EQ(quellin::FindForward(text, what, c.from, c.options), c.all.empty() ? -1 : c.all.front());
}

INSTANTIATE_TEST_SUITE_P(Cases, ForwardSearch, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
