// The HTML check on the editor: colours read back from the document, and what it leaves alone
// (text, modified flag, undo history, view, caret).
#include "EditorFixture.h"
#include "quellin/HtmlCheckPane.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

namespace {

// One letter per character of the document ('B' blue, 'G' green, 'k' black, '-' no colour
// set, '|' a line break).
QString documentColours(const QTextDocument& document)
{
    QString out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            out += QLatin1Char('|');
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QBrush brush = fragment.charFormat().foreground();
            QChar letter = QLatin1Char('-');
            if (brush.style() != Qt::NoBrush) {
                const QRgb rgb = brush.color().rgb() & 0xFFFFFF;
                letter = rgb == 0x0000FF ? QLatin1Char('B')
                       : rgb == 0x008000 ? QLatin1Char('G')
                       : rgb == 0x000000 ? QLatin1Char('k')
                                         : QLatin1Char('?');
            }
            out += QString(fragment.length(), letter);
        }
    }
    return out;
}

struct PaneCase {
    const char* name;
    const char* text;
    const char* colours;
};

const PaneCase kCases[] = {
    {"TagWithoutAttributes", "<b>x</b>", "BBBkBBBB"},
    {"AnchorWithHref", "<a href=x>y</a>", "BBBGGGGGGGkBBBB"},
    {"LessThanWithoutGreaterThanStops", "<i>a <b", "BBBkk--"},
    {"NameEndedByLineBreak", "<br\r\n>a b\r\n<p>", "BBB|Bkkk|BBB"},
};

class HtmlCheckPane : public EditorTest, public testing::WithParamInterface<PaneCase> {};

TEST_P(HtmlCheckPane, ColoursTheDocument)
{
    editor->setText(GetParam().text);
    quellin::ColourHtmlTags(*editor);
    EXPECT_EQ(documentColours(*editor->document()), QString::fromLatin1(GetParam().colours));
}

INSTANTIATE_TEST_SUITE_P(Cases, HtmlCheckPane, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorTest, HtmlCheckKeepsTextFlagViewAndUndoesInOneStep)
{
    QString lines;
    for (int i = 0; i < 200; ++i)
        lines += QStringLiteral("<p class=x>line %1</p>\r\n").arg(i);
    const std::string page = lines.toStdString();
    editor->setText(page);
    editor->show();
    editor->replaceSelection(QStringLiteral("typed "));
    editor->setModified(false);
    editor->setSelection(3000, 7);
    editor->verticalScrollBar()->setValue(50); // the selection out of view

    quellin::ColourHtmlTags(*editor);

    EXPECT_EQ(text(), "typed " + page);
    EXPECT_FALSE(editor->modified());
    EXPECT_EQ(editor->verticalScrollBar()->value(), 50);
    EXPECT_EQ(editor->selStart(), 3000);
    EXPECT_EQ(editor->selLength(), 0);
    EXPECT_TRUE(documentColours(*editor->document()).startsWith(QStringLiteral("------BBBGGGGGGGGkkkkkk")));
    editor->undo(); // the colours, all at once
    EXPECT_TRUE(documentColours(*editor->document()).startsWith(QStringLiteral("-----------------------")));
    EXPECT_EQ(text(), "typed " + page);
    editor->undo(); // the typing before
    EXPECT_EQ(text(), page);
}

// A second check after an edit: the old colours give way to the new ones, the modified flag
// stays set, and undo brings back exactly the colours the edit left.
TEST_F(EditorTest, HtmlCheckAgainAfterAnEditRecolours)
{
    editor->setText("<a href=x>y</a>");
    quellin::ColourHtmlTags(*editor);
    editor->setSelection(2, 1);
    editor->replaceSelection(QString()); // the blank: the attribute joins the name
    ASSERT_TRUE(editor->modified());

    quellin::ColourHtmlTags(*editor);

    EXPECT_EQ(documentColours(*editor->document()), QStringLiteral("BBBBBBBBBkBBBB"));
    EXPECT_TRUE(editor->modified());
    editor->undo();
    EXPECT_EQ(documentColours(*editor->document()), QStringLiteral("BBGGGGGGGkBBBB"));
    EXPECT_EQ(text(), "<ahref=x>y</a>");
}

// Checking an already checked text changes nothing, so there is nothing to undo either: one
// Undo afterwards still takes the colours away.
TEST_F(EditorTest, HtmlCheckOnCheckedTextAddsNoUndoStep)
{
    editor->setText("<p class=x>y</p>\r\n<br>");
    quellin::ColourHtmlTags(*editor);
    const int steps = editor->document()->availableUndoSteps();

    quellin::ColourHtmlTags(*editor);

    EXPECT_EQ(editor->document()->availableUndoSteps(), steps);
    editor->undo();
    EXPECT_EQ(documentColours(*editor->document()), QStringLiteral("----------------|----"));
}

// Part of a run in another colour: the whole run is painted again, not only its first piece.
TEST_F(EditorTest, HtmlCheckRepaintsARunOnlyPartlyInItsColour)
{
    editor->setText("<b>xyz</b>");
    quellin::ColourHtmlTags(*editor);
    QTextCharFormat red;
    red.setForeground(QColor(255, 0, 0));
    editor->setRangeFormat(5, 1, red);
    ASSERT_EQ(documentColours(*editor->document()), QStringLiteral("BBBkk?BBBB"));

    quellin::ColourHtmlTags(*editor);

    EXPECT_EQ(documentColours(*editor->document()), QStringLiteral("BBBkkkBBBB"));
}

} // namespace
