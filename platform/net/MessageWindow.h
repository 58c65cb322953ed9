#pragma once
// The stand-in for a hidden window: a QObject that receives posted messages (number, wParam,
// lParam) as events and hands each to its owner's handler, on the thread the window lives in.
#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>

namespace platform::net {

constexpr unsigned WM_USER = 0x400;

using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;

class MessageWindow : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(unsigned message, WPARAM wParam, LPARAM lParam)>;

    explicit MessageWindow(Handler handler = {}, QObject* parent = nullptr);
    ~MessageWindow() override;

    // The handler runs inside event dispatch; it must not let an exception escape unless the
    // application object catches exceptions in notify(). An empty handler drops every message.
    void setHandler(Handler handler);

    // PostMessage: queued, delivered later from the event loop in posting order. May be called
    // from any thread as long as the window outlives the call. A message posted with a guard is
    // dropped at delivery when the guard has expired (a notification for a socket that has been
    // closed meanwhile, whose number may already belong to a new socket).
    void post(unsigned message, WPARAM wParam, LPARAM lParam);
    void post(unsigned message, WPARAM wParam, LPARAM lParam, std::weak_ptr<const void> guard);

    // SendMessage: runs the handler at once, on the calling thread.
    void send(unsigned message, WPARAM wParam, LPARAM lParam);

protected:
    bool event(QEvent* e) override;

private:
    Handler handler_;
};

// Both Winsock lParam layouts: event bits or buffer length low, error code high.
constexpr LPARAM makeSelectLParam(unsigned lowWord, int error)
{
    return static_cast<LPARAM>((static_cast<std::uint32_t>(error & 0xFFFF) << 16) | (lowWord & 0xFFFF));
}
constexpr unsigned WSAGETSELECTEVENT(LPARAM lParam)
{
    return static_cast<unsigned>(lParam & 0xFFFF);
}
constexpr int WSAGETSELECTERROR(LPARAM lParam)
{
    return static_cast<int>((lParam >> 16) & 0xFFFF);
}
constexpr unsigned WSAGETASYNCBUFLEN(LPARAM lParam)
{
    return WSAGETSELECTEVENT(lParam);
}
constexpr int WSAGETASYNCERROR(LPARAM lParam)
{
    return WSAGETSELECTERROR(lParam);
}

} // namespace platform::net
