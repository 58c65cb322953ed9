#pragma once
// The 3-D frame primitive both decorations draw their edges with.
#include <QColor>
#include <QRect>

class QPainter;

namespace decor {

// Draws `width` nested one-pixel rings on `rect`, each in topLeft on the top row (without its
// last pixel) and the left column (without its last pixel), and in bottomRight on the right
// column and the bottom row, then shrinks `rect` by `width` on every side, so a second call
// draws just inside the first.
void Frame3D(QPainter& painter, QRect& rect, const QColor& topLeft, const QColor& bottomRight, int width);

} // namespace decor
