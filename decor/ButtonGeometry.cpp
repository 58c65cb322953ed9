#include "decor/ButtonGeometry.h"

namespace decor {

int NumGlyphsFor(QSize glyph, int current)
{
    if (glyph.height() < 1 || glyph.width() % glyph.height() != 0)
        return current;
    const int frames = glyph.width() / glyph.height();
    return frames > 4 ? 1 : frames;
}

int FrameWidth(int glyphWidth, int numGlyphs)
{
    const int width = numGlyphs > 0 ? glyphWidth / numGlyphs : 0;
    return width == 0 ? glyphWidth : width;
}

namespace {

bool CaptionBelow(TTextAlign a)
{
    return a == TTextAlign::ttaBottomRight || a == TTextAlign::ttaBottom || a == TTextAlign::ttaBottomLeft;
}

bool CaptionAbove(TTextAlign a)
{
    return a == TTextAlign::ttaTopLeft || a == TTextAlign::ttaTop || a == TTextAlign::ttaTopRight;
}

} // namespace

QPoint GlyphOrigin(TTextAlign align, QSize control, QSize frame, int spacing)
{
    int top = (control.height() - frame.height()) / 2;
    if (CaptionBelow(align))
        top = spacing;
    else if (CaptionAbove(align))
        top = control.height() - frame.height() - spacing;
    int left = (control.width() - frame.width()) / 2;
    if (align == TTextAlign::ttaLeft)
        left = control.width() - frame.width() - spacing;
    else if (align == TTextAlign::ttaRight)
        left = spacing;
    return {left, top};
}

QPoint CaptionOrigin(TTextAlign align, QSize control, QSize text, int glyphTop, int glyphBottom, int spacing)
{
    const int w = control.width(), h = control.height();
    const int tw = text.width(), th = text.height();
    const int above = glyphTop - th - spacing;
    const int below = glyphBottom + spacing;
    const int middle = h / 2 - th / 2;
    switch (align) {
    case TTextAlign::ttaTopLeft: return {spacing, above};
    case TTextAlign::ttaTop: return {w / 2 - tw / 2, above};
    case TTextAlign::ttaTopRight: return {w - tw - spacing, above};
    case TTextAlign::ttaRight: return {w - tw - spacing, middle};
    case TTextAlign::ttaBottomRight: return {w - tw - spacing, below};
    case TTextAlign::ttaBottom: return {w / 2 - tw / 2, below};
    case TTextAlign::ttaBottomLeft: return {spacing, below};
    case TTextAlign::ttaLeft: return {spacing, middle};
    case TTextAlign::ttaCenter: break;
    }
    return {w / 2 - tw / 2, middle};
}

int GlyphImageIndex(const GlyphState& s)
{
    if (!s.enabled)
        return s.numGlyphs == 1 ? s.numGlyphs + 1 : 1;
    if (s.grayWhenAway && !s.mouseOver)
        return s.numGlyphs;
    return s.pressed && s.numGlyphs >= 3 ? 2 : 0;
}

} // namespace decor
