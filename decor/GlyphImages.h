#pragma once
// The images a transparent button shows: the frames cut from its glyph, a gray copy of the
// first frame and an etched copy for a disabled button. Pixel sizes are device pixels; the
// results keep the glyph's device pixel ratio.
#include "decor/Colors.h"

#include <QImage>
#include <QList>

namespace decor {

// Every pixel becomes (30 R + 59 G + 11 B) / 100 in all three channels; alpha stays.
QImage GrayImage(const QImage& image);

// Pixels that are white or equal to the top-left pixel take the top-left colour, all others
// (the ink) become black.
QImage DisabledMask(const QImage& image);

// On a clBtnFace background, the mask's ink drawn in clBtnHighlight one pixel right and down,
// then in clBtnShadow in its place: the ink looks cut into the face.
QImage EtchedImage(const QImage& mask, const SystemColors& colors);

// Makes the pixels equal to the image's bottom-left pixel transparent: a bitmap's automatic
// transparent colour.
QImage MaskedWithBottomLeft(const QImage& image);

// The image list of a glyph: frames 0 .. numGlyphs - 1, then the gray image, then the disabled
// image, each masked with its own bottom-left colour. Empty for an empty glyph.
QList<QImage> BuildGlyphImages(const QImage& glyph, int numGlyphs, const SystemColors& colors);

} // namespace decor
