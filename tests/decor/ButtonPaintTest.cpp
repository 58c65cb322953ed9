// The transparent button as it is drawn: each frame style's edges, glyph and caption places,
// the gray, disabled and pressed looks.
#include "decor/ButtonPainter.h"
#include "decor/GlyphImages.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace decor;

namespace {

// Distinct colours so that every edge tells which colour drew it.
const SystemColors kColors{QColor(0xC0, 0xC0, 0xC0), QColor(0xFF, 0xFF, 0xF0), QColor(0x80, 0x80, 0x80),
                           QColor(0x20, 0x20, 0x20)};
const QRgb kParent = qRgb(10, 200, 10);
const QRgb kBlack = qRgb(0, 0, 0);

QImage Paint(const ButtonLook& look)
{
    QImage image(look.size, QImage::Format_RGB32);
    image.fill(kParent);
    QPainter painter(&image);
    PaintButton(painter, look, kColors);
    return image;
}

QRgb rgb(const QColor& c)
{
    return c.rgb();
}

// Colours of the outermost ring: top-left pixel, top-right, bottom-left, bottom-right.
struct Ring {
    QRgb topLeft, topRight, bottomLeft, bottomRight, leftMiddle, bottomMiddle;
};

Ring RingAt(const QImage& image, int inset)
{
    const int r = image.width() - 1 - inset, b = image.height() - 1 - inset;
    return {image.pixel(inset, inset), image.pixel(r, inset), image.pixel(inset, b), image.pixel(r, b),
            image.pixel(inset, image.height() / 2), image.pixel(image.width() / 2, b)};
}

void ExpectRing(const QImage& image, int inset, QRgb topLeft, QRgb bottomRight, const char* what)
{
    const Ring ring = RingAt(image, inset);
    EXPECT_EQ(ring.topLeft, topLeft) << what << ", ring " << inset;
    EXPECT_EQ(ring.leftMiddle, topLeft) << what << ", ring " << inset;
    EXPECT_EQ(ring.topRight, bottomRight) << what << ", ring " << inset;
    EXPECT_EQ(ring.bottomLeft, bottomRight) << what << ", ring " << inset;
    EXPECT_EQ(ring.bottomRight, bottomRight) << what << ", ring " << inset;
    EXPECT_EQ(ring.bottomMiddle, bottomRight) << what << ", ring " << inset;
}

ButtonLook Look(TFrameStyle style, bool pressed = false)
{
    ButtonLook look;
    look.size = QSize(40, 30);
    look.frameStyle = style;
    look.pressedLook = pressed;
    return look;
}

// A solid 16 x 16 single-frame glyph of one colour on a white background border.
QList<QImage> SolidGlyph(QRgb colour, int frames = 1)
{
    QImage glyph(16 * frames, 16, QImage::Format_RGB32);
    glyph.fill(qRgb(255, 255, 255));
    for (int f = 0; f < frames; ++f) {
        QPainter p(&glyph);
        p.fillRect(QRect(f * 16 + 1, 1, 14, 14), QColor::fromRgb(colour).darker(100 + 40 * f));
    }
    return BuildGlyphImages(glyph, frames, kColors);
}

QRect InkBox(const QImage& image, QRgb colour)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

TEST(ButtonFrames, RaisedAndPressedEdgesOfEveryStyle)
{
    const QRgb face = rgb(kColors.btnFace), light = rgb(kColors.btnHighlight), shadow = rgb(kColors.btnShadow),
               dark = rgb(kColors.dkShadow3D);
    {
        const QImage normal = Paint(Look(TFrameStyle::fsRegular));
        ExpectRing(normal, 0, light, kBlack, "regular");
        ExpectRing(normal, 1, face, shadow, "regular");
        const QImage pressed = Paint(Look(TFrameStyle::fsRegular, true));
        ExpectRing(pressed, 0, kBlack, light, "regular pressed");
        ExpectRing(pressed, 1, shadow, face, "regular pressed");
    }
    {
        const QImage normal = Paint(Look(TFrameStyle::fsIndent));
        ExpectRing(normal, 0, shadow, light, "indent");
        const QImage pressed = Paint(Look(TFrameStyle::fsIndent, true));
        ExpectRing(pressed, 0, kBlack, light, "indent pressed");
        ExpectRing(pressed, 1, shadow, face, "indent pressed");
    }
    ExpectRing(Paint(Look(TFrameStyle::fsLight)), 0, light, shadow, "light");
    ExpectRing(Paint(Look(TFrameStyle::fsLight, true)), 0, shadow, light, "light pressed");
    ExpectRing(Paint(Look(TFrameStyle::fsDark)), 0, face, dark, "dark");
    ExpectRing(Paint(Look(TFrameStyle::fsDark, true)), 0, dark, face, "dark pressed");
    ExpectRing(Paint(Look(TFrameStyle::fsMono)), 0, light, dark, "mono");
    ExpectRing(Paint(Look(TFrameStyle::fsMono, true)), 0, dark, light, "mono pressed");
    for (bool pressed : {false, true})
        ExpectRing(Paint(Look(TFrameStyle::fsNone, pressed)), 0, kParent, kParent, "none");
}

TEST(ButtonFrames, ExplorerIsFlatUntilTheMouseIsOverOrTheButtonIsDown)
{
    const QRgb light = rgb(kColors.btnHighlight), shadow = rgb(kColors.btnShadow);
    ButtonLook look = Look(TFrameStyle::fsExplorer);
    ExpectRing(Paint(look), 0, kParent, kParent, "explorer away");
    look.mouseOver = true;
    ExpectRing(Paint(look), 0, light, shadow, "explorer hovered");
    look.pressedLook = true;
    ExpectRing(Paint(look), 0, shadow, light, "explorer pressed");
    look.showPressed = false;
    ExpectRing(Paint(look), 0, light, shadow, "explorer pressed without ShowPressed");
    look.showPressed = true;
    look.mouseOver = false;
    ExpectRing(Paint(look), 0, kParent, kParent, "explorer pressed, mouse gone");
    look.down = true;
    ExpectRing(Paint(look), 0, shadow, light, "explorer down");
}

TEST(ButtonFrames, WithoutShowPressedAPressedButtonKeepsItsRaisedEdges)
{
    ButtonLook look = Look(TFrameStyle::fsRegular, true);
    look.showPressed = false;
    ExpectRing(Paint(look), 0, rgb(kColors.btnHighlight), kBlack, "regular");
}

TEST(ButtonFrames, WiderBordersDrawMoreRings)
{
    ButtonLook look = Look(TFrameStyle::fsExplorer);
    look.mouseOver = true;
    look.borderWidth = 3;
    const QImage image = Paint(look);
    for (int inset = 0; inset < 3; ++inset)
        ExpectRing(image, inset, rgb(kColors.btnHighlight), rgb(kColors.btnShadow), "explorer width 3");
    ExpectRing(image, 3, kParent, kParent, "inside the border");
}

TEST(ButtonBase, TransparentShowsTheParentAndOpaqueFillsWithTheFace)
{
    ButtonLook look = Look(TFrameStyle::fsExplorer);
    EXPECT_EQ(Paint(look).pixel(20, 15), kParent);
    look.transparent = false;
    EXPECT_EQ(Paint(look).pixel(20, 15), rgb(kColors.btnFace));
    look = Look(TFrameStyle::fsRegular);
    EXPECT_EQ(Paint(look).pixel(20, 15), kParent);
    look.transparent = false;
    EXPECT_EQ(Paint(look).pixel(20, 15), rgb(kColors.btnFace));
}

TEST(ButtonGlyph, SitsWhereEachAlignmentPutsIt)
{
    const QRgb red = qRgb(220, 0, 0);
    struct Case {
        TTextAlign align;
        QPoint origin; // of the 16 x 16 glyph in a 60 x 40 button, spacing 2
    };
    const Case cases[] = {
        {TTextAlign::ttaTopLeft, {22, 22}},  {TTextAlign::ttaTop, {22, 22}},    {TTextAlign::ttaTopRight, {22, 22}},
        {TTextAlign::ttaRight, {2, 12}},     {TTextAlign::ttaBottomRight, {22, 2}}, {TTextAlign::ttaBottom, {22, 2}},
        {TTextAlign::ttaBottomLeft, {22, 2}}, {TTextAlign::ttaLeft, {42, 12}},  {TTextAlign::ttaCenter, {22, 12}},
    };
    for (const Case& c : cases) {
        ButtonLook look;
        look.size = QSize(60, 40);
        look.textAlign = c.align;
        look.mouseOver = true; // the coloured frame, not the gray one
        look.images = SolidGlyph(red);
        const QRect box = InkBox(Paint(look), red);
        EXPECT_EQ(box, QRect(c.origin + QPoint(1, 1), QSize(14, 14))) << "alignment " << int(c.align);
        look.pressedLook = true;
        EXPECT_EQ(InkBox(Paint(look), red).topLeft(), c.origin + QPoint(2, 2)) << "pressed, alignment " << int(c.align);
    }
}

TEST(ButtonGlyph, ExplorerWithAutoGrayShowsGrayUntilTheMouseEnters)
{
    const QRgb red = qRgb(220, 0, 0);
    ButtonLook look;
    look.images = SolidGlyph(red);
    const QImage away = Paint(look);
    EXPECT_TRUE(InkBox(away, red).isEmpty());
    EXPECT_EQ(away.pixel(20, 20), qRgb(66, 66, 66)) << "gray of (220, 0, 0)";
    EXPECT_EQ(away.pixel(0, 0), kParent) << "no frame while away";
    look.mouseOver = true;
    const QImage over = Paint(look);
    EXPECT_EQ(over.pixel(20, 20), red);
    EXPECT_EQ(over.pixel(0, 0), rgb(kColors.btnHighlight));
    look.mouseOver = false;
    look.autoGray = false;
    EXPECT_EQ(Paint(look).pixel(20, 20), red);
}

TEST(ButtonGlyph, DisabledShowsFrameOneOrTheEtchedImage)
{
    const QRgb red = qRgb(220, 0, 0);
    ButtonLook look;
    look.enabled = false;
    look.images = SolidGlyph(red, 2);
    look.numGlyphs = 2;
    EXPECT_EQ(Paint(look).pixel(20, 20), QColor::fromRgb(red).darker(140).rgb());

    look.images = SolidGlyph(red, 1);
    look.numGlyphs = 1;
    const QImage etched = Paint(look);
    EXPECT_EQ(etched.pixel(20, 20), rgb(kColors.btnShadow));
    EXPECT_EQ(etched.pixel(12 + 15, 12 + 15), rgb(kColors.btnHighlight)) << "highlight one pixel past the ink";
    EXPECT_EQ(etched.pixel(12, 12), kParent) << "the glyph's background stays transparent";
}

TEST(ButtonCaption, RightAlignmentPutsGlyphAtSpacingAndEndsTheTextSpacingBeforeTheEdge)
{
    ButtonLook look;
    look.size = QSize(90, 25);
    look.textAlign = TTextAlign::ttaRight;
    look.mouseOver = true;
    look.images = SolidGlyph(qRgb(220, 0, 0));
    look.font.setPixelSize(11);
    look.caption = "Get URL";
    look.fontColor = QColor(0, 0, 255);
    const QImage image = Paint(look);
    EXPECT_EQ(InkBox(image, qRgb(220, 0, 0)).left(), 2 + 1);
    QRect text;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qBlue(image.pixel(x, y)) > 128 && qRed(image.pixel(x, y)) < 100 && qGreen(image.pixel(x, y)) < 150)
                text |= QRect(x, y, 1, 1);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_LE(text.right(), 90 - 2 - 1);
    EXPECT_GE(text.right(), 90 - 2 - 4) << "the text's right end, less its side bearing";
    EXPECT_LE(std::abs((text.top() + text.bottom()) - 25), 5) << "vertically centred";
}

TEST(ButtonCaption, DisabledCaptionIsEtchedNotInTheFontColour)
{
    ButtonLook look;
    look.size = QSize(90, 25);
    look.caption = "Abort";
    look.font.setPixelSize(14);
    look.fontColor = QColor(0, 0, 255);
    look.enabled = false;
    const QImage image = Paint(look);
    EXPECT_FALSE(InkBox(image, rgb(kColors.btnHighlight)).isEmpty());
    EXPECT_FALSE(InkBox(image, rgb(kColors.btnShadow)).isEmpty());
    EXPECT_TRUE(InkBox(image, qRgb(0, 0, 255)).isEmpty());
    EXPECT_EQ(InkBox(image, rgb(kColors.btnHighlight)).bottomRight(),
              InkBox(image, rgb(kColors.btnShadow)).bottomRight() + QPoint(1, 1));
}

TEST(ButtonCaption, AcceleratorAmpersandIsNotDrawnAndTrailingBlanksCount)
{
    ButtonLook look;
    look.size = QSize(120, 25);
    look.font.setPixelSize(12);
    look.fontColor = QColor(0, 0, 255);
    look.textAlign = TTextAlign::ttaRight;
    look.caption = "&Get URL";
    const QRect plain = InkBox(Paint(look), qRgb(0, 0, 255));
    look.caption = "&Get URL  ";
    const QRect padded = InkBox(Paint(look), qRgb(0, 0, 255));
    EXPECT_LT(padded.right(), plain.right() - 3) << "two blanks move the text left";
    look.caption = "Get URL";
    const QRect bare = InkBox(Paint(look), qRgb(0, 0, 255));
    EXPECT_NEAR(bare.left(), plain.left(), 1) << "the & takes no room";
    EXPECT_GT(plain.bottom(), bare.bottom()) << "the accelerator letter is underlined";
}
