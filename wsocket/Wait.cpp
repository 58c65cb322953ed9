#include "wsocket/Wait.h"

#include "wsocket/SocketAddress.h"

#include <QApplication>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

// Swallows the user's key presses and button clicks while a modal wait runs.
class InputSwallower : public QObject {
public:
    InputSwallower() { qApp->installEventFilter(this); }
    ~InputSwallower() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            QApplication::beep();
            return true;
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::KeyRelease:
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            const auto button = static_cast<QMouseEvent*>(event)->button();
            if (button != Qt::LeftButton && button != Qt::RightButton)
                return false;
            QApplication::beep();
            return true;
        }
        default:
            return false;
        }
    }
};

int captionValue(const std::string& caption)
{
    return static_cast<int>(DecimalValue(caption));
}

// A Windows-style Rectangle(left, top, right, bottom): outline and fill, right and bottom
// edges excluded.
void drawBox(QPainter& painter, int left, int top, int right, int bottom)
{
    if (right - left < 1 || bottom - top < 1)
        return;
    painter.drawRect(left, top, right - left - 1, bottom - top - 1);
}

} // namespace

TCustomWait::TCustomWait(QWidget* owner) : QWidget(owner)
{
    resize(192, 32);
    QFont font("Courier");
    font.setPointSize(8);
    font.setFixedPitch(true);
    font.setStyleHint(QFont::TypeWriter);
    setFont(font);
    timer_.setInterval(1000);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
}

TCustomWait::~TCustomWait() = default;

void TCustomWait::SetCaption(const std::string& caption)
{
    caption_ = caption;
    update();
}

void TCustomWait::Start()
{
    initialCount_ = captionValue(caption_);
    if (initialCount_ == 0) {
        initialCount_ = 15;
        SetCaption("15");
    }
    timer_.start();
    if (OnWaitStart)
        OnWaitStart(this);
}

void TCustomWait::Stop()
{
    modalResult_ = 1;
    timer_.stop();
    SetCaption(std::to_string(initialCount_));
    if (OnWaitStop)
        OnWaitStop(this);
}

void TCustomWait::Run()
{
    const InputSwallower swallower;
    modalResult_ = 0;
    Start();
    while (Running()) {
        if (OnWaiting)
            OnWaiting(this);
        // The countdown timer wakes this at least once per tick.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void TCustomWait::ResetCaption()
{
    SetCaption(std::to_string(initialCount_));
}

void TCustomWait::Tick()
{
    const int count = captionValue(caption_) - 1;
    if (OnWait)
        OnWait(this, count);
    if (count > 0) {
        SetCaption(std::to_string(count));
    } else {
        timer_.stop();
        modalResult_ = 2;
        SetCaption(std::to_string(initialCount_));
        if (OnTimeout)
            OnTimeout(this);
    }
    update();
}

void TCustomWait::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QPen(Qt::black, 0));
    painter.setFont(font());
    const int w = width();
    const int h = height();
    painter.setBrush(Qt::white);
    drawBox(painter, 0, 0, w - 1, h - 1);

    const QColor highlight = palette().color(QPalette::Highlight);
    painter.setBrush(highlight);
    // A count above the initial one would draw past the frame: the bar stops inside it.
    const int count = captionValue(caption_);
    const int barRight = std::min(3 + static_cast<int>(static_cast<long long>(count) * (w - 7) / initialCount_), w - 4);
    drawBox(painter, 3, 3, barRight, h - 4);

    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(highlight);
    const QFontMetrics metrics(font());
    painter.drawText(QRect(4, h / 2 - 8, w - 8, metrics.height()), Qt::AlignLeft | Qt::AlignTop,
                     QString::fromStdString(caption_));
}
