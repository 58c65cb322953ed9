#include "PrintTestSupport.h"
#include "platform/gui/ScriptedDialogs.h"
#include "richprint/RichPreview.h"
#include "richprint/arrowbtn.h"

#include <QDir>
#include <QPointer>
#include <QTest>

using namespace richprint;

namespace {

class Preview : public PrintTest {
protected:
    TRichPreviewForm* Open(int lines)
    {
        edit.setText(Lines(lines).toStdString());
        form = printer.PreviewRichEdit(edit);
        return form;
    }
    ~Preview() override { delete form.data(); }
    QPointer<TRichPreviewForm> form;
};

TEST_F(Preview, EachPreviewKeepsItsPagesInItsOwnFilesAndClosingRemovesThem)
{
    TRichPreviewForm* first = Open(120);
    ASSERT_EQ(first->LastIndex(), 2);
    const QString folder = QFileInfo(first->PageFile(0)).absolutePath();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files),
              (QStringList{"PreviewMetafile0", "PreviewMetafile1", "PreviewMetafile2"}));
    TRichPreviewForm* second = printer.PreviewRichEdit(edit);
    EXPECT_NE(QFileInfo(second->PageFile(0)).absolutePath(), folder);
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(QDir(folder).exists());
    EXPECT_TRUE(QFile::exists(second->PageFile(2)));
    delete second;
    EXPECT_FALSE(printer.Previewing());
    EXPECT_FALSE(printer.ShowProgress()); // a preview turns the progress window off
}

TEST_F(Preview, ShowsThePageScaledToTheImage)
{
    TRichPreviewForm* preview = Open(1);
    const QImage image = preview->PageImage();
    // The left border lies 23 mm from the paper's left edge of 210 mm.
    const int x = std::lround(23.0 / 210 * image.width());
    int dark = 0;
    for (int dx = -2; dx <= 2; ++dx)
        dark = std::max(dark, DarkRun(image, x + dx, image.height() / 4, image.height() * 3 / 4, 250));
    EXPECT_GT(dark, image.height() / 3);
}

enum class Step { Next, Previous, Home, End };

struct NavigationCase {
    const char* name;
    int lines;
    std::vector<Step> steps;
    QString pageLabel;
    bool next;
    bool previous;
};

class Navigation : public Preview, public testing::WithParamInterface<NavigationCase> {};

TEST_P(Navigation, MovesWithinThePagesAndEnablesTheArrows)
{
    TRichPreviewForm* preview = Open(GetParam().lines);
    for (Step s : GetParam().steps) {
        switch (s) {
        case Step::Next: preview->NextPage(); break;
        case Step::Previous: preview->PreviousPage(); break;
        case Step::Home: preview->FirstPage(); break;
        case Step::End: preview->LastPage(); break;
        }
    }
    EXPECT_EQ(preview->PageNumberText(), GetParam().pageLabel);
    EXPECT_EQ(preview->NextEnabled(), GetParam().next);
    EXPECT_EQ(preview->PreviousEnabled(), GetParam().previous);
}

// 58 lines per page: 260 lines are five pages.
INSTANTIATE_TEST_SUITE_P(
    Cases, Navigation,
    testing::Values(NavigationCase{"OnePageAfterBuilding", 1, {}, "   1", true, true},
                    NavigationCase{"OnePageNext", 1, {Step::Next}, "   1", false, true},
                    NavigationCase{"OnePageNextPrevious", 1, {Step::Next, Step::Previous}, "   1", true, false},
                    NavigationCase{"FivePagesBuilt", 260, {}, "   5", true, true},
                    NavigationCase{"FivePagesPrevious", 260, {Step::Previous}, "   4", true, true},
                    NavigationCase{"FivePagesHomeNext", 260, {Step::Home, Step::Next}, "   2", true, true},
                    NavigationCase{"FivePagesEnd", 260, {Step::Home, Step::End}, "   5", false, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct ZoomCase {
    const char* name;
    QString step;
    int larger;
    int smaller;
    QString zoom;
    bool smallerEnabled;
};

class Zooming : public Preview, public testing::WithParamInterface<ZoomCase> {};

TEST_P(Zooming, StaysAtOrAboveOne)
{
    TRichPreviewForm* preview = Open(1);
    preview->SetZoomStep(GetParam().step);
    for (int i = 0; i < GetParam().larger; ++i)
        preview->ZoomIn();
    for (int i = 0; i < GetParam().smaller; ++i)
        preview->ZoomOut();
    EXPECT_EQ(preview->ZoomText(), GetParam().zoom);
    EXPECT_EQ(preview->SmallerEnabled(), GetParam().smallerEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Zooming,
    testing::Values(ZoomCase{"InTwice", "0.100", 2, 0, "1.200", true},
                    ZoomCase{"OutBelowOneStops", "0.300", 1, 2, "1.000", false},
                    ZoomCase{"StepZeroKeepsTheZoom", "0.000", 3, 0, "1.000", false},
                    ZoomCase{"StepNotANumberIsOneTenth", "x", 1, 0, "1.100", true}),
    [](const auto& info) { return std::string(info.param.name); });

// Pages printed to a file form one job and one file holding every page of the range.
struct RangeCase {
    const char* name;
    int from;
    int to;
    QStringList footers;
};

class PrintingARange : public Preview, public testing::WithParamInterface<RangeCase> {};

TEST_P(PrintingARange, ToAFileGivesOneFileWithEveryPage)
{
    TRichPreviewForm* preview = Open(220);
    platform::gui::ScriptedDialogs dialogs;
    platform::gui::ScopedDialogs scope(dialogs);
    const RangeCase& c = GetParam();
    dialogs.answerPrinter(true, [&c](QPrinter& p) {
        p.setPrintRange(QPrinter::PageRange);
        p.setFromTo(c.from, c.to);
    });
    int jobs = 0;
    printer.OnEndDoc = [&] { ++jobs; };
    preview->PrintPages();
    EXPECT_EQ(jobs, 1);
    QStringList footers;
    for (int page = 1; page <= PageCount(pdf); ++page)
        footers << PageLines(pdf, page).back().section(' ', 0, 2);
    EXPECT_EQ(footers, c.footers);
    EXPECT_EQ(preview->PageNumberText(), QStringLiteral("%1").arg(c.to, 4));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrintingARange,
    testing::Values(RangeCase{"TwoToThree", 2, 3, {"- 2 -", "- 3 -"}},
                    RangeCase{"OnePage", 4, 4, {"- 4 -"}},
                    RangeCase{"All", 1, 4, {"- 1 -", "- 2 -", "- 3 -", "- 4 -"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Without a printer (an engine made where none is installed has none) the preview's printing
// says so and asks nothing else.
TEST_F(Preview, PrintingWithoutAPrinterSaysNoneIsInstalled)
{
    printer.SetPrinter(nullptr);
    TRichPreviewForm* preview = Open(1);
    platform::gui::ScriptedDialogs dialogs;
    platform::gui::ScopedDialogs scope(dialogs);
    dialogs.answerMessage(platform::gui::Ok);
    preview->PrintPages();
    ASSERT_EQ(dialogs.asked().size(), 1u);
    const auto& message = dialogs.asked().front().message;
    EXPECT_EQ(message.caption, "Print Preview");
    EXPECT_EQ(message.text, "No printer is installed.");
    EXPECT_EQ(message.icon, platform::gui::MessageIcon::Warning);
    EXPECT_EQ(dialogs.unanswered(), 0);
}

struct ClickCase {
    const char* name;
    QPoint at;
    int clicks;
};

class ArrowClicks : public testing::TestWithParam<ClickCase> {};

TEST_P(ArrowClicks, CountOnlyInsideTheTriangle)
{
    TArrowButton button;
    button.show();
    int clicks = 0;
    button.OnClick = [&] { ++clicks; };
    QTest::mouseClick(&button, Qt::LeftButton, {}, GetParam().at);
    EXPECT_EQ(clicks, GetParam().clicks);
}

INSTANTIATE_TEST_SUITE_P(Cases, ArrowClicks,
                         testing::Values(ClickCase{"Inside", QPoint(16, 20), 1},
                                         ClickCase{"Corner", QPoint(4, 5), 0}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
