// The caption bar as it is drawn: bands, colours per activation, buttons and text.
#include "DecorTestSupport.h"
#include "decor/Colors.h"
#include "decor/vexaCap.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace decor;
using decor::testing::At;
using decor::testing::Render;

namespace {

// A window whose caption is exactly `captionWidth` pixels wide, with an empty title.
struct CaptionedWindow {
    explicit CaptionedWindow(int captionWidth = 600)
    {
        caption = new TVexaCaption(&form);
        const CaptionLayout l = caption->Layout();
        form.resize(captionWidth + 2 * l.frameWidth, 200);
        form.show();
        form.activateWindow();
        (void)QTest::qWaitForWindowActive(&form);
    }
    CaptionLayout layout() const { return caption->Layout(); }
    // The caption's last row: neither icon, text nor buttons reach it.
    int bareRow() const { return layout().caption.y() + layout().caption.height() - 1; }

    QWidget form;
    TVexaCaption* caption = nullptr;
};

} // namespace

TEST(CaptionPaint, SixtyFourBandsFromNavyToBlueWithTheBlueChannelOfEachBand)
{
    CaptionedWindow w;
    ASSERT_TRUE(w.caption->Active());
    const CaptionLayout l = w.layout();
    ASSERT_EQ(l.caption.width(), 600);
    const QImage image = Render(w.form);
    const int y = w.bareRow();
    const auto bands = GradientBands(l.caption.x(), 600, {0, 0, 128}, {0, 0, 255}, 64);
    for (int i = 0; i < 64; ++i) {
        const GradientBand& band = bands[std::size_t(i)];
        const QRgb expected = qRgb(0, 0, 128 + MulDiv(i, 127, 63)) & 0xFFFFFF;
        EXPECT_EQ(At(image, band.x0, y), expected) << "first column of band " << i;
        EXPECT_EQ(At(image, band.x1 - 1, y), expected) << "last column of band " << i;
    }
    EXPECT_EQ(At(image, l.caption.x(), y), clNavy & 0xFFFFFF);
    EXPECT_EQ(At(image, l.caption.x() + 599, y), clBlue & 0xFFFFFF);
    EXPECT_NE(At(image, l.caption.x() + 600, y), clBlue & 0xFFFFFF) << "the gradient ends at the caption's right edge";
}

TEST(CaptionPaint, OneBandIsTheBeginColourOverTheWholeCaptionAndNoneLeavesTheFrameColour)
{
    CaptionedWindow w(300);
    w.caption->SetNumColors(1);
    const CaptionLayout l = w.layout();
    QImage image = Render(w.form);
    for (int x = l.caption.x(); x < l.caption.x() + l.caption.width(); x += 7)
        EXPECT_EQ(At(image, x, w.bareRow()), clNavy & 0xFFFFFF) << "column " << x;

    w.caption->SetNumColors(0);
    image = Render(w.form);
    const QRgb face = w.form.palette().color(QPalette::Button).rgb() & 0xFFFFFF;
    EXPECT_EQ(At(image, l.caption.x() + 150, w.bareRow()), face);
}

TEST(CaptionPaint, DeactivationRepaintsInGreyToSilverAndActivationBringsNavyBack)
{
    CaptionedWindow w(300);
    const int y = w.bareRow();
    const CaptionLayout l = w.layout();
    QWidget other;
    other.resize(50, 50);
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    ASSERT_FALSE(w.caption->Active());
    QImage image = Render(w.form);
    EXPECT_EQ(At(image, l.caption.x(), y), clGray & 0xFFFFFF);
    EXPECT_EQ(At(image, l.caption.x() + l.caption.width() - 1, y), clSilver & 0xFFFFFF);

    w.form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w.form));
    image = Render(w.form);
    EXPECT_EQ(At(image, l.caption.x(), y), clNavy & 0xFFFFFF);
}

TEST(CaptionPaint, ColourChangesShowAtTheNextPaint)
{
    CaptionedWindow w(200);
    w.caption->SetActiveBeginColor(QColor(200, 10, 10));
    w.caption->SetActiveEndColor(QColor(200, 10, 10));
    const QImage image = Render(w.form);
    EXPECT_EQ(At(image, w.layout().caption.x() + 100, w.bareRow()), qRgb(200, 10, 10) & 0xFFFFFF);
}

TEST(CaptionPaint, ButtonsCoverTheirRectanglesAndTheGapBetweenMaximizeAndCloseShowsTheGradient)
{
    CaptionedWindow w(300);
    w.caption->SetNumColors(1);
    const CaptionLayout l = w.layout();
    ASSERT_TRUE(l.shown[cbClose] && l.shown[cbMaximize] && l.shown[cbMinimize]);
    const QImage image = Render(w.form);
    const QRgb navy = clNavy & 0xFFFFFF;
    for (int kind : {cbClose, cbMaximize, cbMinimize}) {
        const QRect r = l.buttons[std::size_t(kind)];
        EXPECT_NE(At(image, r.x() + 1, r.y() + 1), navy) << "button " << kind;
        EXPECT_NE(At(image, r.x() + r.width() - 2, r.y() + r.height() - 2), navy) << "button " << kind;
    }
    const QRect max = l.buttons[cbMaximize];
    EXPECT_EQ(At(image, max.x() + max.width(), max.y() + 2), navy);
    EXPECT_EQ(At(image, max.x() + max.width() + 1, max.y() + 2), navy);
    EXPECT_EQ(At(image, l.buttons[cbClose].x() + l.buttons[cbClose].width(), max.y() + 2), navy);
}

TEST(CaptionPaint, TitleAndApplicationNameAreDrawnInTheFontColourInsideTheTextRectangle)
{
    CaptionedWindow w(400);
    w.caption->SetNumColors(1);
    const CaptionLayout l = w.layout();
    // Ink: anything but the single band's navy between the icon and the first button.
    struct Ink {
        int inside = 0, outside = 0, white = 0;
    };
    auto ink = [&](const QImage& image) {
        Ink counted;
        for (int y = l.caption.y(); y < l.caption.y() + l.caption.height(); ++y)
            for (int x = l.icon.x() + l.icon.width(); x < l.text.x() + l.text.width(); ++x) {
                const QRgb pixel = At(image, x, y);
                if (pixel == (clNavy & 0xFFFFFF))
                    continue;
                (l.text.contains(x, y) ? counted.inside : counted.outside)++;
                counted.white += pixel == (clWhite & 0xFFFFFF);
            }
        return counted;
    };
    EXPECT_EQ(ink(Render(w.form)).inside, 0) << "no title, no text";

    w.form.setWindowTitle("Tarnby");
    const Ink title = ink(Render(w.form));
    EXPECT_GT(title.inside, 20);
    EXPECT_GT(title.white, 0);
    EXPECT_EQ(title.outside, 0);

    w.caption->SetApplicationName("Name ");
    const Ink both = ink(Render(w.form));
    EXPECT_GT(both.inside, title.inside + 10);
    EXPECT_EQ(both.outside, 0);

    w.caption->SetActiveFontColor(QColor(255, 0, 0));
    const QImage red = Render(w.form);
    bool anyRed = false;
    for (int x = l.text.x(); x < l.text.x() + l.text.width() && !anyRed; ++x)
        for (int y = l.text.y(); y < l.text.y() + l.text.height() && !anyRed; ++y)
            anyRed = At(red, x, y) == 0xFF0000;
    EXPECT_TRUE(anyRed);
}

TEST(CaptionPaint, LongTitlesAreCutAtTheTextRectangle)
{
    CaptionedWindow w(200);
    const QImage empty = Render(w.form);
    w.form.setWindowTitle(QString(200, QChar('W')));
    w.caption->SetApplicationName(QString(50, QChar('N')));
    const QImage full = Render(w.form);
    const CaptionLayout l = w.layout();
    int changedInside = 0;
    for (int y = 0; y < full.height(); ++y)
        for (int x = 0; x < full.width(); ++x) {
            if (l.text.contains(x, y)) {
                changedInside += At(full, x, y) != At(empty, x, y);
                continue;
            }
            ASSERT_EQ(At(full, x, y), At(empty, x, y)) << "text leaked to " << x << "," << y;
        }
    EXPECT_GT(changedInside, 50);
}

TEST(CaptionPaint, AutoSizeFitsBothFontsToTheTextRectangle)
{
    CaptionedWindow w(300);
    w.caption->SetAutoSize(true);
    (void)Render(w.form);
    const int expected = w.layout().text.height() - 5;
    EXPECT_EQ(w.caption->CaptionFont().pixelSize(), expected);
    EXPECT_EQ(w.caption->ApplicationNameFont().pixelSize(), expected);
    EXPECT_TRUE(w.caption->ApplicationNameFont().bold());
}
