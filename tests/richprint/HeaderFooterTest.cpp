#include "PrintTestSupport.h"

using namespace richprint;

namespace {

// Columns start at the text area's left edge (25 mm); padding is 6 pixels (0.254 mm) at 600 dpi.
struct ColumnCase {
    const char* name;
    QString header;
    QString format;
    QString title;
    QStringList words;          // the header line's words, in order
    std::vector<double> lefts;  // expected left edges (mm) of the first words, -1: not checked
};

class HeaderColumns : public PrintTest, public testing::WithParamInterface<ColumnCase> {};

TEST_P(HeaderColumns, ShowTheirItemsAlignedInTheirWidths)
{
    const ColumnCase& c = GetParam();
    printer.SetHeader(c.header);
    printer.SetHeaderFormat(c.format);
    printer.SetTitle(c.title);
    Print(QStringLiteral("body"));
    const auto words = WordsOnPage(ReadWords(pdf), 1);
    QStringList header;
    for (const PdfWord& w : words) {
        if (w.top < 30)
            header << w.text;
    }
    EXPECT_EQ(header, c.words);
    for (std::size_t i = 0; i < c.lefts.size(); ++i) {
        if (c.lefts[i] >= 0) {
            EXPECT_NEAR(words[i].left, c.lefts[i], 0.3) << i;
        }
    }
}

// "ab" in 10-point Courier-like text is about 4.23 mm wide.
INSTANTIATE_TEST_SUITE_P(
    Cases, HeaderColumns,
    testing::Values(
        ColumnCase{"ThirdItemHasNoColumn", "a|b|c", "<50|>50", "t", {"a", "b"},
                   {25.254, -1}},
        ColumnCase{"Centred", "ab", "^60", "t", {"ab"}, {25 + 30 - 2.12}},
        ColumnCase{"NoAlignmentIsLeft", "ab", "60", "t", {"ab"}, {25.254}},
        ColumnCase{"EmptyFormatShowsOneCharacter", "abc", "", "t", {"a"}, {25}},
        ColumnCase{"AlignmentAloneShowsOneCharacter", "abc", "<", "t", {"a"}, {25}},
        ColumnCase{"SelfReferencingTitle", "{$TITLE}", "<160", "my {$TITLE}",
                   {"{$TITLE}"}, {}},
        ColumnCase{"LowerCasePlaceholder", "{$page} {$Title}", "<160", "t",
                   {"{$page}", "{$Title}"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintTest, TheLogoFillsItsBoxInTheHeaderBand)
{
    QImage logo(40, 20, QImage::Format_RGB32);
    logo.fill(Qt::red);
    printer.SetBitmapLogo(logo);
    printer.SetLogoBox(0, 100, 25, 20);
    Print(QStringLiteral("body"));
    const QImage image = RenderPage(pdf, 1, 100);
    auto red = [&](double xMm, double yMm) {
        const QColor c = image.pixelColor(std::lround(xMm / 25.4 * 100), std::lround(yMm / 25.4 * 100));
        return c.red() > 200 && c.green() < 80;
    };
    // Left = 100 / 210 of the 170 mm text width after the text area's left edge; the box is
    // 25 / 210 of it wide; it starts at the header line's top (16 mm) and is 16 mm high.
    const double left = 25 + 100.0 / 210 * 170;
    const double width = 25.0 / 210 * 170;
    EXPECT_TRUE(red(left + width / 2, 22));
    EXPECT_FALSE(red(left - 2, 22));
    EXPECT_FALSE(red(left + width + 2, 22));
}

} // namespace
