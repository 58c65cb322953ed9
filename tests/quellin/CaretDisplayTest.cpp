// The status line's caret position after key releases in the editor.
#include "EditorFixture.h"
#include "quellin/CaretDisplay.h"

#include <QTest>

namespace {

TEST_F(EditorTest, AKeyReleaseShowsTheCaretsLineAndPosition)
{
    QStringList shown;
    quellin::ShowCaretOnKeyRelease(*editor, [&](const QString& text) { shown << text; });
    editor->setText("first\r\nsecond\r\nthird line\r\n");
    editor->setSelection(static_cast<int>(std::string("first\r\nsecond\r\nthi").size()), 0);
    editor->show();
    QTest::keyClick(editor.get(), Qt::Key_Right);
    ASSERT_FALSE(shown.isEmpty());
    EXPECT_EQ(shown.back(), QStringLiteral("Line: 3, Pos: 5"));
}

TEST_F(EditorTest, ACaretMovedWithoutKeysLeavesTheDisplay)
{
    QStringList shown;
    quellin::ShowCaretOnKeyRelease(*editor, [&](const QString& text) { shown << text; });
    editor->setText("a\r\nb");
    editor->setSelection(3, 0);
    QTest::mouseClick(editor->viewport(), Qt::LeftButton);
    EXPECT_TRUE(shown.isEmpty());
}

} // namespace
