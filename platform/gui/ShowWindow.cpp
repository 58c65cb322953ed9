#include "platform/gui/ShowWindow.h"

#include <QEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace platform::gui {

namespace {

class ExposeWatcher : public QObject {
public:
    ExposeWatcher(QWindow* window, QEventLoop* loop) : window_(window), loop_(loop)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == window_ && event->type() == QEvent::Expose)
            QTimer::singleShot(0, loop_, [this] {
                if (window_->isExposed())
                    loop_->quit();
            });
        return false;
    }

private:
    QWindow* window_;
    QEventLoop* loop_;
};

} // namespace

bool ShowAndWaitUntilExposed(QWidget* window, int timeoutMs)
{
    window->show();
    QWindow* handle = window->windowHandle();
    if (!handle)
        return false;
    if (handle->isExposed())
        return true;
    QEventLoop loop;
    ExposeWatcher watcher(handle, &loop);
    QTimer timeout;
    timeout.setSingleShot(true);
    timeout.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    timeout.start(timeoutMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return handle->isExposed();
}

} // namespace platform::gui
