#include "decor/ButtonPainter.h"

#include "decor/CaptionGeometry.h"
#include "decor/Frame3D.h"

#include <QFontMetrics>
#include <QPainter>

namespace decor {

namespace {

// The base drawn under the frame: outlines for the two boxed styles, the face colour for an
// opaque button.
void PaintBase(QPainter& p, const ButtonLook& look, const SystemColors& c)
{
    const int w = look.size.width(), h = look.size.height(), bw = look.borderWidth;
    switch (look.frameStyle) {
    case TFrameStyle::fsRegular: {
        QRect r = RectLTRB(1, 1, w, h);
        if (!look.transparent)
            p.fillRect(r, c.btnFace);
        Frame3D(p, r, Qt::black, Qt::black, bw);
        return;
    }
    case TFrameStyle::fsIndent: {
        QRect outer = RectLTRB(0, 0, w - 1, h - 1);
        if (!look.transparent)
            p.fillRect(outer, c.btnFace);
        Frame3D(p, outer, c.btnShadow, c.btnShadow, bw);
        QRect inner = RectLTRB(1, 1, w, h);
        Frame3D(p, inner, c.btnHighlight, c.btnHighlight, bw);
        return;
    }
    default:
        if (!look.transparent)
            p.fillRect(QRect(QPoint(0, 0), look.size), c.btnFace);
        return;
    }
}

void PaintEdges(QPainter& p, const ButtonLook& look, const SystemColors& c)
{
    QRect r(QPoint(0, 0), look.size);
    const int bw = look.borderWidth;
    const bool pressed = look.pressedLook && look.showPressed;
    switch (look.frameStyle) {
    case TFrameStyle::fsRegular:
    case TFrameStyle::fsIndent:
        if (pressed) {
            Frame3D(p, r, Qt::black, c.btnHighlight, bw);
            Frame3D(p, r, c.btnShadow, c.btnFace, bw);
        } else if (look.frameStyle == TFrameStyle::fsRegular) {
            Frame3D(p, r, c.btnHighlight, Qt::black, bw);
            Frame3D(p, r, c.btnFace, c.btnShadow, bw);
        } else {
            Frame3D(p, r, c.btnShadow, c.btnHighlight, bw);
        }
        return;
    case TFrameStyle::fsExplorer:
        if (look.pressedLook && (look.mouseOver || look.down)) {
            if (look.showPressed)
                Frame3D(p, r, c.btnShadow, c.btnHighlight, bw);
            else
                Frame3D(p, r, c.btnHighlight, c.btnShadow, bw);
        } else if (!look.pressedLook && look.mouseOver) {
            Frame3D(p, r, c.btnHighlight, c.btnShadow, bw);
        }
        return;
    case TFrameStyle::fsNone:
        return;
    case TFrameStyle::fsLight:
        Frame3D(p, r, pressed ? c.btnShadow : c.btnHighlight, pressed ? c.btnHighlight : c.btnShadow, 1);
        return;
    case TFrameStyle::fsDark:
        Frame3D(p, r, pressed ? c.dkShadow3D : c.btnFace, pressed ? c.btnFace : c.dkShadow3D, 1);
        return;
    case TFrameStyle::fsMono:
        Frame3D(p, r, pressed ? c.dkShadow3D : c.btnHighlight, pressed ? c.btnHighlight : c.dkShadow3D, 1);
        return;
    }
}

} // namespace

int CaptionTextFlags(bool wordWrap)
{
    return Qt::TextShowMnemonic | Qt::TextIncludeTrailingSpaces | (wordWrap ? Qt::TextWordWrap : Qt::TextSingleLine);
}

void PaintButtonFrame(QPainter& painter, const ButtonLook& look, const SystemColors& colors)
{
    PaintBase(painter, look, colors);
    PaintEdges(painter, look, colors);
}

void PaintButton(QPainter& painter, const ButtonLook& look, const SystemColors& colors)
{
    PaintButtonFrame(painter, look, colors);

    const QPoint pressOffset = (look.pressedLook && look.showPressed) ? QPoint(1, 1) : QPoint(0, 0);
    const QSize glyphSize = look.images.isEmpty() ? QSize(0, 0) : look.images.first().deviceIndependentSize().toSize();
    const QPoint glyphAt = GlyphOrigin(look.textAlign, look.size, glyphSize, look.spacing);
    if (!look.images.isEmpty()) {
        const int index = GlyphImageIndex({look.numGlyphs, look.enabled, look.pressedLook,
                                           look.frameStyle == TFrameStyle::fsExplorer && look.autoGray, look.mouseOver});
        const QRect target(glyphAt + pressOffset, glyphSize);
        if (!look.transparent)
            painter.fillRect(target, colors.btnFace);
        if (index < look.images.size())
            painter.drawImage(target.topLeft(), look.images[index]);
    }

    if (look.caption.isEmpty())
        return;
    const int flags = CaptionTextFlags(look.wordWrap);
    painter.setFont(look.font);
    const QSize text = QFontMetrics(look.font).boundingRect(QRect(QPoint(0, 0), look.size), flags, look.caption).size();
    const QPoint at = CaptionOrigin(look.textAlign, look.size, text, glyphAt.y(), glyphAt.y() + glyphSize.height(),
                                    look.spacing) + pressOffset;
    const int drawFlags = flags | Qt::AlignHCenter | Qt::TextDontClip;
    const QRect place(at, text);
    if (look.enabled) {
        painter.setPen(look.fontColor);
        painter.drawText(place, drawFlags, look.caption);
        return;
    }
    painter.setPen(colors.btnHighlight);
    painter.drawText(place.translated(1, 1), drawFlags, look.caption);
    painter.setPen(colors.btnShadow);
    painter.drawText(place, drawFlags, look.caption);
}

} // namespace decor
