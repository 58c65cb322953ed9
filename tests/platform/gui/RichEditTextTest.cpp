// The pane's plain-text model: whole text, lines, encodings, selection positions, find, files.
#include "platform/gui/RichEdit.h"

#include "base/Exception.h"
#include "base/Streams.h"

#include "FileSizeLimit.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::core::TextEncoding;
using platform::gui::RichEdit;

namespace {

std::vector<std::string> linesOf(const RichEdit& pane)
{
    std::vector<std::string> lines;
    for (int i = 0; i < pane.lineCount(); ++i)
        lines.push_back(pane.line(i));
    return lines;
}

using Lines = std::vector<std::string>;

TEST(RichEditText, WholeTextKeepsCrLfAndTheFinalBreakOrItsAbsence)
{
    RichEdit pane;
    for (const std::string text : {"", "a", "a\r\n", "a\r\n\r\n", "\r\n", "a\r\nb", "a\r\n\r\nb\r\n"}) {
        pane.setText(text);
        EXPECT_EQ(pane.text(), text);
    }
}

TEST(RichEditText, LineCountIgnoresOnlyAnEmptyLastLineAfterAFinalBreak)
{
    RichEdit pane;
    const std::pair<const char*, int> cases[] = {
        {"", 0}, {"a", 1}, {"a\r\n", 1}, {"a\r\n\r\n", 2}, {"\r\n", 1}, {"a\r\nb", 2}};
    for (const auto& [text, count] : cases) {
        pane.setText(text);
        EXPECT_EQ(pane.lineCount(), count) << text;
    }
    pane.clear();
    EXPECT_EQ(pane.lineCount(), 0);
    EXPECT_THROW(pane.line(0), std::out_of_range);
}

TEST(RichEditText, BareCrAndBareLfAreLineBreaksToo)
{
    RichEdit pane;
    pane.setText("a\nb\rc\r\nd");
    EXPECT_EQ(linesOf(pane), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(pane.text(), "a\r\nb\r\nc\r\nd");
}

TEST(RichEditText, ReplaceDeleteAndAppendLines)
{
    RichEdit pane;
    pane.setText("one\r\ntwo\r\nthree");
    pane.setLine(1, "TWO");
    EXPECT_EQ(pane.text(), "one\r\nTWO\r\nthree");
    pane.deleteLine(2); // the last line, no break after it
    EXPECT_EQ(pane.text(), "one\r\nTWO");
    pane.deleteLine(0);
    EXPECT_EQ(pane.text(), "TWO");
    pane.deleteLine(0);
    EXPECT_EQ(pane.text(), "");
    EXPECT_THROW(pane.deleteLine(0), std::out_of_range);

    pane.appendLine("x");
    EXPECT_EQ(pane.text(), "x\r\n");
    pane.appendLine("");
    EXPECT_EQ(pane.text(), "x\r\n\r\n");
    EXPECT_EQ(pane.lineCount(), 2);
    pane.setText("no break");
    pane.appendLine("y");
    EXPECT_EQ(pane.text(), "no break\r\ny\r\n");

    pane.setText("a\r\nb\r\n");
    pane.deleteLine(1);
    EXPECT_EQ(pane.text(), "a\r\n");
    EXPECT_THROW(pane.setLine(1, "z"), std::out_of_range);
}

TEST(RichEditText, InvalidUtf8RoundTripsByteForByte)
{
    RichEdit pane;
    const std::string latin = "<a href=\"caf\xe9.html\">Caf\xe9 \x80 \xa0 \x81</a>\r\n";
    pane.setText(latin);
    EXPECT_EQ(pane.encoding(), TextEncoding::Windows1252);
    EXPECT_EQ(pane.text(), latin);
    EXPECT_TRUE(pane.lineText(0).contains(QStringLiteral("Caf\u00e9 \u20ac \u00a0 \u0081")));
    // Lines added later to a Windows-1252 pane are Windows-1252 too, even if they look like UTF-8.
    pane.appendLine("\xc3\xa9");
    EXPECT_EQ(pane.line(1), "\xc3\xa9");
    EXPECT_EQ(pane.text(), latin + "\xc3\xa9\r\n");
}

TEST(RichEditText, NonBreakingSpacesNulsAndUnusualCharactersAreKept)
{
    RichEdit pane;
    const std::string utf8 = std::string("a\xc2\xa0" "b\0c\t\xe2\x80\xa8" "d\xef\xbb\xbf", 14);
    pane.setText(utf8);
    EXPECT_EQ(pane.encoding(), TextEncoding::Utf8);
    EXPECT_EQ(pane.text(), utf8);
    EXPECT_EQ(pane.lineCount(), 1);
}

TEST(RichEditText, OpenAndSaveUnchangedIsByteIdentical)
{
    QTemporaryDir dir;
    const std::string in = dir.filePath(QStringLiteral("in.htm")).toStdString();
    const std::string out = dir.filePath(QStringLiteral("out.htm")).toStdString();
    for (const std::string& bytes :
         {std::string("<p>\xe9t\xe9</p>\r\n<p>x</p>\r\n"), std::string("\xe2\x82\xac\r\n\r\n"),
          std::string()}) {
        base::WriteWholeFile(in, bytes);
        RichEdit pane;
        pane.loadFromFile(in);
        pane.savePlainText(out);
        EXPECT_EQ(base::ReadWholeFile(out), bytes);
    }
}

TEST(RichEditText, PlainTextSaveEndsEveryLineWithCrLf)
{
    QTemporaryDir dir;
    const std::string out = dir.filePath(QStringLiteral("o.txt")).toStdString();
    RichEdit pane;
    pane.setText("a\nb");
    pane.savePlainText(out);
    EXPECT_EQ(base::ReadWholeFile(out), "a\r\nb\r\n");
    EXPECT_THROW(pane.loadFromFile(dir.filePath(QStringLiteral("missing")).toStdString()),
                 base::EFileError);
    EXPECT_EQ(pane.text(), "a\r\nb");
    EXPECT_THROW(pane.savePlainText(out + "/not-a-folder/x"), base::EFileError);
}

TEST(RichEditText, SelectionPositionsCountALineBreakAsTwo)
{
    RichEdit pane;
    pane.setText("ab\r\ncde\r\nf");
    pane.setSelection(3, 0); // between CR and LF: the end of line 0
    EXPECT_EQ(pane.selStart(), 2);
    pane.setSelection(4, 6); // "cde" CR LF "f"
    EXPECT_EQ(pane.selStart(), 4);
    EXPECT_EQ(pane.selLength(), 6);
    EXPECT_EQ(pane.selectedText(), QStringLiteral("cde\r\nf"));
    EXPECT_EQ(pane.caretLine(), 1);
    EXPECT_EQ(pane.caretColumn(), 0);
    pane.setSelection(6, 0);
    EXPECT_EQ(pane.caretLine(), 1);
    EXPECT_EQ(pane.caretColumn(), 2);
    EXPECT_EQ(pane.lineStart(2), 9);
    EXPECT_EQ(pane.lineStart(3), 10);
    pane.setSelection(100, 5); // past the end: clamped
    EXPECT_EQ(pane.selStart(), 10);
    EXPECT_EQ(pane.selLength(), 0);
}

TEST(RichEditText, ReplacingTheSelectionCanBeUndone)
{
    RichEdit pane;
    pane.setText("hello world");
    pane.setSelection(6, 5);
    pane.replaceSelection(QStringLiteral("there\r\nnow"));
    EXPECT_EQ(pane.text(), "hello there\r\nnow");
    pane.undo();
    EXPECT_EQ(pane.text(), "hello world");
}

TEST(RichEditText, FindHonoursCaseWholeWordsAndTheRange)
{
    RichEdit pane;
    pane.setText("Word\r\nsword word\r\nWORD");
    EXPECT_EQ(pane.findText(QStringLiteral("word"), 0, 1000), 0);
    EXPECT_EQ(pane.findText(QStringLiteral("word"), 1, 1000), 7);
    EXPECT_EQ(pane.findText(QStringLiteral("word"), 1, 1000, {true, true}), 12);
    EXPECT_EQ(pane.findText(QStringLiteral("WORD"), 1, 1000, {true, false}), 18);
    // The match must end within the range.
    EXPECT_EQ(pane.findText(QStringLiteral("word"), 12, 3), -1);
    EXPECT_EQ(pane.findText(QStringLiteral("word"), 12, 4), 12);
    EXPECT_EQ(pane.findText(QStringLiteral("absent"), 0, 1000), -1);
    EXPECT_EQ(pane.findText(QString(), 0, 1000), -1);
}

TEST(RichEditText, SettingAFewMegabytesKeepsEveryLine)
{
    std::string big;
    for (int i = 0; i < 40000; ++i)
        big += "<a href=\"page" + std::to_string(i) + ".html\">link number " + std::to_string(i)
            + "</a>\r\n";
    RichEdit pane;
    pane.setText(big);
    EXPECT_EQ(pane.lineCount(), 40000);
    EXPECT_EQ(pane.line(39999), "<a href=\"page39999.html\">link number 39999</a>");
    EXPECT_EQ(pane.text(), big);
}

} // namespace

namespace {

TEST(RichEditText, ASaveThatFailsHalfWayLeavesTheOldFileAsItWas)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("page.htm")).toStdString();
    const std::string old = "the old page\r\n";
    base::WriteWholeFile(path, old);
    RichEdit pane;
    pane.setText(std::string(5000, 'x'));
    {
        FileSizeLimit limit(2000);
        EXPECT_THROW(pane.savePlainText(path), base::EFileError);
        EXPECT_THROW(pane.saveRtf(path), base::EFileError);
    }
    EXPECT_EQ(base::ReadWholeFile(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"page.htm"});
}

} // namespace

namespace {

TEST(RichEditText, ALineThatIsNotUtf8TurnsTheWholePaneToWindows1252KeepingEveryByte)
{
    RichEdit pane;
    pane.setText("caf\xc3\xa9\r\n");
    ASSERT_EQ(pane.encoding(), TextEncoding::Utf8);
    pane.appendLine("caf\xe9");
    EXPECT_EQ(pane.encoding(), TextEncoding::Windows1252);
    EXPECT_EQ(pane.text(), "caf\xc3\xa9\r\ncaf\xe9\r\n");
    pane.setLine(0, "\xc3\xa9t\xc3\xa9");
    EXPECT_EQ(pane.line(0), "\xc3\xa9t\xc3\xa9");

    // Lines appended one by one to an emptied pane, as start-up loading used to do it.
    pane.clear();
    for (const char* line : {"<p>Gr\xfc\xdf" "e</p>", "\xe9t\xe9"})
        pane.appendLine(line);
    EXPECT_EQ(pane.text(), "<p>Gr\xfc\xdf" "e</p>\r\n\xe9t\xe9\r\n");
}

} // namespace
