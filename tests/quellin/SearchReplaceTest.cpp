// Find and Replace on the editor, driven through the modeless dialogs of the dialog seam.
#include "EditorFixture.h"
#include "quellin/SearchReplace.h"

#include <QTextDocument>

using platform::gui::FindAction;
using platform::gui::FindReplaceQuery;
using platform::gui::ScriptedDialogs;

namespace {

struct Selection {
    int start;
    int length;
    friend bool operator==(const Selection&, const Selection&) = default;
};

void PrintTo(const Selection& s, std::ostream* os) { *os << "(" << s.start << ", " << s.length << ")"; }

struct FindCase {
    const char* name;
    const char* text;
    FindReplaceQuery query;
    std::vector<Selection> afterEachPress;
};

FindReplaceQuery find(const char* what, bool matchCase = false, bool wholeWord = false)
{
    return {FindAction::FindNext, QString::fromLatin1(what), {}, matchCase, wholeWord};
}

const FindCase kFinds[] = {
    {"WordTwiceThenNothingLeavesTheCaretOnTheSecond", "say hello, hello", find("hello"),
     {{4, 5}, {11, 5}, {11, 0}}},
    {"MatchAtTheFirstCharacter", "hello hello", find("hello"), {{0, 5}, {6, 5}, {6, 0}}},
    {"MatchCaseSkipsOtherCasing", "Hello hello", find("hello", true), {{6, 5}, {6, 0}}},
    {"WholeWordSkipsPartsOfWords", "cats cat", find("cat", false, true), {{5, 3}, {5, 0}}},
    {"OnLaterLinesWithCrLfCountingTwo", "a\r\nb hit\r\nhit", find("hit"), {{5, 3}, {10, 3}}},
    {"NotFoundLeavesTheCaretAtTheStart", "nothing here", find("absent"), {{0, 0}}},
};

class FindNext : public EditorTest, public testing::WithParamInterface<FindCase> {};

TEST_P(FindNext, SelectsEachMatchInTurnAndNeverWraps)
{
    const FindCase& c = GetParam();
    editor->setText(c.text);
    editor->setSelection(3, 2);
    dialogs.answerFindReplace(true);
    quellin::SearchReplace search(*editor);
    search.showFind();
    ASSERT_FALSE(dialogs.last().findReplace.replace);
    EXPECT_EQ((Selection{editor->selStart(), editor->selLength()}), (Selection{0, 0}));
    for (const Selection& expected : c.afterEachPress) {
        ASSERT_TRUE(dialogs.press(c.query));
        EXPECT_EQ((Selection{editor->selStart(), editor->selLength()}), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FindNext, testing::ValuesIn(kFinds),
                         [](const auto& info) { return std::string(info.param.name); });

struct ReplaceCase {
    const char* name;
    const char* text;
    std::vector<FindReplaceQuery> presses;
    std::string expected;
    int caret;
};

FindReplaceQuery replace(FindAction action, const char* what, const char* with, bool matchCase = false)
{
    return {action, QString::fromLatin1(what), QString::fromLatin1(with), matchCase, false};
}

const ReplaceCase kReplaces[] = {
    {"ReplaceTakesTheNextMatchFromTheStart", "cat cat cat",
     {replace(FindAction::Replace, "cat", "dog")}, "dog cat cat", 3},
    {"ReplaceTwiceTakesTheAdjacentMatch", "aaaa",
     {replace(FindAction::Replace, "a", "b"), replace(FindAction::Replace, "a", "b")}, "bbaa", 2},
    {"ReplaceAllReplacesEveryMatchToTheEnd", "cat\r\nCat cat", {replace(FindAction::ReplaceAll, "cat", "lion")},
     "lion\r\nlion lion", 15},
    {"ReplaceAllWithMatchCase", "cat Cat cat", {replace(FindAction::ReplaceAll, "cat", "x", true)},
     "x Cat x", 7},
    {"ReplaceAllWithTheFindTextInTheReplacementEnds", "ab ab", {replace(FindAction::ReplaceAll, "ab", "abab")},
     "abab abab", 9},
    {"ReplaceDialogFindNextDoesNothing", "cat", {replace(FindAction::FindNext, "cat", "dog")}, "cat", 0},
    {"NothingFoundChangesNothing", "cat", {replace(FindAction::ReplaceAll, "cow", "dog")}, "cat", 0},
};

class Replace : public EditorTest, public testing::WithParamInterface<ReplaceCase> {};

TEST_P(Replace, ReplacesFromTheSearchStart)
{
    const ReplaceCase& c = GetParam();
    editor->setText(c.text);
    dialogs.answerFindReplace(true);
    quellin::SearchReplace search(*editor);
    search.showReplace();
    ASSERT_TRUE(dialogs.last().findReplace.replace);
    for (const FindReplaceQuery& press : c.presses)
        ASSERT_TRUE(dialogs.press(press));
    EXPECT_EQ(text(), c.expected);
    EXPECT_EQ(editor->selStart(), c.caret);
    EXPECT_EQ(editor->selLength(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, Replace, testing::ValuesIn(kReplaces),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorTest, ReplaceAllIsOneUndoStepAndReachesPast65535Characters)
{
    std::string page(70000, 'x');
    page += " cat";
    for (int i = 0; i < 100; ++i)
        page += " cat";
    editor->setText(page);
    dialogs.answerFindReplace(true);
    quellin::SearchReplace search(*editor);
    search.showReplace();
    dialogs.press(replace(FindAction::ReplaceAll, "cat", "dog"));
    EXPECT_EQ(text().find("cat"), std::string::npos);
    editor->undo();
    EXPECT_EQ(text(), page);
}

TEST_F(EditorTest, ADialogThatDoesNotOpenLeavesTheCaret)
{
    editor->setText("some text");
    editor->setSelection(5, 4);
    dialogs.answerFindReplace(false);
    quellin::SearchReplace(*editor).showFind();
    EXPECT_EQ(editor->selStart(), 5);
    EXPECT_EQ(editor->selLength(), 4);
    EXPECT_FALSE(dialogs.press(find("text")));
}

} // namespace
