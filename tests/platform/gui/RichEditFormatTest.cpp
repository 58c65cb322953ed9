// Character formats of the pane, the RTF it writes, colours, wrapping and printing.
#include "RtfReader.h"

#include "base/Streams.h"
#include "platform/gui/RichEdit.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::gui::RichEdit;

namespace {

QTextCharFormat boldRed()
{
    QTextCharFormat f;
    f.setFontWeight(QFont::Bold);
    f.setForeground(QColor(Qt::red));
    return f;
}

class RichEditFormat : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(10);
        pane.setFont(font);
        pane.setText("plain bold\r\nsecond");
        pane.setRangeFormat(6, 4, boldRed());
    }
    RichEdit pane;
};

TEST_F(RichEditFormat, AUniformSelectionReportsItsFormat)
{
    pane.setSelection(6, 4);
    const auto f = pane.selectionFormat();
    EXPECT_TRUE(f.format.bold);
    EXPECT_EQ(f.format.colour, QColor(Qt::red));
    EXPECT_EQ(f.format.fontName, QStringLiteral("DejaVu Sans"));
    EXPECT_DOUBLE_EQ(f.format.pointSize, 10);
    EXPECT_TRUE(f.uniformName && f.uniformSize && f.uniformStyle && f.uniformColour);
}

TEST_F(RichEditFormat, AMixedSelectionTellsWhatDiffers)
{
    pane.setSelection(0, 10);
    const auto f = pane.selectionFormat();
    EXPECT_FALSE(f.format.bold); // the first character's format
    EXPECT_FALSE(f.uniformStyle);
    EXPECT_FALSE(f.uniformColour);
    EXPECT_TRUE(f.uniformName);
    EXPECT_TRUE(f.uniformSize);

    QTextCharFormat big;
    big.setFontPointSize(20);
    big.setFontFamilies({QStringLiteral("DejaVu Serif")});
    pane.setRangeFormat(12, 3, big);
    pane.setSelection(6, 9); // "bold" CR LF "sec"
    const auto g = pane.selectionFormat();
    EXPECT_FALSE(g.uniformSize);
    EXPECT_FALSE(g.uniformName);
    EXPECT_TRUE(g.format.bold);
}

TEST_F(RichEditFormat, AnEmptySelectionReportsTheTypingFormat)
{
    pane.setSelection(8, 0);
    const auto f = pane.selectionFormat();
    EXPECT_TRUE(f.format.bold);
    EXPECT_TRUE(f.uniformStyle);
}

TEST_F(RichEditFormat, RtfCarriesTextFontsColoursAndStyles)
{
    pane.setTextColour(QColor(0, 0, 0x80));
    const auto doc = rtftest::ReadRtf(pane.rtf());
    EXPECT_EQ(doc.lines(), (QStringList{"plain bold", "second"}));
    ASSERT_EQ(doc.paragraphs[0].size(), 2u);
    const auto& plain = doc.paragraphs[0][0];
    const auto& bold = doc.paragraphs[0][1];
    EXPECT_EQ(plain.text, QStringLiteral("plain "));
    EXPECT_FALSE(plain.bold);
    EXPECT_EQ(plain.rgb, 0x000080u); // the pane's text colour
    EXPECT_EQ(plain.font, QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(plain.halfPoints, 20);
    EXPECT_TRUE(bold.bold);
    EXPECT_EQ(bold.rgb, 0xFF0000u);
}

TEST_F(RichEditFormat, RtfOfWindows1252TextKeepsItsCharacters)
{
    pane.setText("caf\xe9 {x} \\ \x80\r\n");
    const auto doc = rtftest::ReadRtf(pane.rtf());
    EXPECT_EQ(doc.lines(), QStringList{QStringLiteral("caf\u00e9 {x} \\ \u20ac")});

    QTemporaryDir dir;
    const std::string file = dir.filePath(QStringLiteral("x.rtf")).toStdString();
    pane.saveRtf(file);
    EXPECT_EQ(base::ReadWholeFile(file), pane.rtf());
}

TEST_F(RichEditFormat, PaneColoursAndWrapping)
{
    pane.setBackgroundColour(QColor(Qt::yellow));
    pane.setTextColour(QColor(Qt::darkGreen));
    EXPECT_EQ(pane.backgroundColour(), QColor(Qt::yellow));
    EXPECT_EQ(pane.textColour(), QColor(Qt::darkGreen));
    EXPECT_FALSE(pane.wordWrap());
    pane.setWordWrap(true);
    EXPECT_TRUE(pane.wordWrap());

    // Setting the whole text puts a new document in place: the view settings stay.
    QFont big(QStringLiteral("DejaVu Serif"));
    big.setPointSize(15);
    pane.setFont(big);
    pane.setText("new text\r\n");
    EXPECT_EQ(pane.document()->defaultFont().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(pane.document()->defaultFont().pointSize(), 15);
    EXPECT_TRUE(pane.wordWrap());
    EXPECT_EQ(pane.document()->defaultTextOption().wrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    EXPECT_EQ(pane.backgroundColour(), QColor(Qt::yellow));
    EXPECT_EQ(pane.selectionFormat().format.fontName, QStringLiteral("DejaVu Serif"));
}

TEST_F(RichEditFormat, PrintsToAPdfPrinter)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    pane.printTo(printer);
    const std::string bytes = base::ReadWholeFile(pdf.toStdString());
    ASSERT_GT(bytes.size(), 500u);
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
}

} // namespace
