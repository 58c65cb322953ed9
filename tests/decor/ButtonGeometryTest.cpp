// The transparent button's frame count, glyph and caption places, and image choice.
#include "decor/ButtonGeometry.h"

#include <gtest/gtest.h>

using namespace decor;

TEST(NumGlyphs, FollowsSquareFramesUpToFourAndIsKeptOtherwise)
{
    EXPECT_EQ(NumGlyphsFor(QSize(32, 16), 1), 2);
    EXPECT_EQ(NumGlyphsFor(QSize(64, 16), 1), 4);
    EXPECT_EQ(NumGlyphsFor(QSize(16, 16), 3), 1);
    EXPECT_EQ(NumGlyphsFor(QSize(80, 16), 3), 1); // five frames are too many
    EXPECT_EQ(NumGlyphsFor(QSize(30, 16), 3), 3); // not a whole multiple
    EXPECT_EQ(NumGlyphsFor(QSize(0, 0), 2), 2);   // no glyph: no division by zero
    EXPECT_EQ(NumGlyphsFor(QSize(10, 20), 2), 2); // narrower than high
}

TEST(FrameWidth, IsTheWholeGlyphWhenTheShareIsZero)
{
    EXPECT_EQ(FrameWidth(32, 2), 16);
    EXPECT_EQ(FrameWidth(30, 4), 7);
    EXPECT_EQ(FrameWidth(3, 4), 3);
    EXPECT_EQ(FrameWidth(0, 1), 0);
}

namespace {

struct Place {
    TTextAlign align;
    QPoint glyph;   // 16 x 16 glyph in a 100 x 40 control, spacing 2
    QPoint caption; // caption 30 x 10
};

const Place kPlaces[] = {
    {TTextAlign::ttaTopLeft, {42, 22}, {2, 10}},
    {TTextAlign::ttaTop, {42, 22}, {35, 10}},
    {TTextAlign::ttaTopRight, {42, 22}, {68, 10}},
    {TTextAlign::ttaRight, {2, 12}, {68, 15}},
    {TTextAlign::ttaBottomRight, {42, 2}, {68, 20}},
    {TTextAlign::ttaBottom, {42, 2}, {35, 20}},
    {TTextAlign::ttaBottomLeft, {42, 2}, {2, 20}},
    {TTextAlign::ttaLeft, {82, 12}, {2, 15}},
    {TTextAlign::ttaCenter, {42, 12}, {35, 15}},
};

} // namespace

TEST(ButtonPlaces, GlyphAndCaptionForEachOfTheNineAlignments)
{
    const QSize control(100, 40), glyph(16, 16), text(30, 10);
    for (const Place& place : kPlaces) {
        const QPoint g = GlyphOrigin(place.align, control, glyph, 2);
        EXPECT_EQ(g, place.glyph) << "glyph, alignment " << int(place.align);
        EXPECT_EQ(CaptionOrigin(place.align, control, text, g.y(), g.y() + glyph.height(), 2), place.caption)
            << "caption, alignment " << int(place.align);
    }
}

TEST(ButtonPlaces, OddSizesTruncateTowardZeroEvenWhenTheGlyphIsLargerThanTheButton)
{
    EXPECT_EQ(GlyphOrigin(TTextAlign::ttaCenter, QSize(25, 25), QSize(16, 16), 2), QPoint(4, 4));
    // (10 - 17) / 2 is -3, not -4.
    EXPECT_EQ(GlyphOrigin(TTextAlign::ttaCenter, QSize(10, 10), QSize(17, 17), 2), QPoint(-3, -3));
    EXPECT_EQ(CaptionOrigin(TTextAlign::ttaCenter, QSize(25, 25), QSize(11, 11), 0, 0, 2), QPoint(7, 7));
}

TEST(ButtonPlaces, WithoutGlyphTheCaptionHangsOffTheMiddleLine)
{
    const QSize control(60, 40), none(0, 0), text(20, 10);
    const QPoint g = GlyphOrigin(TTextAlign::ttaBottom, control, none, 2);
    EXPECT_EQ(g, QPoint(30, 2));
    EXPECT_EQ(CaptionOrigin(TTextAlign::ttaBottom, control, text, g.y(), g.y(), 2), QPoint(20, 4));
}

TEST(GlyphImage, ChoosesFramesGrayAndDisabledImages)
{
    // One frame: itself, gray while the mouse is away, the disabled image while disabled.
    EXPECT_EQ(GlyphImageIndex({1, true, false, false, false}), 0);
    EXPECT_EQ(GlyphImageIndex({1, true, false, true, false}), 1);
    EXPECT_EQ(GlyphImageIndex({1, true, false, true, true}), 0);
    EXPECT_EQ(GlyphImageIndex({1, false, false, true, false}), 2);
    // Two frames: frame 1 while disabled, gray or not.
    EXPECT_EQ(GlyphImageIndex({2, false, false, true, false}), 1);
    EXPECT_EQ(GlyphImageIndex({2, true, true, false, true}), 0);
    EXPECT_EQ(GlyphImageIndex({2, true, false, true, false}), 2);
    // Three or four frames: frame 2 while pressed.
    EXPECT_EQ(GlyphImageIndex({3, true, true, false, true}), 2);
    EXPECT_EQ(GlyphImageIndex({4, true, true, true, true}), 2);
    EXPECT_EQ(GlyphImageIndex({4, false, true, false, true}), 1);
    EXPECT_EQ(GlyphImageIndex({4, true, false, true, false}), 4);
}
