// The gray and etched images and the image list cut from a glyph.
#include "decor/GlyphImages.h"

#include <gtest/gtest.h>

using namespace decor;

namespace {

const SystemColors kColors{QColor(0xC0, 0xC0, 0xC0), QColor(0xFF, 0xFF, 0xFF), QColor(0x80, 0x80, 0x80),
                           QColor(0x00, 0x00, 0x00)};

// A 4 x 3 image: top-left background teal, a white pixel, an ink cross of red and blue.
QImage Sample()
{
    QImage image(4, 3, QImage::Format_ARGB32);
    image.fill(qRgb(0, 128, 128));
    image.setPixel(1, 0, qRgb(255, 255, 255));
    image.setPixel(1, 1, qRgb(200, 0, 0));
    image.setPixel(2, 1, qRgb(0, 0, 250));
    return image;
}

} // namespace

TEST(GrayImage, WeighsRedGreenAndBlueThirtyFiftyNineElevenAndTruncates)
{
    QImage image(3, 1, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(1, 0, qRgb(10, 20, 30));
    image.setPixel(2, 0, qRgba(0, 0, 255, 40));
    const QImage gray = GrayImage(image);
    EXPECT_EQ(gray.pixel(0, 0), qRgb(76, 76, 76));    // 7650 / 100
    EXPECT_EQ(gray.pixel(1, 0), qRgb(18, 18, 18));    // (300 + 1180 + 330) / 100
    EXPECT_EQ(qAlpha(gray.pixel(2, 0)), 40);
    EXPECT_EQ(qRed(gray.pixel(2, 0)), 28);            // 2805 / 100
}

TEST(DisabledMask, WhiteAndBackgroundTakeTheTopLeftColourEverythingElseIsBlack)
{
    const QImage mask = DisabledMask(Sample());
    const QRgb teal = qRgb(0, 128, 128);
    EXPECT_EQ(mask.pixel(0, 0), teal);
    EXPECT_EQ(mask.pixel(1, 0), teal) << "white is background";
    EXPECT_EQ(mask.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(mask.pixel(2, 1), qRgb(0, 0, 0));
    EXPECT_EQ(mask.pixel(3, 2), teal);
}

TEST(EtchedImage, InkInShadowWithAHighlightOnePixelRightAndDown)
{
    const QImage etched = EtchedImage(DisabledMask(Sample()), kColors);
    ASSERT_EQ(etched.size(), QSize(4, 3));
    const QRgb face = kColors.btnFace.rgb(), light = kColors.btnHighlight.rgb(), shadow = kColors.btnShadow.rgb();
    EXPECT_EQ(etched.pixel(0, 0), face);
    EXPECT_EQ(etched.pixel(1, 1), shadow);
    EXPECT_EQ(etched.pixel(2, 1), shadow) << "shadow wins over the highlight of its left neighbour";
    EXPECT_EQ(etched.pixel(2, 2), light);
    EXPECT_EQ(etched.pixel(3, 2), light);
    EXPECT_EQ(etched.pixel(3, 1), face);
    EXPECT_EQ(etched.pixel(1, 2), face);
}

TEST(EtchedImage, AUniformGlyphHasNoInkAndStaysFace)
{
    QImage image(5, 5, QImage::Format_ARGB32);
    image.fill(qRgb(12, 34, 56));
    const QImage etched = EtchedImage(DisabledMask(image), kColors);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(etched.pixel(x, y), kColors.btnFace.rgb());
}

TEST(GlyphImageList, FramesThenGrayThenDisabledEachMaskedByItsBottomLeftPixel)
{
    // Two 3 x 3 frames on a magenta background: a red centre, then a green one.
    QImage glyph(6, 3, QImage::Format_RGB32);
    glyph.fill(qRgb(255, 0, 255));
    glyph.setPixel(1, 1, qRgb(255, 0, 0));
    glyph.setPixel(4, 1, qRgb(0, 255, 0));
    const QList<QImage> images = BuildGlyphImages(glyph, 2, kColors);
    ASSERT_EQ(images.size(), 4);
    for (const QImage& image : images)
        EXPECT_EQ(image.size(), QSize(3, 3));
    EXPECT_EQ(images[0].pixel(1, 1), qRgb(255, 0, 0));
    EXPECT_EQ(images[1].pixel(1, 1), qRgb(0, 255, 0));
    EXPECT_EQ(qAlpha(images[0].pixel(0, 0)), 0) << "the background is transparent";
    EXPECT_EQ(images[2].pixel(1, 1), qRgb(76, 76, 76)) << "gray of frame 0";
    EXPECT_EQ(qAlpha(images[2].pixel(2, 2)), 0);
    EXPECT_EQ(images[3].pixel(1, 1), kColors.btnShadow.rgb());
    EXPECT_EQ(images[3].pixel(2, 2), kColors.btnHighlight.rgb());
    EXPECT_EQ(qAlpha(images[3].pixel(0, 0)), 0);
}

TEST(GlyphImageList, EmptyGlyphGivesNoImagesAndScaledGlyphsKeepTheirRatio)
{
    EXPECT_TRUE(BuildGlyphImages(QImage(), 1, kColors).isEmpty());
    QImage glyph(64, 32, QImage::Format_ARGB32);
    glyph.fill(Qt::transparent);
    glyph.setDevicePixelRatio(2.0);
    const QList<QImage> images = BuildGlyphImages(glyph, 2, kColors);
    ASSERT_EQ(images.size(), 4);
    for (const QImage& image : images) {
        EXPECT_EQ(image.size(), QSize(32, 32));
        EXPECT_EQ(image.devicePixelRatio(), 2.0);
    }
}
