#include "platform/net/MessageWindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <optional>
#include <utility>

namespace platform::net {

namespace {

QEvent::Type messageEventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

class MessageEvent : public QEvent {
public:
    MessageEvent(unsigned message, WPARAM wParam, LPARAM lParam, std::optional<std::weak_ptr<const void>> guard)
        : QEvent(messageEventType()), message(message), wParam(wParam), lParam(lParam), guard(std::move(guard))
    {
    }
    bool stale() const { return guard && guard->expired(); }

    const unsigned message;
    const WPARAM wParam;
    const LPARAM lParam;
    const std::optional<std::weak_ptr<const void>> guard;
};

} // namespace

MessageWindow::MessageWindow(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler))
{
    messageEventType();
}

MessageWindow::~MessageWindow() = default;

void MessageWindow::setHandler(Handler handler)
{
    handler_ = std::move(handler);
}

void MessageWindow::post(unsigned message, WPARAM wParam, LPARAM lParam)
{
    QCoreApplication::postEvent(this, new MessageEvent(message, wParam, lParam, std::nullopt));
}

void MessageWindow::post(unsigned message, WPARAM wParam, LPARAM lParam, std::weak_ptr<const void> guard)
{
    QCoreApplication::postEvent(this, new MessageEvent(message, wParam, lParam, std::move(guard)));
}

void MessageWindow::send(unsigned message, WPARAM wParam, LPARAM lParam)
{
    if (handler_)
        handler_(message, wParam, lParam);
}

bool MessageWindow::event(QEvent* e)
{
    if (e->type() != messageEventType())
        return QObject::event(e);
    const auto* m = static_cast<MessageEvent*>(e);
    if (m->stale())
        return true;
    // A copy: the handler may replace itself or destroy the owner's state.
    const Handler handler = handler_;
    if (handler)
        handler(m->message, m->wParam, m->lParam);
    return true;
}

} // namespace platform::net
