// The caption's bands and rectangles, computed without a window.
#include "decor/CaptionGeometry.h"

#include <gtest/gtest.h>

using namespace decor;

namespace {

const BandColor navy{0, 0, 128};
const BandColor blue{0, 0, 255};

} // namespace

TEST(MulDiv, RoundsHalvesAwayFromZeroAndSurvivesLargeProducts)
{
    EXPECT_EQ(MulDiv(1, 600, 64), 9);   // 9.375
    EXPECT_EQ(MulDiv(2, 600, 64), 19);  // 18.75
    EXPECT_EQ(MulDiv(1, 3, 2), 2);      // 1.5
    EXPECT_EQ(MulDiv(-1, 3, 2), -2);
    EXPECT_EQ(MulDiv(1, -127, 2), -64); // -63.5
    EXPECT_EQ(MulDiv(5, 7, -2), -18);   // -17.5
    EXPECT_EQ(MulDiv(2000000000, 3, 3), 2000000000);
    EXPECT_EQ(MulDiv(7, 9, 0), -1);
}

TEST(GradientBands, SixtyFourBandsOverSixHundredPixelsAreNineOrTenWideAndEndAtTheEdge)
{
    const auto bands = GradientBands(4, 600, navy, blue, 64);
    ASSERT_EQ(bands.size(), 64u);
    EXPECT_EQ(bands.front().x0, 4);
    EXPECT_EQ(bands.back().x1, 604);
    int nines = 0, tens = 0;
    for (std::size_t i = 0; i < bands.size(); ++i) {
        const int width = bands[i].x1 - bands[i].x0;
        EXPECT_TRUE(width == 9 || width == 10) << "band " << i << " is " << width;
        (width == 9 ? nines : tens)++;
        if (i > 0) {
            EXPECT_EQ(bands[i].x0, bands[i - 1].x1) << "gap before band " << i;
        }
    }
    EXPECT_EQ(nines * 9 + tens * 10, 600);
    EXPECT_GT(nines, 0);
    EXPECT_GT(tens, 0);
}

TEST(GradientBands, NavyToBlueRunsTheBlueChannelFrom128To255)
{
    const auto bands = GradientBands(0, 600, navy, blue, 64);
    ASSERT_EQ(bands.size(), 64u);
    for (int i = 0; i < 64; ++i) {
        EXPECT_EQ(bands[std::size_t(i)].color.blue, 128 + MulDiv(i, 127, 63)) << "band " << i;
        EXPECT_EQ(bands[std::size_t(i)].color.red, 0);
        EXPECT_EQ(bands[std::size_t(i)].color.green, 0);
    }
    EXPECT_EQ(bands.front().color, navy);
    EXPECT_EQ(bands.back().color, blue);
}

TEST(GradientBands, FallingChannelsReachTheEndColourExactly)
{
    const auto bands = GradientBands(0, 100, {255, 200, 3}, {0, 7, 250}, 7);
    EXPECT_EQ(bands.front().color, (BandColor{255, 200, 3}));
    EXPECT_EQ(bands.back().color, (BandColor{0, 7, 250}));
    for (std::size_t i = 1; i < bands.size(); ++i) {
        EXPECT_LE(bands[i].color.red, bands[i - 1].color.red);
    }
}

TEST(GradientBands, OneBandIsTheBeginColourAndNoneForZeroOrLess)
{
    const auto one = GradientBands(3, 50, navy, blue, 1);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_EQ(one[0].x0, 3);
    EXPECT_EQ(one[0].x1, 53);
    EXPECT_EQ(one[0].color, navy);
    EXPECT_TRUE(GradientBands(0, 50, navy, blue, 0).empty());
    EXPECT_TRUE(GradientBands(0, 50, navy, blue, -3).empty());
}

TEST(GradientBands, MoreBandsThanPixelsLeavesEmptyBandsButCoversTheWidth)
{
    const auto bands = GradientBands(0, 10, navy, blue, 64);
    ASSERT_EQ(bands.size(), 64u);
    EXPECT_EQ(bands.back().x1, 10);
    for (const auto& band : bands)
        EXPECT_GE(band.x1, band.x0);
}

// Windows-classic metric values make the expected rectangles easy to read.
class CaptionLayoutTest : public ::testing::Test {
protected:
    CaptionMetrics m; // frame 4, dialog frame 3, caption 19, small caption 16, size 18, small size 12
    const QSize window{300, 200};
    CaptionLayout layout(TBorderStyle style, TBorderIcons icons, bool iconic = false) const
    {
        return ComputeCaptionLayout(style, icons, iconic, window, m);
    }
};

TEST_F(CaptionLayoutTest, SizeableWindowWithAllIconsShowsCloseMaximizeMinimizeButNoHelp)
{
    const auto l = layout(TBorderStyle::bsSizeable, biSystemMenu | biMinimize | biMaximize | biHelp);
    EXPECT_EQ(l.frameWidth, 4);
    EXPECT_EQ(l.captionHeight, 18);
    EXPECT_EQ(l.caption, RectLTRB(4, 4, 296, 22));
    EXPECT_EQ(l.icon, RectLTRB(4, 4, 22, 22));
    EXPECT_TRUE(l.shown[cbClose] && l.shown[cbMinimize] && l.shown[cbMaximize]);
    EXPECT_FALSE(l.shown[cbHelp]);
    // d = 3 * 16: the strip starts 50 pixels left of the caption's right edge.
    EXPECT_EQ(l.strip, RectLTRB(246, 6, 296, 20));
    EXPECT_EQ(l.text, RectLTRB(24, 6, 244, 20));
    EXPECT_EQ(l.buttons[cbClose], QRect(278, 6, 16, 14));
    EXPECT_EQ(l.buttons[cbMaximize], QRect(260, 6, 16, 14));
    EXPECT_EQ(l.buttons[cbMinimize], QRect(244, 6, 16, 14));
    EXPECT_TRUE(l.enabled[cbMinimize] && l.enabled[cbMaximize]);
}

TEST_F(CaptionLayoutTest, DialogDropsMinimizeAndMaximizeAndHasNoIcon)
{
    const auto l = layout(TBorderStyle::bsDialog, biSystemMenu | biMinimize | biMaximize);
    EXPECT_EQ(l.frameWidth, 3);
    EXPECT_TRUE(l.shown[cbClose]);
    EXPECT_FALSE(l.shown[cbMinimize] || l.shown[cbMaximize] || l.shown[cbHelp]);
    EXPECT_EQ(l.icon.width(), 0);
    EXPECT_EQ(l.text.left(), 3 + 2);
    EXPECT_EQ(l.buttons[cbClose], QRect(297 - 18, 5, 16, 14));
}

TEST_F(CaptionLayoutTest, DialogHelpSitsDirectlyLeftOfClose)
{
    const auto l = layout(TBorderStyle::bsDialog, biSystemMenu | biHelp);
    ASSERT_TRUE(l.shown[cbHelp]);
    EXPECT_EQ(l.buttons[cbHelp].x() + l.buttons[cbHelp].width(), l.buttons[cbClose].x());
    EXPECT_EQ(l.strip.x(), l.buttons[cbHelp].x());
}

TEST_F(CaptionLayoutTest, MinimizeAloneShowsMaximizeDisabled)
{
    const auto l = layout(TBorderStyle::bsSingle, biSystemMenu | biMinimize);
    EXPECT_TRUE(l.shown[cbMinimize] && l.shown[cbMaximize]);
    EXPECT_TRUE(l.enabled[cbMinimize]);
    EXPECT_FALSE(l.enabled[cbMaximize]);
    EXPECT_EQ(l.frameWidth, 3);
}

TEST_F(CaptionLayoutTest, WithoutSystemMenuThereAreNoButtonsAndNoIcon)
{
    const auto l = layout(TBorderStyle::bsSizeable, biMinimize | biMaximize);
    for (bool shown : l.shown)
        EXPECT_FALSE(shown);
    EXPECT_EQ(l.icon.width(), 0);
    EXPECT_EQ(l.strip.width(), 0);
    EXPECT_EQ(l.strip.x(), l.caption.x() + l.caption.width());
    EXPECT_EQ(l.text.x() + l.text.width(), l.strip.x() - 2);
    EXPECT_EQ(l.buttonAt(QPoint(290, 10)), -1);
}

TEST_F(CaptionLayoutTest, ToolWindowHasTheSmallCaptionAndOnlyAWideCloseButton)
{
    const auto l = layout(TBorderStyle::bsSizeToolWin, biSystemMenu | biMinimize | biMaximize | biHelp);
    EXPECT_EQ(l.frameWidth, 4);
    EXPECT_EQ(l.captionHeight, 15);
    EXPECT_TRUE(l.shown[cbClose]);
    EXPECT_FALSE(l.shown[cbMinimize] || l.shown[cbMaximize] || l.shown[cbHelp]);
    EXPECT_EQ(l.strip, RectLTRB(296 - 14, 6, 296, 17));
    EXPECT_EQ(l.buttons[cbClose], QRect(284, 6, 10, 11));
    EXPECT_EQ(layout(TBorderStyle::bsToolWindow, biSystemMenu).frameWidth, 3);
}

TEST_F(CaptionLayoutTest, IconicWindowsUseTheDialogFrame)
{
    EXPECT_EQ(layout(TBorderStyle::bsSizeable, biSystemMenu, true).frameWidth, 3);
}

TEST_F(CaptionLayoutTest, BorderlessWindowGetsNoCaptionAtAll)
{
    const auto l = layout(TBorderStyle::bsNone, biSystemMenu | biMinimize | biMaximize);
    EXPECT_EQ(l.frameWidth, 0);
    EXPECT_EQ(l.captionHeight, 0);
    EXPECT_TRUE(l.caption.isEmpty());
    for (bool shown : l.shown)
        EXPECT_FALSE(shown);
}

TEST_F(CaptionLayoutTest, ButtonsAreHitTwoPixelsAboveAndBelowAndCloseTwoToTheRight)
{
    const auto l = layout(TBorderStyle::bsSizeable, biSystemMenu | biMinimize | biMaximize);
    const QRect close = l.buttons[cbClose];
    EXPECT_EQ(l.buttonAt(QPoint(close.x(), close.y() - 2)), cbClose);
    EXPECT_EQ(l.buttonAt(QPoint(close.x(), close.y() - 3)), -1);
    EXPECT_EQ(l.buttonAt(QPoint(close.x() + close.width() + 1, close.y())), cbClose);
    EXPECT_EQ(l.buttonAt(QPoint(close.x() + close.width() + 2, close.y())), -1);
    const QRect max = l.buttons[cbMaximize];
    EXPECT_EQ(l.buttonAt(QPoint(max.x() + 3, max.y() + max.height() + 1)), cbMaximize);
    // Between maximize and close lies a 2-pixel gap that belongs to no button.
    EXPECT_EQ(l.buttonAt(QPoint(max.x() + max.width(), max.y() + 3)), -1);
}

TEST_F(CaptionLayoutTest, NarrowWindowGivesAnEmptyTextRectangle)
{
    const auto l = ComputeCaptionLayout(TBorderStyle::bsSizeable, biSystemMenu | biMinimize | biMaximize, false,
                                        QSize(60, 100), m);
    EXPECT_LE(l.text.width(), 0);
    EXPECT_TRUE(l.text.isEmpty());
}
