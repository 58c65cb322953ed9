#include "decor/ToolGlyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <functional>

namespace decor {

namespace {

constexpr int kFrame = 16;

struct Ink {
    QColor fill;
    QColor accent;
    QColor outline;
};

// Paints one shape twice, in its colours and then in the disabled greys, side by side.
QImage TwoFrames(qreal dpr, const Ink& normal, const std::function<void(QPainter&, const Ink&)>& paint)
{
    QImage strip(int(std::lround(2 * kFrame * dpr)), int(std::lround(kFrame * dpr)), QImage::Format_ARGB32_Premultiplied);
    strip.setDevicePixelRatio(dpr);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter, normal);
    painter.translate(kFrame, 0);
    paint(painter, {QColor(0xC0, 0xC0, 0xC0), QColor(0xE0, 0xE0, 0xE0), QColor(0x80, 0x80, 0x80)});
    painter.end();
    return strip;
}

} // namespace

QImage GetUrlGlyph(qreal dpr)
{
    return TwoFrames(dpr, {QColor(0x3A, 0x7B, 0xD5), QColor(0x2E, 0xA0, 0x3C), QColor(0x10, 0x2A, 0x60)},
                     [](QPainter& p, const Ink& ink) {
        p.setPen(QPen(ink.outline, 1.0));
        p.setBrush(ink.fill);
        p.drawEllipse(QRectF(1.5, 4.5, 11, 11));
        p.setPen(QPen(ink.outline.lighter(180), 0.8));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(4.5, 4.5, 5, 11));
        p.drawLine(QPointF(1.5, 10), QPointF(12.5, 10));
        const QPolygonF arrow({{11, 0.5}, {14, 0.5}, {14, 6}, {15.5, 6}, {12.5, 10}, {9.5, 6}, {11, 6}});
        p.setPen(QPen(ink.outline, 0.8));
        p.setBrush(ink.accent);
        p.drawPolygon(arrow);
    });
}

QImage AbortGlyph(qreal dpr)
{
    return TwoFrames(dpr, {QColor(0xD0, 0x20, 0x20), QColor(Qt::white), QColor(0x60, 0x08, 0x08)},
                     [](QPainter& p, const Ink& ink) {
        QPolygonF octagon;
        for (int i = 0; i < 8; ++i) {
            const double angle = (22.5 + 45.0 * i) * M_PI / 180.0;
            octagon << QPointF(8 + 7 * std::cos(angle), 8 + 7 * std::sin(angle));
        }
        p.setPen(QPen(ink.outline, 1.0));
        p.setBrush(ink.fill);
        p.drawPolygon(octagon);
        p.setPen(Qt::NoPen);
        p.setBrush(ink.accent);
        p.drawRect(QRectF(4, 6.5, 8, 3));
    });
}

} // namespace decor
