#include "decor/CaptionPainter.h"

#include "decor/Frame3D.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>

namespace decor {

void PaintGradient(QPainter& painter, const QRect& rect, const QColor& begin, const QColor& end, int count)
{
    const auto bands = GradientBands(rect.x(), rect.width(), {begin.red(), begin.green(), begin.blue()},
                                     {end.red(), end.green(), end.blue()}, count);
    for (const GradientBand& band : bands)
        painter.fillRect(QRect(band.x0, rect.y(), band.x1 - band.x0, rect.height()),
                         QColor(band.color.red, band.color.green, band.color.blue));
}

QIcon CaptionButtonGlyph(int kind, bool iconic, bool zoomed, const QStyle& style)
{
    switch (kind) {
    case cbClose:
        return style.standardIcon(QStyle::SP_TitleBarCloseButton);
    case cbMinimize:
        return style.standardIcon(iconic ? QStyle::SP_TitleBarNormalButton : QStyle::SP_TitleBarMinButton);
    case cbMaximize:
        return style.standardIcon(zoomed ? QStyle::SP_TitleBarNormalButton : QStyle::SP_TitleBarMaxButton);
    default:
        return style.standardIcon(QStyle::SP_TitleBarContextHelpButton);
    }
}

void PaintCaptionButton(QPainter& painter, const QRect& rect, QIcon glyph, bool pressed, bool enabled,
                        const QStyle& style)
{
    QStyleOptionButton option;
    option.rect = rect;
    option.state = pressed ? QStyle::State_Sunken : QStyle::State_Raised;
    if (enabled)
        option.state |= QStyle::State_Enabled;
    option.palette.setCurrentColorGroup(enabled ? QPalette::Active : QPalette::Disabled);
    style.drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &painter);
    const int side = std::max(0, std::min(rect.width(), rect.height()) - 4);
    QRect glyphRect(0, 0, side, side);
    glyphRect.moveCenter(rect.center());
    if (pressed)
        glyphRect.translate(1, 1);
    glyph.paint(&painter, glyphRect, Qt::AlignCenter, enabled ? QIcon::Normal : QIcon::Disabled);
}

namespace {

// Draws one run of text at the left of `room`, vertically centred, cut with an end ellipsis;
// returns the width it took.
int DrawElided(QPainter& painter, const QRect& room, const QFont& font, const QString& text)
{
    if (text.isEmpty() || room.width() <= 0)
        return 0;
    const QFontMetrics metrics(font);
    const QString shown = metrics.elidedText(text, Qt::ElideRight, room.width());
    // Like the platform's text drawing, nothing of a glyph's overhang leaves the rectangle.
    painter.save();
    painter.setClipRect(room, Qt::IntersectClip);
    painter.setFont(font);
    painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    painter.restore();
    return std::min(room.width(), metrics.horizontalAdvance(shown));
}

} // namespace

void PaintCaption(QPainter& painter, const CaptionLook& look, const QStyle& style)
{
    const CaptionLayout& l = look.layout;
    if (l.captionHeight <= 0)
        return;
    painter.save();
    painter.setClipRect(l.caption);
    PaintGradient(painter, l.caption, look.beginColor, look.endColor, look.numColors);

    if (l.icon.width() > 0 && !look.icon.isNull()) {
        const QRect target = RectLTRB(l.icon.x() + 2, l.icon.y() + 1, l.icon.x() + l.icon.width(),
                                      l.icon.y() + l.icon.height() - 1);
        look.icon.paint(&painter, target);
    }

    painter.setPen(look.fontColor);
    QRect room = l.text;
    room.setLeft(room.left() + DrawElided(painter, room, look.applicationNameFont, look.applicationName));
    DrawElided(painter, room, look.captionFont, look.caption);

    for (int kind : {cbClose, cbMaximize, cbMinimize, cbHelp})
        if (l.shown[std::size_t(kind)])
            PaintCaptionButton(painter, l.buttons[std::size_t(kind)], CaptionButtonGlyph(kind, look.iconic, look.zoomed, style),
                               look.pressed[std::size_t(kind)], l.enabled[std::size_t(kind)], style);
    painter.restore();
}

void PaintWindowFrame(QPainter& painter, QSize window, const CaptionLayout& layout, const SystemColors& colors)
{
    if (layout.frameWidth <= 0 && layout.frameHeight <= 0)
        return;
    QRect outer(QPoint(0, 0), window);
    painter.fillRect(outer, colors.btnFace);
    Frame3D(painter, outer, colors.btnFace, colors.dkShadow3D, 1);
    Frame3D(painter, outer, colors.btnHighlight, colors.btnShadow, 1);
}

} // namespace decor
