#include "decor/Frame3D.h"

#include <QPainter>

namespace decor {

void Frame3D(QPainter& painter, QRect& rect, const QColor& topLeft, const QColor& bottomRight, int width)
{
    for (int i = 0; i < width && rect.width() > 0 && rect.height() > 0; ++i) {
        const int l = rect.x(), t = rect.y(), w = rect.width(), h = rect.height();
        painter.fillRect(QRect(l, t, w - 1, 1), topLeft);
        painter.fillRect(QRect(l, t, 1, h - 1), topLeft);
        painter.fillRect(QRect(l + w - 1, t, 1, h), bottomRight);
        painter.fillRect(QRect(l, t + h - 1, w, 1), bottomRight);
        rect.adjust(1, 1, -1, -1);
    }
    if (rect.width() < 0 || rect.height() < 0)
        rect.setSize(QSize(0, 0));
}

} // namespace decor
