// The HTML menu as the user sees it, and what choosing its items inserts into the editor.
#include "EditorFixture.h"
#include "quellin/HtmlMenu.h"
#include "quellin/HtmlSnippets.h"

#include <QAction>

namespace {

// One line per entry: the path of captions, "-" for a separator, " (inert)" for an item whose
// choice names no section. Choosing each item records the sections in chosen.
QStringList outline(const QMenu& menu, const QString& path, QStringList& chosen)
{
    QStringList lines;
    for (QAction* action : menu.actions()) {
        const QString name = path + (action->isSeparator() ? QStringLiteral("-") : action->text());
        if (action->menu()) {
            lines << outline(*action->menu(), name + QLatin1Char('/'), chosen);
            continue;
        }
        const qsizetype before = chosen.size();
        action->trigger();
        const bool inert = !action->isSeparator() && chosen.size() == before;
        lines << name + (inert ? QStringLiteral(" (inert)") : QString());
    }
    return lines;
}

const QStringList kOutline = {
    "Header/Head", "Header/-", "Header/Base", "Header/Basefont (inert)", "Header/IsIndex",
    "Header/Link", "Header/Meta/Author", "Header/Meta/Content", "Header/Meta/Description",
    "Header/Meta/HTTP-Equiv", "Header/Meta/Keyword", "Header/Meta/Robot", "Header/Script",
    "Header/Style", "Header/Title",
    "Body/Body", "Body/-",
    "Body/Char/Common/Ampersand &&", "Body/Char/Common/Copyright (c)",
    "Body/Char/Common/Greater than >", "Body/Char/Common/Less than <",
    "Body/Char/Common/Nonbreaking space", "Body/Char/Common/Quotation mark \"",
    "Body/Char/Common/Registered trademark (R)", "Body/Char/Common/Trademark TM",
    "Body/Char/Umlaute/Umlaut ä", "Body/Char/Umlaute/Umlaut Ä (inert)",
    "Body/Char/Umlaute/Umlaut ö", "Body/Char/Umlaute/Umlaut Ö (inert)",
    "Body/Char/Umlaute/Umlaut ü", "Body/Char/Umlaute/Umlaut Ü (inert)",
    "Body/Char/Umlaute/Umlaut ß",
    "Body/Element/Address", "Body/Element/Anchor", "Body/Element/Horizontal Rule",
    "Body/Element/Hyperlink", "Body/Element/Image", "Body/Element/Image map",
    "Body/Element/MailTo", "Body/Element/Table", "Body/Element/Table (Complex)",
    "Body/Format/Break <BR>", "Body/Format/Center", "Body/Format/Heading <H#>",
    "Body/Format/Paragraph <P>", "Body/Format/Preformatted <PRE>",
    "Body/Logical/Abbreviation", "Body/Logical/Citation", "Body/Logical/Code (Source)",
    "Body/Logical/Definition", "Body/Logical/Emphasis", "Body/Logical/Keystrokes",
    "Body/Logical/Sample", "Body/Logical/Strong emphasis", "Body/Logical/Variable",
    "Body/Style/Definition list", "Body/Style/Ordered def-list", "Body/Style/Ordered list",
    "Body/Style/Unordered list",
    "Body/Text/Font", "Body/Text/-", "Body/Text/Big", "Body/Text/Small", "Body/Text/-",
    "Body/Text/Bold", "Body/Text/Italic", "Body/Text/Strike", "Body/Text/Typewriter",
    "Body/Text/Underline", "Body/Text/-", "Body/Text/Sub", "Body/Text/Sup",
    "Other/Template/HTML Basic", "Other/Template/HTML Frame", "Other/Template/HTML Form",
    "Other/Template/HTML Script", "Other/Remark",
    "Script/PHP/ (inert)", "Script/JavaScript/ (inert)", "Script/VBScript/ (inert)",
};

class HtmlMenuTest : public EditorTest {
protected:
    QMenu* build()
    {
        auto* menu = new QMenu(editor.get());
        quellin::AddHtmlMenuItems(*menu, [this](const QString& section) { chosen << section; });
        return menu;
    }
    void insert(const char* section) { quellin::InsertSnippet(*editor, QString::fromUtf8(section)); }

    QStringList chosen;
};

TEST_F(HtmlMenuTest, TheTreeHasEveryCaptionSeparatorAndInertItem)
{
    EXPECT_EQ(outline(*build(), QString(), chosen), kOutline);
}

TEST_F(HtmlMenuTest, ChoosingAnItemNamesItsSectionWithTheCaptionAsWritten)
{
    outline(*build(), QString(), chosen);
    EXPECT_EQ(chosen.front(), QStringLiteral("Head"));
    EXPECT_EQ(chosen.size(), 68);
    EXPECT_TRUE(chosen.contains(QStringLiteral("Ampersand &&")));
    EXPECT_TRUE(chosen.contains(QStringLiteral("Quotation mark \"")));
}

struct InsertCase {
    const char* name;
    const char* section;
    int selStart;
    int selLength;
    std::string expected;
    int caret;      // selection start afterwards
    int selection;  // selection length afterwards
};

const InsertCase kInserts[] = {
    {"NonbreakingSpaceAtTheCaret", "Nonbreaking space", 3, 0, "abc&nbsp;\r\ndef", 11, 0},
    {"LinesInFileOrderReplaceTheSelection", "Title", 1, 4, "a<title>\r\n</title>\r\nf", 20, 0},
    {"MissingSectionKeepsTextAndSelection", "Abbreviation", 1, 4, "abcdef", 1, 4},
};

class SnippetInsertion : public HtmlMenuTest, public testing::WithParamInterface<InsertCase> {};

TEST_P(SnippetInsertion, ReplacesTheSelectionAndLeavesTheCaretAfterTheLastLine)
{
    const InsertCase& c = GetParam();
    config.write(QLatin1String(quellin::kSettingsFile),
                 "[Nonbreaking space]\n1=&nbsp;\n[Title]\nb=<title>\na=</title>\n");
    editor->setText("abcdef");
    editor->setSelection(c.selStart, c.selLength);
    insert(c.section);
    EXPECT_EQ(text(), c.expected);
    EXPECT_EQ(editor->selStart(), c.caret);
    EXPECT_EQ(editor->selLength(), c.selection);
}

INSTANTIATE_TEST_SUITE_P(Sections, SnippetInsertion, testing::ValuesIn(kInserts),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
