#include "platform/net/AsyncSelect.h"

#include "platform/net/FaultInjection.h"
#include "platform/net/SelectHooks.h"
#include "platform/net/SelectRegistry.h"

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace platform::net {

namespace detail {

namespace {

std::mutex registryMutex;
std::unordered_map<SOCKET, SelectionPtr>& registry()
{
    // Never destroyed: a socket still selected at exit must not have its notifiers deleted
    // after the application object has gone.
    static auto* sockets = new std::unordered_map<SOCKET, SelectionPtr>;
    return *sockets;
}

bool selected(const Selection& sel)
{
    return sel.mask != 0 && sel.readable;
}

} // namespace

SelectionPtr find(SOCKET s)
{
    std::lock_guard lock(registryMutex);
    auto it = registry().find(s);
    return it == registry().end() ? nullptr : it->second;
}

SelectionPtr findOrCreate(SOCKET s)
{
    std::lock_guard lock(registryMutex);
    auto& entry = registry()[s];
    if (!entry) {
        entry = std::make_shared<Selection>();
        entry->s = s;
        int type = 0;
        socklen_t len = sizeof type;
        entry->datagram = ::getsockopt(s, SOL_SOCKET, SO_TYPE, &type, &len) == 0 && type == SOCK_DGRAM;
    }
    return entry;
}

void post(const SelectionPtr& sel, long event, int error)
{
    if (!(sel->mask & event) || !sel->window)
        return;
    sel->window->post(sel->message, static_cast<WPARAM>(sel->s),
                      makeSelectLParam(static_cast<unsigned>(event), error),
                      std::weak_ptr<const void>(sel));
}

void enableRead(Selection& sel)
{
    if (selected(sel) && !sel.closePosted && !sel.connectFailed)
        sel.readable->setEnabled(true);
}

void enableWrite(Selection& sel)
{
    if (selected(sel))
        sel.writable->setEnabled(true);
}

bool isConnected(SOCKET s)
{
    sockaddr_storage peer{};
    socklen_t len = sizeof peer;
    return ::getpeername(s, reinterpret_cast<sockaddr*>(&peer), &len) == 0;
}

} // namespace detail

namespace {

using namespace detail;

bool isListening(SOCKET s)
{
    int listening = 0;
    socklen_t len = sizeof listening;
    return ::getsockopt(s, SOL_SOCKET, SO_ACCEPTCONN, &listening, &len) == 0 && listening;
}

// Level-triggered readiness becomes one message; the notifier stays off until the program
// reads (or accepts) again, so a socket nobody reads cannot flood the queue.
void onReadable(const SelectionPtr& sel)
{
    if (sel->listening) {
        sel->readable->setEnabled(false);
        post(sel, FD_ACCEPT, 0);
        return;
    }
    if (sel->tls)
        return tlsReadable(sel);
    char byte;
    const auto n = ::recv(sel->s, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return;
    sel->readable->setEnabled(false);
    if (sel->datagram || n > 0) {
        // A datagram socket has no close; its errors (an ICMP refusal) come out of recv.
        post(sel, FD_READ, 0);
        return;
    }
    sel->closePosted = true;
    post(sel, FD_CLOSE, n == 0 ? 0 : winsockErrorFromErrno(errno));
}

void onWritable(const SelectionPtr& sel)
{
    sel->writable->setEnabled(false);
    if (!sel->connectPending) {
        if (sel->tls)
            return tlsWritable(sel);
        post(sel, FD_WRITE, 0);
        return;
    }
    sel->connectPending = false;
    int soError = 0;
    socklen_t len = sizeof soError;
    if (::getsockopt(sel->s, SOL_SOCKET, SO_ERROR, &soError, &len) != 0)
        soError = errno;
    if (sel->tls && (soError == 0 || soError == ECONNRESET || soError == EPIPE)) {
        // The handshake reports the connection (FD_CONNECT once it is done); a reset shows up
        // as a handshake cut short.
        return tlsTransportConnected(sel);
    }
    if (soError == ECONNRESET || soError == EPIPE) {
        // The connection was made and the peer reset it before we looked: a connect that
        // succeeded, then a close with the reset code (what is readable still drains then).
        post(sel, FD_CONNECT, 0);
        sel->closePosted = true;
        post(sel, FD_CLOSE, WSAECONNRESET);
        return;
    }
    const int error = winsockErrorFromErrno(soError);
    sel->connectFailed = error != 0;
    post(sel, FD_CONNECT, error);
    if (error == 0) {
        post(sel, FD_WRITE, 0);
        enableRead(*sel);
    }
}

void stopNotifiers(Selection& sel)
{
    sel.readable.reset();
    sel.writable.reset();
}

} // namespace

int WSAAsyncSelect(SOCKET s, MessageWindow* window, unsigned message, long mask)
{
    if (faults::injectFailure())
        return SOCKET_ERROR;
    int type = 0;
    socklen_t len = sizeof type;
    if (s < 0 || ::getsockopt(s, SOL_SOCKET, SO_TYPE, &type, &len) != 0) {
        WSASetLastError(WSAENOTSOCK);
        return SOCKET_ERROR;
    }
    if (mask != 0 && window == nullptr) {
        WSASetLastError(WSAEINVAL);
        return SOCKET_ERROR;
    }
    const int flags = ::fcntl(s, F_GETFL);
    if (flags < 0 || ::fcntl(s, F_SETFL, flags | O_NONBLOCK) != 0)
        return setLastErrorFromErrno(), SOCKET_ERROR;

    const SelectionPtr sel = findOrCreate(s);
    sel->window = window;
    sel->message = message;
    sel->mask = mask;
    stopNotifiers(*sel);
    if (mask == 0)
        return 0;

    sel->readable = std::make_unique<QSocketNotifier>(s, QSocketNotifier::Read);
    sel->writable = std::make_unique<QSocketNotifier>(s, QSocketNotifier::Write);
    sel->readable->setEnabled(false);
    sel->writable->setEnabled(false);
    Selection* raw = sel.get();
    QObject::connect(sel->readable.get(), &QSocketNotifier::activated, [raw] {
        if (auto alive = find(raw->s); alive.get() == raw)
            onReadable(alive);
    });
    QObject::connect(sel->writable.get(), &QSocketNotifier::activated, [raw] {
        if (auto alive = find(raw->s); alive.get() == raw)
            onWritable(alive);
    });

    // Conditions already true are posted now, as Winsock does on a new selection. A stream
    // socket that is neither connected, connecting nor listening stays quiet: poll reports a
    // fresh socket as hung up, which must not read as a close.
    sel->listening = !sel->datagram && isListening(s);
    if (sel->listening) {
        enableRead(*sel);
    } else if (sel->connectPending) {
        enableWrite(*sel);
    } else if (sel->datagram || isConnected(s)) {
        enableRead(*sel);
        enableWrite(*sel);
        if (sel->tls)
            tlsSelected(sel);
    }
    return 0;
}

namespace detail {

void readCalled(SOCKET s)
{
    if (auto sel = find(s); sel && !sel->listening) {
        if (sel->tls)
            tlsReadCalled(sel);
        else
            enableRead(*sel);
    }
}

void acceptCalled(SOCKET s)
{
    if (auto sel = find(s); sel && sel->listening)
        enableRead(*sel);
}

void sendFellShort(SOCKET s)
{
    if (auto sel = find(s))
        enableWrite(*sel);
}

void connectStarted(SOCKET s, bool completed)
{
    // A connect that completed on a socket nobody selected is just a connected socket.
    const SelectionPtr sel = completed ? find(s) : findOrCreate(s);
    if (!sel)
        return;
    if (sel->datagram) {
        // A datagram connect only fixes the peer; there is nothing to wait for.
        enableRead(*sel);
        enableWrite(*sel);
        return;
    }
    sel->connectPending = true;
    sel->connectFailed = false;
    sel->closePosted = false;
    enableWrite(*sel);
}

void listenStarted(SOCKET s)
{
    if (auto sel = find(s)) {
        sel->listening = true;
        enableRead(*sel);
    }
}

void aboutToClose(SOCKET s)
{
    SelectionPtr sel;
    {
        std::lock_guard lock(registryMutex);
        auto it = registry().find(s);
        if (it == registry().end())
            return;
        sel = std::move(it->second);
        registry().erase(it);
    }
    stopNotifiers(*sel);
}

} // namespace detail

} // namespace platform::net
