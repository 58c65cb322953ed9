#include "richprint/arrowbtn.h"

#include <QMouseEvent>
#include <QPainter>

namespace richprint {

namespace {

// Teal: 808000 in the blue-green-red order of the platform it was first drawn on.
const QColor kTeal(0x00, 0x80, 0x80);

} // namespace

QPolygon OuterTriangle(TButtonDirection direction, int w, int h)
{
    switch (direction) {
    case TButtonDirection::arwUP:
        return QPolygon({QPoint(w / 2, 3), QPoint(w - 3, h - 3), QPoint(3, h - 3)});
    case TButtonDirection::arwRIGHT:
        return QPolygon({QPoint(3, 3), QPoint(w - 3, h / 2), QPoint(3, h - 3)});
    case TButtonDirection::arwDOWN:
        return QPolygon({QPoint(w - 3, 3), QPoint(w / 2, h - 3), QPoint(3, 3)});
    case TButtonDirection::arwLEFT:
        break;
    }
    return QPolygon({QPoint(w - 3, 3), QPoint(w - 3, h - 3), QPoint(3, h / 2)});
}

QPolygon InnerTriangle(TButtonDirection direction, int w, int h)
{
    QPolygon p = OuterTriangle(direction, w, h);
    QPoint moves[3];
    switch (direction) {
    case TButtonDirection::arwUP:
        moves[0] = {0, 3};
        moves[1] = {-4, -2};
        moves[2] = {3, -2};
        break;
    case TButtonDirection::arwRIGHT:
        moves[0] = {2, 3};
        moves[1] = {-3, 0};
        moves[2] = {2, -3};
        break;
    case TButtonDirection::arwDOWN:
        moves[0] = {-3, 2};
        moves[1] = {0, -3};
        moves[2] = {2, 2};
        break;
    case TButtonDirection::arwLEFT:
        moves[0] = {-2, 3};
        moves[1] = {-2, -2};
        moves[2] = {3, 0};
        break;
    }
    for (int i = 0; i < 3; ++i)
        p[i] += moves[i];
    return p;
}

TArrowButton::TArrowButton(QWidget* parent) : QWidget(parent), colour_(kTeal)
{
    resize(33, 33);
}

void TArrowButton::SetDirection(TButtonDirection direction)
{
    direction_ = direction;
    update();
}

void TArrowButton::SetButtonColor(const QColor& colour)
{
    colour_ = colour;
    update();
}

void TArrowButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPolygon outer = OuterTriangle(direction_, width(), height());
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(outer);
    const QPolygon inner = InnerTriangle(direction_, width(), height());
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(isEnabled() ? colour_ : QColor(Qt::gray));
    painter.drawPolygon(inner);
    // Edges: lit from the top left when up, sunk while pressed.
    const QColor p1p2 = pressed_ ? colour_ : QColor(Qt::black);
    const QColor p1p3 = pressed_ ? QColor(Qt::black) : QColor(Qt::white);
    painter.setPen(p1p2);
    painter.drawLine(inner[0], inner[1]);
    painter.drawLine(inner[1], inner[2]);
    painter.setPen(p1p3);
    painter.drawLine(inner[0], inner[2]);
}

void TArrowButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton
        || !OuterTriangle(direction_, width(), height())
                .containsPoint(event->position().toPoint(), Qt::OddEvenFill))
        return;
    pressed_ = true;
    update();
}

void TArrowButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !pressed_)
        return;
    pressed_ = false;
    update();
    if (OnClick)
        OnClick();
}

} // namespace richprint
