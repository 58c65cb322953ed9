#include "decor/vexaCap.h"

#include "base/Exception.h"
#include "decor/CaptionFrame.h"
#include "decor/Colors.h"
#include "decor/PopupMenus.h"

#include <QEvent>
#include <QMenu>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <QWhatsThis>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace decor {

// --- TVexaCaptionSystemButton ---------------------------------------------------------------

TVexaCaptionSystemButton::TVexaCaptionSystemButton(TVexaCaption& caption, TCaptionButtonKind kind)
    : caption_(caption), kind_(kind)
{
}

void TVexaCaptionSystemButton::Repaint()
{
    caption_.Repaint();
}

void TVexaCaptionSystemButton::MouseDown(QPoint)
{
    const CaptionLayout l = caption_.Layout();
    if (!l.shown[kind_] || !l.enabled[kind_])
        return;
    pressed_ = true;
    tracking_ = true;
    Repaint();
}

void TVexaCaptionSystemButton::MouseMove(QPoint windowPoint)
{
    if (!tracking_)
        return;
    const bool inside = caption_.Layout().trackingRect(kind_).contains(windowPoint);
    if (inside != pressed_) {
        pressed_ = inside;
        Repaint();
    }
}

void TVexaCaptionSystemButton::MouseUp(QPoint windowPoint)
{
    if (!tracking_)
        return;
    tracking_ = false;
    pressed_ = false;
    Repaint();
    if (caption_.Layout().trackingRect(kind_).contains(windowPoint))
        Click();
}

void TVexaCaptionSystemButton::Click()
{
    QWidget* form = caption_.Form();
    switch (kind_) {
    case cbClose:
        caption_.SysCommand(TSysCommand::SC_CLOSE);
        return;
    case cbMinimize:
        caption_.SysCommand(form->isMinimized() ? TSysCommand::SC_RESTORE : TSysCommand::SC_MINIMIZE);
        return;
    case cbMaximize:
        caption_.SysCommand(form->isMaximized() ? TSysCommand::SC_RESTORE : TSysCommand::SC_MAXIMIZE);
        return;
    case cbHelp:
        caption_.SysCommand(TSysCommand::SC_CONTEXTHELP);
        return;
    }
}

// --- border style and icons from window flags -----------------------------------------------

TBorderStyle BorderStyleOf(Qt::WindowFlags flags, bool fixedSize)
{
    if (flags & Qt::FramelessWindowHint)
        return TBorderStyle::bsNone;
    const Qt::WindowFlags type = flags & Qt::WindowType_Mask;
    if (type == Qt::Tool)
        return fixedSize ? TBorderStyle::bsToolWindow : TBorderStyle::bsSizeToolWin;
    if (type == Qt::Dialog || type == Qt::Sheet)
        return TBorderStyle::bsDialog;
    return fixedSize ? TBorderStyle::bsSingle : TBorderStyle::bsSizeable;
}

TBorderIcons BorderIconsOf(Qt::WindowFlags flags)
{
    const Qt::WindowFlags hints = Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint
                                  | Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint;
    if (!(flags & (hints | Qt::CustomizeWindowHint))) {
        // No hints at all: the decorations the window system gives such a window by default.
        const Qt::WindowFlags type = flags & Qt::WindowType_Mask;
        return (type == Qt::Window) ? (biSystemMenu | biMinimize | biMaximize) : biSystemMenu;
    }
    TBorderIcons icons = 0;
    if (flags & (Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint))
        icons |= biSystemMenu;
    if (flags & Qt::WindowMinimizeButtonHint)
        icons |= biMinimize;
    if (flags & Qt::WindowMaximizeButtonHint)
        icons |= biMaximize;
    if (flags & Qt::WindowContextHelpButtonHint)
        icons |= biHelp;
    return icons;
}

// --- TVexaCaption -----------------------------------------------------------------------------

namespace {

QWidget* RequireForm(QObject* owner)
{
    auto* form = qobject_cast<QWidget*>(owner);
    if (!form || !form->isWindow())
        throw base::Exception("The VexaCaption's owner must be a Form!");
    return form;
}

QFont Plain(QFont font)
{
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

} // namespace

TVexaCaption::TVexaCaption(QObject* owner)
    : QObject(RequireForm(owner)),
      form_(static_cast<QWidget*>(owner)),
      savedFlags_(form_->windowFlags()),
      savedMargins_(form_->contentsMargins()),
      borderIcons_(BorderIconsOf(savedFlags_)),
      activeBegin_(clNavy),
      activeEnd_(clBlue),
      activeFont_(clWhite),
      inactiveBegin_(clGray),
      inactiveEnd_(clSilver),
      inactiveFont_(clSilver),
      applicationNameFont_(form_->font()),
      captionFont_(Plain(form_->font()))
{
    applicationNameFont_.setBold(true);
    for (int kind = cbClose; kind <= cbHelp; ++kind)
        buttons_[std::size_t(kind)] = std::make_unique<TVexaCaptionSystemButton>(*this, TCaptionButtonKind(kind));
    if (BorderStyle() != TBorderStyle::bsNone) {
        const bool wasVisible = form_->isVisible();
        form_->setWindowFlags(savedFlags_ | Qt::FramelessWindowHint);
        if (wasVisible)
            form_->show();
    }
    frame_ = new CaptionFrame(*this, form_);
    frame_->show();
    applyFrame();
    form_->installEventFilter(this);
}

TVexaCaption::~TVexaCaption()
{
    // While the window deletes its children it has already dropped us from its list: a dying
    // window needs nothing back.
    if (!form_->children().contains(this))
        return;
    form_->removeEventFilter(this);
    delete frame_;
    form_->setContentsMargins(savedMargins_);
    if (form_->windowFlags() != savedFlags_) {
        const bool wasVisible = form_->isVisible();
        form_->setWindowFlags(savedFlags_);
        if (wasVisible)
            form_->show();
    }
}

template <typename T>
void TVexaCaption::store(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    Repaint();
}

void TVexaCaption::SetActiveBeginColor(const QColor& value) { store(activeBegin_, value); }
void TVexaCaption::SetActiveEndColor(const QColor& value) { store(activeEnd_, value); }
void TVexaCaption::SetActiveFontColor(const QColor& value) { store(activeFont_, value); }
void TVexaCaption::SetInactiveBeginColor(const QColor& value) { store(inactiveBegin_, value); }
void TVexaCaption::SetInactiveEndColor(const QColor& value) { store(inactiveEnd_, value); }
void TVexaCaption::SetInactiveFontColor(const QColor& value) { store(inactiveFont_, value); }
void TVexaCaption::SetApplicationName(const QString& value) { store(applicationName_, value); }
void TVexaCaption::SetNumColors(int value) { store(numColors_, value); }
void TVexaCaption::SetAutoSize(bool value) { store(autoSize_, value); }

void TVexaCaption::SetApplicationNameFont(const QFont& value)
{
    applicationNameFont_ = value;
    Repaint();
}

void TVexaCaption::SetCaptionFont(const QFont& value)
{
    captionFont_ = value;
    Repaint();
}

void TVexaCaption::fitFonts(int textHeight)
{
    const int pixels = std::max(1, textHeight - 5);
    applicationNameFont_.setPixelSize(pixels);
    captionFont_.setPixelSize(pixels);
}

TBorderStyle TVexaCaption::BorderStyle() const
{
    return BorderStyleOf(savedFlags_, form_->minimumSize() == form_->maximumSize());
}

CaptionMetrics TVexaCaption::Metrics() const
{
    const QStyle* style = form_->style();
    QStyleOptionTitleBar option;
    option.initFrom(form_);
    option.titleBarFlags = Qt::Window;
    const int caption = style->pixelMetric(QStyle::PM_TitleBarHeight, &option, form_);
    option.titleBarFlags = Qt::Tool;
    const int smallCaption = style->pixelMetric(QStyle::PM_TitleBarHeight, &option, form_);
    const int frame = std::max(1, style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, form_));
    CaptionMetrics m;
    m.cxFrame = m.cyFrame = frame;
    m.cxDlgFrame = m.cyDlgFrame = std::max(1, frame - 1);
    m.cyCaption = caption;
    m.cySmCaption = smallCaption;
    m.cxSize = m.cySize = caption - 1;
    m.cxSmSize = smallCaption - 1;
    return m;
}

CaptionLayout TVexaCaption::Layout() const
{
    return ComputeCaptionLayout(BorderStyle(), borderIcons_, form_->isMinimized(), form_->size(), Metrics());
}

bool TVexaCaption::Active() const
{
    return form_->isActiveWindow();
}

void TVexaCaption::Repaint()
{
    if (frame_)
        frame_->update();
}

void TVexaCaption::applyFrame()
{
    const CaptionLayout l = Layout();
    const QMargins margins(l.frameWidth, l.frameHeight + l.captionHeight, l.frameWidth, l.frameHeight);
    if (form_->contentsMargins() != margins)
        form_->setContentsMargins(margins);
    if (frame_)
        frame_->Follow();
}

bool TVexaCaption::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == form_) {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::WindowStateChange:
        case QEvent::StyleChange:
            applyFrame();
            break;
        case QEvent::ActivationChange:
        case QEvent::WindowTitleChange:
        case QEvent::WindowIconChange:
        case QEvent::PaletteChange:
            Repaint();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

std::unique_ptr<QMenu> TVexaCaption::PrepareSystemMenu()
{
    auto menu = std::make_unique<QMenu>();
    auto add = [&](const QString& text, TSysCommand command) {
        QAction* action = menu->addAction(text);
        action->setData(int(command));
        return action;
    };
    QAction* restore = add(tr("&Restore"), TSysCommand::SC_RESTORE);
    QAction* move = add(tr("&Move"), TSysCommand::SC_MOVE);
    QAction* size = add(tr("&Size"), TSysCommand::SC_SIZE);
    QAction* minimize = add(tr("Mi&nimize"), TSysCommand::SC_MINIMIZE);
    QAction* maximize = add(tr("Ma&ximize"), TSysCommand::SC_MAXIMIZE);
    menu->addSeparator();
    QAction* close = add(tr("&Close\tAlt+F4"), TSysCommand::SC_CLOSE);
    menu->setDefaultAction(close);

    const bool zoomed = form_->isMaximized();
    const bool iconic = form_->isMinimized();
    if (zoomed || iconic) {
        size->setEnabled(false);
        move->setEnabled(false);
        (zoomed ? maximize : minimize)->setEnabled(false);
        menu->setDefaultAction(restore);
    } else {
        restore->setEnabled(false);
    }
    const CaptionLayout l = Layout();
    if (!l.shown[cbMaximize] || !l.enabled[cbMaximize])
        maximize->setEnabled(false);
    if (!l.shown[cbMinimize] || !l.enabled[cbMinimize])
        minimize->setEnabled(false);
    return menu;
}

void TVexaCaption::RunSystemMenu(QPoint screenPos)
{
    const std::unique_ptr<QMenu> menu = PrepareSystemMenu();
    if (QAction* chosen = ExecPopup(*menu, screenPos))
        SysCommand(TSysCommand(chosen->data().toInt()));
}

void TVexaCaption::SysCommand(TSysCommand command)
{
    QWindow* window = form_->windowHandle();
    switch (command) {
    case TSysCommand::SC_CLOSE:
        form_->close();
        return;
    case TSysCommand::SC_MINIMIZE:
        form_->showMinimized();
        return;
    case TSysCommand::SC_MAXIMIZE:
        form_->showMaximized();
        return;
    case TSysCommand::SC_RESTORE:
        form_->showNormal();
        return;
    case TSysCommand::SC_CONTEXTHELP:
        QWhatsThis::enterWhatsThisMode();
        return;
    case TSysCommand::SC_MOVE:
        if (window)
            window->startSystemMove();
        return;
    case TSysCommand::SC_SIZE:
        if (window)
            window->startSystemResize(Qt::RightEdge | Qt::BottomEdge);
        return;
    }
}

} // namespace decor
