#pragma once
// Geometry of the transparent button, free of widgets: how many frames a glyph holds, where the
// glyph and the caption go for each caption position, and which image of the image list shows.
#include <QPoint>
#include <QSize>

namespace decor {

enum class TFrameStyle { fsRegular, fsIndent, fsExplorer, fsNone, fsLight, fsDark, fsMono };

// Where the caption goes relative to the glyph.
enum class TTextAlign {
    ttaTopLeft, ttaTop, ttaTopRight, ttaRight, ttaBottomRight, ttaBottom, ttaBottomLeft, ttaLeft, ttaCenter
};

// Frames of a freshly assigned glyph: width / height when the width is a whole multiple of a
// height of at least 1 pixel (1 when that exceeds 4); otherwise the current count stays.
int NumGlyphsFor(QSize glyph, int current);

// Width of one frame: glyph width / frames, the whole width when that is 0.
int FrameWidth(int glyphWidth, int numGlyphs);

// Top-left corner of the glyph (frameSize: one frame) inside a control of the given size.
QPoint GlyphOrigin(TTextAlign align, QSize control, QSize frameSize, int spacing);

// Top-left corner of a caption of the given measured size; glyphTop and glyphBottom are those of
// the glyph (equal when there is no glyph).
QPoint CaptionOrigin(TTextAlign align, QSize control, QSize text, int glyphTop, int glyphBottom, int spacing);

// What the button's state asks the glyph to show.
struct GlyphState {
    int numGlyphs = 1;
    bool enabled = true;
    bool pressed = false;      // the pressed look
    bool grayWhenAway = false; // fsExplorer with AutoGray
    bool mouseOver = false;
};

// Index into the image list: frames 0 .. numGlyphs - 1, then the gray image (numGlyphs), then
// the disabled image (numGlyphs + 1). A disabled button shows frame 1, or the disabled image
// when it has one frame only; the gray image stands in for frame 0 or 2 while the mouse is away.
int GlyphImageIndex(const GlyphState& state);

} // namespace decor
