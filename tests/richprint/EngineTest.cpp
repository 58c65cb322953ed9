#include "PrintTestSupport.h"

#include "richprint/PrintProgressDialog.h"

#include <QApplication>
#include <QFile>
#include <csignal>
#include <sys/resource.h>

using namespace richprint;

namespace {

TEST_F(PrintTest, QuellinsFooterPutsThePageLeftAndDateAndTimeRightInTheirColumns)
{
    Print(Lines(150)); // three pages
    ASSERT_GE(PageCount(pdf), 3);
    const auto words = WordsOnPage(ReadWords(pdf), 3);
    const auto page = std::find_if(words.begin(), words.end(),
                                   [](const PdfWord& w) { return w.text == "3"; });
    ASSERT_NE(page, words.end());
    const PdfWord& dash = *(page - 1);
    EXPECT_EQ(dash.text, "-");
    // 6 pixels of padding at 600 dpi are 0.254 mm.
    EXPECT_NEAR(dash.left, kTextLeft + 0.254, 0.3);
    EXPECT_GT(dash.top, 297 - 25); // in the band below the text area
    const PdfWord& last = words.back(); // the time, last on the footer line
    EXPECT_NEAR(last.top, dash.top, 0.5);
    EXPECT_NEAR(last.right, kTextLeft + 160 - 0.254, 0.5);
    EXPECT_GT(words[words.size() - 2].left, kTextLeft + 80); // the date in the second column
}

TEST_F(PrintTest, AnEmptyEditGivesOnePageWithHeaderFooterAndBorders)
{
    Print(QString());
    EXPECT_EQ(PageCount(pdf), 1);
    EXPECT_EQ(PageLines(pdf, 1).front(), "notes.txt");
    EXPECT_TRUE(PageLines(pdf, 1).back().startsWith("- 1 -"));
    const QImage image = RenderPage(pdf, 1, 100);
    // The left border runs 2 mm left of the text area, from the top to the bottom margin.
    const int x = std::lround((kTextLeft - 2) / 25.4 * 100);
    int dark = 0;
    for (int dx = -1; dx <= 1; ++dx)
        dark = std::max(dark, DarkRun(image, x + dx, 30 * 100 / 25.4, 270 * 100 / 25.4));
    EXPECT_GT(dark, 900);
}

struct WrapCase {
    const char* name;
    bool wordWrap;
    QString line;
    QStringList expected;
};

class Wrapping : public PrintTest, public testing::WithParamInterface<WrapCase> {};

TEST_P(Wrapping, LongLinesBreakAtTheLastBlankOrAreCut)
{
    printer.SetWordWrap(GetParam().wordWrap);
    Print(GetParam().line);
    QStringList body = PageLines(pdf, 1);
    body.removeFirst(); // header
    body.removeLast();  // footer
    EXPECT_EQ(body, GetParam().expected);
}

// The text area is 170 mm wide: 80 characters of 10-point DejaVu Sans Mono (2.12 mm each).
const QString k79 = QString(79, QLatin1Char('a'));
INSTANTIATE_TEST_SUITE_P(
    Cases, Wrapping,
    testing::Values(WrapCase{"AtLastBlank", true, k79.left(70) + " bbbbbbbbbbbbbbb ccc",
                             {k79.left(70), "bbbbbbbbbbbbbbb ccc"}},
                    WrapCase{"WordWiderThanLine", true, QString(100, 'w'),
                             {QString(80, 'w'), QString(20, 'w')}},
                    WrapCase{"CutWithoutWordWrap", false, k79 + " tail dropped", {k79}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintTest, ATabAtColumnThreeGivesFiveBlanks)
{
    Print(QStringLiteral("abc\tx"));
    const auto words = WordsOnPage(ReadWords(pdf), 1);
    auto find = [&](const char* text) {
        return *std::find_if(words.begin(), words.end(), [&](auto& w) { return w.text == text; });
    };
    const PdfWord abc = find("abc");
    const double character = (abc.right - abc.left) / 3;
    EXPECT_NEAR(find("x").left - abc.left, 8 * character, 0.2);
}

TEST_F(PrintTest, ALastLineFillingThePageAddsAPageWithOnlyHeaderFooterAndBorders)
{
    Print(Lines(200));
    const int perPage = PageLines(pdf, 1).size() - 2;
    Print(Lines(perPage - 1));
    EXPECT_EQ(PageCount(pdf), 1);
    Print(Lines(perPage));
    ASSERT_EQ(PageCount(pdf), 2);
    EXPECT_EQ(PageLines(pdf, 2).size(), 2); // header and footer
}

TEST_F(PrintTest, MixedSizesShareOneBaselineAndTheLargestLineHeight)
{
    edit.setText("small BIG\r\nnext");
    QTextCharFormat big;
    big.setFontPointSize(20);
    edit.setRangeFormat(6, 3, big);
    printer.PrintRichEdit(edit, 1);
    const auto words = WordsOnPage(ReadWords(pdf), 1);
    auto find = [&](const char* text) {
        return *std::find_if(words.begin(), words.end(), [&](auto& w) { return w.text == text; });
    };
    const PdfWord small = find("small");
    const PdfWord bigWord = find("BIG");
    const PdfWord next = find("next");
    // Glyph boxes end below the baseline by the descent, which grows with the size.
    EXPECT_NEAR(small.bottom, bigWord.bottom, 1.2);
    EXPECT_LT(bigWord.top, small.top - 2);
    // From the first baseline to the next: the 20-point line less its ascent plus the next
    // line's ascent, 4.9 mm; two 10-point lines are 4.1 mm apart.
    EXPECT_NEAR(next.bottom - small.bottom, 4.9, 0.2);
}

struct PixelFontCase {
    const char* name;
    bool plainText;
};

class PixelSizedFonts : public PrintTest, public testing::WithParamInterface<PixelFontCase> {};

// The editor sizes its font in screen pixels: 13 of them at 96 dpi are 9.75 points on paper,
// 2.07 mm per character of DejaVu Sans Mono, not 13 printer dots.
TEST_P(PixelSizedFonts, PrintAsLargeAsOnTheScreen)
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPixelSize(13);
    edit.setFont(font);
    printer.OnBeginDoc = [this] { printer.SetPlainText(GetParam().plainText); };
    Print(QStringLiteral("abcdefghij"));
    const auto words = WordsOnPage(ReadWords(pdf), 1);
    const auto word = std::find_if(words.begin(), words.end(),
                                   [](const PdfWord& w) { return w.text == "abcdefghij"; });
    ASSERT_NE(word, words.end());
    EXPECT_NEAR(word->right - word->left, 20.7, 0.4);
}

INSTANTIATE_TEST_SUITE_P(Cases, PixelSizedFonts,
                         testing::Values(PixelFontCase{"Plain", true},
                                         PixelFontCase{"Formatted", false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct PenCase {
    const char* name;
    int resolution;
    int thickness; // pixels at 600 dpi
};

class BorderPens : public PrintTest, public testing::WithParamInterface<PenCase> {};

TEST_P(BorderPens, AreTwoPixelsAt600DpiAndTheThinnestBelow)
{
    printer.SetPdfOutput(pdf, GetParam().resolution);
    printer.ApplyQuellinDefaults();
    Print(QStringLiteral("x"));
    // The top border: 2 mm above the text area, which starts at the 30 mm margin.
    const QImage image = RenderPage(pdf, 1, 600, QRect(2000, 600, 40, 120));
    EXPECT_EQ(DarkRun(image, 20, 0, 119), GetParam().thickness);
}

INSTANTIATE_TEST_SUITE_P(Cases, BorderPens,
                         testing::Values(PenCase{"At600", 600, 2}, PenCase{"At300", 300, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrintTest, TheProgressWindowShowsStatusTitleAndPageWhileAJobRuns)
{
    printer.SetShowProgress(true);
    QStringList seen;
    printer.OnNewPage = [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* dialog = qobject_cast<TRichPrntProgDlg*>(w); dialog && dialog->isVisible())
                seen << dialog->windowTitle() + "|" + dialog->StatusText() + "|"
                            + dialog->TitleText() + "|" + dialog->PageNumberText();
        }
    };
    Print(Lines(80));
    EXPECT_EQ(seen, (QStringList{"Print Progress|Currently Printing|notes.txt|1",
                                 "Print Progress|Currently Printing|notes.txt|2"}));
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<TRichPrntProgDlg*>(w), nullptr);
}

TEST(PrintEngine, ReadsUnknownTitleAndPortraitWithoutAPrinter)
{
    TRichPrinter printer;
    printer.SetPrinter(nullptr);
    printer.SetTitle(QStringLiteral("ignored"));
    printer.SetOrientation(TPrinterOrientation::poLandscape);
    EXPECT_EQ(printer.Title(), "<Unknown>");
    EXPECT_EQ(printer.Orientation(), TPrinterOrientation::poPortrait);
    EXPECT_EQ(printer.LineHeight(), 10);
    EXPECT_DOUBLE_EQ(printer.GutterRight(), 6);
}

struct LockedCase {
    const char* name;
    std::function<void(TRichPrinter&)> change;
    const char* message;
};

class LockedWhilePrinting : public PrintTest, public testing::WithParamInterface<LockedCase> {};

TEST_P(LockedWhilePrinting, SettersFailAndKeepTheValue)
{
    std::string message;
    printer.OnNewPage = [&] {
        try {
            GetParam().change(printer);
        } catch (const ELinePrinter& e) {
            message = e.what();
        }
    };
    Print(QStringLiteral("x"));
    EXPECT_EQ(message, GetParam().message);
    EXPECT_EQ(printer.Title(), "notes.txt");
    EXPECT_DOUBLE_EQ(printer.MarginTop(), 30);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LockedWhilePrinting,
    testing::Values(
        LockedCase{"TopMargin", [](TRichPrinter& p) { p.SetMarginTop(40); },
                   "Unable to change top margin while printing"},
        LockedCase{"Title", [](TRichPrinter& p) { p.SetTitle("other"); },
                   "Unable to change title while printing"},
        LockedCase{"Orientation",
                   [](TRichPrinter& p) { p.SetOrientation(TPrinterOrientation::poLandscape); },
                   "Unable to change orientation while printing"}),
    [](const auto& info) { return std::string(info.param.name); });

// A failed job leaves no file under the chosen name (an older one stays as it was), no
// progress window, and an engine that prints the next job.
struct FailureCase {
    const char* name;
    std::function<QString(PrintTest&, TRichPrinter&)> arrange; // returns the PDF path to use
    const char* message;
};

class FailedJobs : public PrintTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(FailedJobs, LeaveNoHalfFileAndAnIdleEngine)
{
    const QString target = GetParam().arrange(*this, printer);
    printer.SetShowProgress(true);
    edit.setText(Lines(300).toStdString());
    try {
        printer.PrintRichEdit(edit, 1);
        FAIL() << "printed";
    } catch (const ELinePrinter& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).startsWith(GetParam().message)) << e.what();
    }
    rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &unlimited);
    EXPECT_FALSE(QFile::exists(target) && QFile(target).size() > 100);
    EXPECT_FALSE(printer.Printing());
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible() && w->windowTitle() == "Print Progress");
    EXPECT_EQ(QDir(QFileInfo(target).absolutePath()).entryList(QDir::Hidden | QDir::Files).filter(".out.pdf."),
              QStringList());

    printer.OnNewPage = nullptr;
    printer.SetPdfOutput(pdf);
    printer.SetShowProgress(false);
    Print(QStringLiteral("again"));
    EXPECT_EQ(PageCount(pdf), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailedJobs,
    testing::Values(
        FailureCase{"FolderMissing",
                    [](PrintTest& t, TRichPrinter& p) {
                        const QString target = t.dir.filePath("missing/out.pdf");
                        p.SetPdfOutput(target);
                        return target;
                    },
                    "Cannot write file"},
        FailureCase{"FailureAtANewPage",
                    [](PrintTest& t, TRichPrinter& p) {
                        p.OnNewPage = [&p] {
                            if (p.PageNumber() == 2)
                                throw ELinePrinter("Not be able to print a new page.");
                        };
                        return t.pdf;
                    },
                    "Not be able to print a new page."},
        FailureCase{"DiskFull",
                    [](PrintTest& t, TRichPrinter&) {
                        // Writes beyond 4 KB fail as on a full disk.
                        std::signal(SIGXFSZ, SIG_IGN);
                        rlimit limit{4096, RLIM_INFINITY};
                        setrlimit(RLIMIT_FSIZE, &limit);
                        return t.pdf;
                    },
                    "Not be able to print to a file."}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
