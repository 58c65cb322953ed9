// Waits that keep the event loop turning: Wait, WaitForClose and the helpers behind Flush,
// ReadLine and the close retry. None spins: each pass sleeps until an event arrives.
#include "wsocket/WSocket.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

namespace net = platform::net;

void TCustomWSocket::ProcessPendingMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TCustomWSocket::ProcessApplicationMessages()
{
    // The wait control's timer or a socket notification wakes this up.
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

bool TCustomWSocket::WaitMultiThreaded(int timeoutSeconds, const std::function<bool()>& done, int extraMs)
{
    const QDeadlineTimer deadline(std::chrono::milliseconds(std::max(timeoutSeconds, 0) * 1000LL + extraMs),
                                  Qt::PreciseTimer);
    // Re-armed on every pass: a coarse or spent timer would let WaitForMoreEvents sleep on.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    QObject::connect(&wake, &QTimer::timeout, &wake, [] {});
    while (!done()) {
        const qint64 left = deadline.remainingTime();
        if (left <= 0)
            return false;
        wake.start(static_cast<int>(std::min<qint64>(left, 1 << 30)));
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void TCustomWSocket::RunWaitCtrl(int timeoutSeconds)
{
    waitCtrl_->SetCaption(std::to_string(timeoutSeconds));
    waitCtrl_->SetVisible(true);
    waitCtrl_->Run();
    if (waitCtrl_)
        waitCtrl_->SetVisible(false);
}

bool TCustomWSocket::Wait(int timeoutSeconds, TSocketState state)
{
    if (state_ == state)
        return true; // the state holds already
    awaitedState_ = state;
    const auto reached = [this, state] {
        return state_ == state || (state == wsConnected && state_ == wsClosed);
    };
    if (multiThreaded_) {
        WaitMultiThreaded(timeoutSeconds, reached);
    } else if (!waitCtrl_) {
        awaitedState_ = wsInvalidState;
        net::WSASetLastError(net::WSANO_DATA);
        SocketError("TWSocket.Wait");
        return false;
    } else {
        RunWaitCtrl(timeoutSeconds);
    }
    awaitedState_ = wsInvalidState;
    return state_ == state;
}

void TCustomWSocket::WaitForClose()
{
    while (handle_ != INVALID_SOCKET && state_ != wsClosed) {
        ProcessApplicationMessages();
        if (handle_ == INVALID_SOCKET || state_ == wsClosed)
            return;
        unsigned long waiting = 0;
        if (net::ioctlsocket(handle_, net::IoctlCommand::Fionread, &waiting) == SOCKET_ERROR)
            return;
        if (waiting > 0) {
            if (lineReceived_)
                ReadLineChars();
            else
                TriggerDataAvailable(0);
        }
        if (handle_ == INVALID_SOCKET)
            return;
        // A zero-byte recv tells nothing on Linux; a one-byte peek tells closed, reset or idle.
        char probe = 0;
        const int result = net::recv(handle_, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
        if (result <= 0) {
            lastError_ = result == 0 ? 0 : net::WSAGetLastError();
            if (lastError_ != net::WSAEWOULDBLOCK)
                return;
        }
        ProcessPendingMessages();
    }
}
