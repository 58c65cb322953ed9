#include "decor/CaptionFrame.h"

#include "decor/CaptionPainter.h"
#include "decor/vexaCap.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QStyle>
#include <QWindow>

namespace decor {

CaptionFrame::CaptionFrame(TVexaCaption& caption, QWidget* form) : QWidget(form), caption_(caption)
{
    setMouseTracking(true);
    Follow();
}

void CaptionFrame::Follow()
{
    QWidget* form = parentWidget();
    setGeometry(form->rect());
    setMask(QRegion(rect()) - QRegion(form->contentsRect()));
    raise();
    update();
}

bool CaptionFrame::WithinDoubleClick() const
{
    return iconClicked_.isValid() && iconClicked_.elapsed() <= QApplication::doubleClickInterval();
}

Qt::Edges CaptionFrame::EdgesAt(QPoint p) const
{
    const TBorderStyle style = caption_.BorderStyle();
    if (style != TBorderStyle::bsSizeable && style != TBorderStyle::bsSizeToolWin)
        return {};
    const CaptionLayout l = caption_.Layout();
    // Corners reach as far along the edges as the caption is high, so they are easy to grab.
    const int corner = l.frameHeight + l.captionHeight;
    Qt::Edges edges;
    if (p.x() < l.frameWidth || (p.x() < corner && (p.y() < l.frameHeight || p.y() >= height() - l.frameHeight)))
        edges |= Qt::LeftEdge;
    if (p.x() >= width() - l.frameWidth || (p.x() >= width() - corner && (p.y() < l.frameHeight || p.y() >= height() - l.frameHeight)))
        edges |= Qt::RightEdge;
    if (p.y() < l.frameHeight || (p.y() < corner && (p.x() < l.frameWidth || p.x() >= width() - l.frameWidth)))
        edges |= Qt::TopEdge;
    if (p.y() >= height() - l.frameHeight || (p.y() >= height() - corner && (p.x() < l.frameWidth || p.x() >= width() - l.frameWidth)))
        edges |= Qt::BottomEdge;
    return edges;
}

void CaptionFrame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const bool active = caption_.Active();
    CaptionLook look;
    look.layout = caption_.Layout();
    look.beginColor = active ? caption_.ActiveBeginColor() : caption_.InactiveBeginColor();
    look.endColor = active ? caption_.ActiveEndColor() : caption_.InactiveEndColor();
    look.fontColor = active ? caption_.ActiveFontColor() : caption_.InactiveFontColor();
    look.numColors = caption_.NumColors();
    look.applicationName = caption_.ApplicationName();
    QWidget* form = parentWidget();
    look.caption = form->windowTitle();
    if (caption_.AutoSize())
        caption_.fitFonts(look.layout.text.height());
    look.applicationNameFont = caption_.ApplicationNameFont();
    look.captionFont = caption_.CaptionFont();
    // The window's icon (Qt falls back to the application's), else a generic program icon.
    look.icon = form->windowIcon();
    if (look.icon.isNull())
        look.icon = QIcon::fromTheme(QStringLiteral("application-x-executable"), style()->standardIcon(QStyle::SP_ComputerIcon));
    look.iconic = form->isMinimized();
    look.zoomed = form->isMaximized();
    for (int kind = cbClose; kind <= cbHelp; ++kind)
        look.pressed[std::size_t(kind)] = caption_.Button(TCaptionButtonKind(kind)).Pressed();
    PaintWindowFrame(painter, size(), look.layout, SystemColors::FromPalette(palette()));
    PaintCaption(painter, look, *style());
}

void CaptionFrame::mousePressEvent(QMouseEvent* e)
{
    QWidget* form = parentWidget();
    form->raise();
    form->activateWindow();
    const QPoint p = e->position().toPoint();
    const CaptionLayout l = caption_.Layout();
    if (!l.caption.contains(p)) {
        const Qt::Edges edges = EdgesAt(p);
        if (e->button() == Qt::LeftButton && edges && form->windowHandle())
            form->windowHandle()->startSystemResize(edges);
        return;
    }
    const int button = l.buttonAt(p);
    if (button >= 0) {
        if (e->button() == Qt::LeftButton) {
            trackingButton_ = button;
            caption_.Button(TCaptionButtonKind(button)).MouseDown(p);
        }
        return;
    }
    if (e->button() == Qt::RightButton) {
        systemMenuPending_ = l.leftOfStrip(p);
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    if (l.icon.width() > 0 && l.icon.contains(p)) {
        // The press that closes the menu on the icon is the first half of a double click.
        if (WithinDoubleClick()) {
            iconSecondDown_ = true;
            return;
        }
        iconClicked_.start();
        iconSecondDown_ = false;
        caption_.RunSystemMenu(mapToGlobal(QPoint(l.icon.x(), l.caption.y() + l.caption.height())));
        return;
    }
    if (form->isMaximized())
        return;
    movePending_ = true;
    pressScreenPoint_ = e->globalPosition().toPoint();
    windowAtPress_ = form->pos();
}

void CaptionFrame::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    if (trackingButton_ >= 0) {
        caption_.Button(TCaptionButtonKind(trackingButton_)).MouseMove(p);
        return;
    }
    QWidget* form = parentWidget();
    const QPoint screen = e->globalPosition().toPoint();
    if (movePending_ && (screen - pressScreenPoint_).manhattanLength() >= QApplication::startDragDistance()) {
        movePending_ = false;
        movingByHand_ = !(form->windowHandle() && form->windowHandle()->startSystemMove());
    }
    if (movingByHand_) {
        form->move(windowAtPress_ + screen - pressScreenPoint_);
        return;
    }
    if (e->buttons() != Qt::NoButton)
        return;
    const Qt::Edges edges = EdgesAt(p);
    if (edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge))
        setCursor(Qt::SizeFDiagCursor);
    else if (edges == (Qt::RightEdge | Qt::TopEdge) || edges == (Qt::LeftEdge | Qt::BottomEdge))
        setCursor(Qt::SizeBDiagCursor);
    else if (edges & (Qt::LeftEdge | Qt::RightEdge))
        setCursor(Qt::SizeHorCursor);
    else if (edges & (Qt::TopEdge | Qt::BottomEdge))
        setCursor(Qt::SizeVerCursor);
    else
        unsetCursor();
}

void CaptionFrame::mouseReleaseEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    const CaptionLayout l = caption_.Layout();
    if (e->button() == Qt::RightButton) {
        const bool pending = systemMenuPending_;
        systemMenuPending_ = false;
        if (pending && l.buttonAt(p) < 0 && l.caption.contains(p))
            caption_.RunSystemMenu(e->globalPosition().toPoint());
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    if (trackingButton_ >= 0) {
        const int button = trackingButton_;
        trackingButton_ = -1;
        caption_.Button(TCaptionButtonKind(button)).MouseUp(p);
        return;
    }
    movePending_ = false;
    movingByHand_ = false;
    if (iconSecondDown_) {
        iconSecondDown_ = false;
        if (l.icon.contains(p) && WithinDoubleClick()) {
            iconClicked_.invalidate();
            caption_.SysCommand(TSysCommand::SC_CLOSE);
        }
    }
}

void CaptionFrame::mouseDoubleClickEvent(QMouseEvent* e)
{
    const QPoint p = e->position().toPoint();
    const CaptionLayout l = caption_.Layout();
    if (e->button() != Qt::LeftButton || !l.text.contains(p)) {
        mousePressEvent(e);
        return;
    }
    if (!l.shown[cbMaximize] || !l.enabled[cbMaximize])
        return;
    caption_.SysCommand(parentWidget()->isMaximized() ? TSysCommand::SC_RESTORE : TSysCommand::SC_MAXIMIZE);
}

} // namespace decor
