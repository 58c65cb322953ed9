#pragma once
// Tarnby's own glyphs for its Get and Abort tool buttons: strips of two 16 x 16 frames (normal,
// then disabled) on a transparent background, painted at the given device pixel ratio so that
// they stay sharp on scaled screens.
#include <QImage>

namespace decor {

// A blue globe with a green arrow pointing down into it: fetch the page.
QImage GetUrlGlyph(qreal devicePixelRatio = 1.0);

// A red stop sign with a white bar: stop the fetch.
QImage AbortGlyph(qreal devicePixelRatio = 1.0);

} // namespace decor
