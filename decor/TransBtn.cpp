#include "decor/TransBtn.h"

#include "decor/GlyphImages.h"
#include "decor/PopupMenus.h"

#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

namespace decor {

TTransparentButton::TTransparentButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::clicked, this, [this] { base::raise(OnClick); });
    // No background of its own: whatever the parent paints shows through unless not Transparent.
    setAutoFillBackground(false);
    resize(40, 40);
}

TTransparentButton::~TTransparentButton() = default;

template <typename T>
void TTransparentButton::store(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    update();
}

void TTransparentButton::SetAutoGray(bool value) { store(autoGray_, value); }
void TTransparentButton::SetBorderWidth(unsigned value) { store(borderWidth_, int(std::min(value, 1000u))); }
void TTransparentButton::SetFontColor(const QColor& value) { store(fontColor_, value); }
void TTransparentButton::SetFrameStyle(TFrameStyle value) { store(frameStyle_, value); }
void TTransparentButton::SetShowPressed(bool value) { store(showPressed_, value); }
void TTransparentButton::SetSpacing(int value) { store(spacing_, value); }
void TTransparentButton::SetTextAlign(TTextAlign value) { store(textAlign_, value); }
void TTransparentButton::SetTransparent(bool value) { store(transparent_, value); }
void TTransparentButton::SetWordWrap(bool value) { store(wordWrap_, value); }
void TTransparentButton::SetMovable(bool value) { movable_ = value; }

void TTransparentButton::SetCaption(const QString& value)
{
    if (text() != value)
        setText(value);
}

void TTransparentButton::SetDown(bool value)
{
    if (down_ == value)
        return;
    down_ = value;
    mouseDownInside_ = value;
    pressedLook_ = value;
    update();
}

void TTransparentButton::SetFont(const QFont& value)
{
    setFont(value);
    update();
}

void TTransparentButton::SetParentFont(bool value)
{
    if (value == ParentFont())
        return;
    // An empty font resolves nothing, so the widget inherits its parent's font again.
    setFont(value ? QFont() : font());
    if (!value)
        setAttribute(Qt::WA_SetFont, true);
    update();
}

void TTransparentButton::SetGlyph(const QImage& value)
{
    glyph_ = value;
    update();
    numGlyphs_ = NumGlyphsFor(glyph_.size(), numGlyphs_);
    rebuildImages();
}

void TTransparentButton::SetNumGlyphs(int value)
{
    value = std::clamp(value, 1, 4);
    if (numGlyphs_ == value)
        return;
    numGlyphs_ = value;
    rebuildImages();
    update();
}

void TTransparentButton::rebuildImages()
{
    images_ = BuildGlyphImages(glyph_, numGlyphs_, SystemColors::FromPalette(palette()));
}

void TTransparentButton::SetHint(const QString& value)
{
    hint_ = value;
    setToolTip(value);
}

void TTransparentButton::SetShowHint(bool value)
{
    showHint_ = value;
    parentShowHint_ = false;
}

void TTransparentButton::SetParentShowHint(bool value) { parentShowHint_ = value; }

bool TTransparentButton::hintShown() const
{
    if (!parentShowHint_)
        return showHint_;
    const QVariant inherited = parentWidget() ? parentWidget()->property("ShowHint") : QVariant();
    return !inherited.isValid() || inherited.toBool();
}

void TTransparentButton::SetPopUpMenu(QMenu* value) { popUpMenu_ = value; }

QSize TTransparentButton::sizeHint() const { return size(); }

ButtonLook TTransparentButton::look() const
{
    ButtonLook look;
    look.size = size();
    look.frameStyle = frameStyle_;
    look.textAlign = textAlign_;
    look.transparent = transparent_;
    look.enabled = isEnabled();
    look.pressedLook = pressedLook_;
    look.mouseOver = mouseOver_;
    look.down = down_;
    look.showPressed = showPressed_;
    look.autoGray = autoGray_;
    look.wordWrap = wordWrap_;
    look.borderWidth = borderWidth_;
    look.spacing = spacing_;
    look.caption = text();
    look.font = font();
    look.fontColor = fontColor_.isValid() ? fontColor_ : palette().color(QPalette::ButtonText);
    look.images = images_;
    look.numGlyphs = numGlyphs_;
    return look;
}

void TTransparentButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintButton(painter, look(), SystemColors::FromPalette(palette()));
}

bool TTransparentButton::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::Shortcut:
        // The only shortcut a button holds is its accelerator: click at once, no animation.
        if (isEnabled())
            Click();
        return true;
    case QEvent::ToolTip:
        if (!hintShown()) {
            QToolTip::hideText();
            e->ignore();
            return true;
        }
        break;
    default:
        break;
    }
    return QAbstractButton::event(e);
}

void TTransparentButton::mousePressEvent(QMouseEvent* e)
{
    if (tracking_ || !isEnabled())
        return;
    droppingMouse_ = false;
    const QPoint point = e->position().toPoint();
    base::raise(OnMouseDown, e->button(), e->modifiers(), point);
    if (e->button() != Qt::LeftButton)
        return;
    tracking_ = true;
    if (movable_)
        dragOrigin_ = point;
    if (rect().contains(point)) {
        mouseDownInside_ = true;
        pressedLook_ = true;
        repaint();
    }
    if (popUpMenu_) {
        ExecPopup(*popUpMenu_, mapToGlobal(QPoint(0, height())));
        droppingMouse_ = true;
        endPress(e->button(), e->modifiers(), mapFromGlobal(QCursor::pos()));
    }
}

void TTransparentButton::mouseMoveEvent(QMouseEvent* e)
{
    if (droppingMouse_ || !isEnabled())
        return;
    QPoint point = e->position().toPoint();
    base::raise(OnMouseMove, e->modifiers(), point);
    if (!mouseDownInside_ || !tracking_)
        return;
    if (movable_) {
        move(pos() + point - dragOrigin_);
        point = dragOrigin_;
    }
    const bool inside = rect().contains(point);
    if (inside != pressedLook_) {
        pressedLook_ = inside;
        repaint();
    }
}

void TTransparentButton::mouseReleaseEvent(QMouseEvent* e)
{
    if (droppingMouse_ || !isEnabled())
        return;
    if (e->button() != Qt::LeftButton) {
        base::raise(OnMouseUp, e->button(), e->modifiers(), e->position().toPoint());
        return;
    }
    if (tracking_)
        endPress(e->button(), e->modifiers(), e->position().toPoint());
}

void TTransparentButton::endPress(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint point)
{
    tracking_ = false;
    const bool inside = rect().contains(point);
    if (!down_) {
        base::raise(OnMouseUp, button, modifiers, point);
        mouseDownInside_ = false;
        pressedLook_ = false;
        repaint();
    }
    if (inside && isEnabled())
        Click();
}

void TTransparentButton::enterEvent(QEnterEvent*)
{
    mouseOver_ = true;
    base::raise(OnMouseEnter);
    if (frameStyle_ == TFrameStyle::fsExplorer)
        update();
}

void TTransparentButton::leaveEvent(QEvent*)
{
    mouseOver_ = false;
    base::raise(OnMouseExit);
    if (frameStyle_ == TFrameStyle::fsExplorer)
        update();
}

void TTransparentButton::changeEvent(QEvent* e)
{
    if (e->type() == QEvent::EnabledChange && !isEnabled()) {
        pressedLook_ = false;
        mouseDownInside_ = false;
        tracking_ = false;
        mouseOver_ = false;
        update();
    } else if (e->type() == QEvent::PaletteChange) {
        rebuildImages();
        update();
    }
    QAbstractButton::changeEvent(e);
}

} // namespace decor
