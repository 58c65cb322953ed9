// The TLS path of the socket calls and of the asynchronous select: ciphertext moves between
// the descriptor and the session's memory buffers only when the descriptor is ready, so no
// call ever blocks; the notifications the program sees are decided here.
#include "platform/net/TlsSockets.h"

#include "platform/net/SelectRegistry.h"
#include "platform/net/TlsHooks.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <cerrno>
#include <fcntl.h>
#include <sys/socket.h>

namespace platform::net {

namespace detail {

struct TlsChannel {
    explicit TlsChannel(const TlsOptions& options) : engine(options) {}
    TlsEngine engine;
    bool handshaking = false;  // the transport is up, the handshake under way
    bool readArmed = true;     // FD_READ may be posted (cleared when posted, set by recv)
    bool writeWanted = false;  // a send was refused or cut short: FD_WRITE once records left
    bool writeAwaitsPeer = false; // that send waits for the peer's bytes, not for room
    bool reset = false;        // the transport ended with an error
    bool recheckQueued = false;
};

namespace {

// Ciphertext taken from the descriptor per readiness notification at most; the rest waits
// for the next one (after the program has read what this gave).
constexpr std::size_t kPumpLimit = 4u << 20;

// A socket without notifiers is driven by its calls (see TlsSockets.h).
bool drivenByCalls(const Selection& sel)
{
    return sel.mask == 0 || !sel.readable;
}

SelectionPtr tlsSelection(SOCKET s)
{
    SelectionPtr sel = find(s);
    return sel && sel->tls ? sel : nullptr;
}

int failWith(int code)
{
    WSASetLastError(code);
    return SOCKET_ERROR;
}

void pumpTransport(Selection& sel)
{
    TlsChannel& t = *sel.tls;
    char piece[64 * 1024];
    std::size_t taken = 0;
    while (taken < kPumpLimit && !t.engine.transportEnded()) {
        const ssize_t n = ::recv(sel.s, piece, sizeof piece, MSG_DONTWAIT);
        if (n > 0) {
            t.engine.receive(piece, static_cast<std::size_t>(n));
            taken += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break;
        } else {
            t.reset = n < 0;
            t.engine.endTransport();
        }
    }
}

// Sends what the session has written; a full descriptor re-arms the write notifier.
void flush(Selection& sel)
{
    TlsChannel& t = *sel.tls;
    for (std::string_view out; !(out = t.engine.outgoing()).empty();) {
        const ssize_t n = ::send(sel.s, out.data(), out.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            t.engine.sent(static_cast<std::size_t>(n));
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            enableWrite(sel);
            return;
        } else {
            t.reset = true;
            t.engine.endTransport();
            t.engine.sent(out.size());
        }
    }
}

// Decides what the program is told, from the session's state. Every path ends here.
void advance(const SelectionPtr& sel)
{
    TlsChannel& t = *sel->tls;
    if (t.handshaking) {
        t.engine.handshake();
        flush(*sel);
        if (t.engine.failed()) {
            t.handshaking = false;
            sel->connectFailed = true;
            post(sel, FD_CONNECT, WSAECONNABORTED);
            return;
        }
        if (!t.engine.established()) {
            enableRead(*sel);
            return;
        }
        t.handshaking = false;
        post(sel, FD_CONNECT, 0);
        post(sel, FD_WRITE, 0);
    }
    if (!t.engine.established())
        return;
    t.engine.decrypt();
    flush(*sel);
    if (t.writeAwaitsPeer && !t.engine.writeWantsPeer() && t.engine.outgoing().empty()) {
        t.writeAwaitsPeer = false;
        if (t.writeWanted) {
            t.writeWanted = false;
            post(sel, FD_WRITE, 0);
        }
    }
    if (t.engine.plaintextSize() > 0) {
        if (t.readArmed) {
            t.readArmed = false;
            post(sel, FD_READ, 0);
        }
        return;
    }
    if (sel->closePosted)
        return;
    if (t.engine.failed() || t.engine.closedByPeer() || t.engine.transportEnded()) {
        sel->closePosted = true;
        post(sel, FD_CLOSE, t.engine.failed() ? WSAECONNABORTED : t.engine.closedByPeer() ? 0 : WSAECONNRESET);
        return;
    }
    enableRead(*sel);
}

// What a notification would do, for a socket driven by its calls.
void takeInput(const SelectionPtr& sel)
{
    pumpTransport(*sel);
    advance(sel);
}

// Looks again from the event loop, once the current handler has returned (bytes the program
// left unread, or an end found by a recv).
void scheduleAdvance(const SelectionPtr& sel)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (sel->tls->recheckQueued || app == nullptr)
        return;
    sel->tls->recheckQueued = true;
    QMetaObject::invokeMethod(
        app,
        [weak = std::weak_ptr<Selection>(sel)] {
            const SelectionPtr alive = weak.lock();
            if (!alive || find(alive->s) != alive || !alive->tls)
                return;
            alive->tls->recheckQueued = false;
            advance(alive);
        },
        Qt::QueuedConnection);
}

} // namespace

void tlsTransportConnected(const SelectionPtr& sel)
{
    sel->connectPending = false;
    sel->tls->handshaking = true;
    advance(sel);
}

void tlsReadable(const SelectionPtr& sel)
{
    sel->readable->setEnabled(false);
    pumpTransport(*sel);
    advance(sel);
}

void tlsWritable(const SelectionPtr& sel)
{
    TlsChannel& t = *sel->tls;
    flush(*sel);
    if (!t.engine.outgoing().empty() || !t.engine.established())
        return;
    if (t.writeWanted) {
        t.writeWanted = false;
        post(sel, FD_WRITE, 0);
    }
}

void tlsReadCalled(const SelectionPtr& sel)
{
    TlsChannel& t = *sel->tls;
    t.readArmed = true;
    if (t.engine.plaintextSize() > 0 || t.engine.transportEnded() || t.engine.closedByPeer() || t.engine.failed())
        scheduleAdvance(sel);
    else if (t.engine.established())
        enableRead(*sel);
}

void tlsSelected(const SelectionPtr& sel)
{
    if (sel->tls->engine.established()) {
        sel->tls->writeWanted = true;
        scheduleAdvance(sel);
    }
}

bool tlsRecv(SOCKET s, void* buffer, int length, int flags, int& result)
{
    const SelectionPtr sel = tlsSelection(s);
    if (!sel)
        return false;
    TlsChannel& t = *sel->tls;
    if (drivenByCalls(*sel) && t.engine.plaintextSize() == 0)
        takeInput(sel);
    const std::size_t n = t.engine.read(static_cast<char*>(buffer), static_cast<std::size_t>(length),
                                        (flags & MSG_PEEK) != 0);
    if (n > 0)
        result = static_cast<int>(n);
    else if (t.engine.failed())
        result = failWith(WSAECONNABORTED);
    else if (t.engine.closedByPeer())
        result = 0;
    else if (t.engine.transportEnded())
        result = failWith(t.reset || t.engine.established() ? WSAECONNRESET : WSAECONNABORTED);
    else
        result = failWith(WSAEWOULDBLOCK);
    tlsReadCalled(sel);
    return true;
}

bool tlsSend(SOCKET s, const iovec* pieces, int count, int& result)
{
    const SelectionPtr sel = tlsSelection(s);
    if (!sel)
        return false;
    TlsChannel& t = *sel->tls;
    if (t.engine.failed()) {
        result = failWith(WSAECONNABORTED);
        return true;
    }
    if (t.engine.transportEnded()) {
        result = failWith(WSAECONNRESET);
        return true;
    }
    flush(*sel);
    if (!t.engine.established() || !t.engine.outgoing().empty()) {
        t.writeWanted = true;
        result = failWith(WSAEWOULDBLOCK);
        return true;
    }
    std::size_t taken = 0;
    std::size_t offered = 0;
    for (int i = 0; i < count; ++i) {
        const char* bytes = static_cast<const char*>(pieces[i].iov_base);
        offered += pieces[i].iov_len;
        for (std::size_t done = 0; done < pieces[i].iov_len && t.engine.outgoing().size() < kPumpLimit;) {
            const std::size_t n = t.engine.write(bytes + done, pieces[i].iov_len - done);
            if (n == 0)
                break;
            done += n;
            taken += n;
        }
    }
    flush(*sel);
    if (taken < offered) {
        t.writeWanted = true;
        // Waiting for the peer: the read side brings FD_WRITE (room alone would only bring a
        // refused send again, and again).
        t.writeAwaitsPeer = t.engine.writeWantsPeer();
        if (t.writeAwaitsPeer)
            enableRead(*sel);
        else
            enableWrite(*sel);
    }
    if (taken > 0)
        result = static_cast<int>(taken);
    else if (t.engine.failed())
        result = failWith(WSAECONNABORTED);
    else
        result = offered > 0 ? failWith(WSAEWOULDBLOCK) : 0;
    return true;
}

bool hasTls(SOCKET s)
{
    return tlsSelection(s) != nullptr;
}

bool tlsPending(SOCKET s, unsigned long& waiting)
{
    const SelectionPtr sel = tlsSelection(s);
    if (!sel)
        return false;
    waiting = sel->tls->engine.plaintextSize();
    return true;
}

void tlsShutdown(SOCKET s, int how)
{
    const SelectionPtr sel = tlsSelection(s);
    if (!sel || how == SD_RECEIVE)
        return;
    sel->tls->engine.close();
    flush(*sel);
}

} // namespace detail

int WSAStartTls(SOCKET s, const TlsOptions& options)
{
    int type = 0;
    socklen_t len = sizeof type;
    if (s < 0 || ::getsockopt(s, SOL_SOCKET, SO_TYPE, &type, &len) != 0 || type != SOCK_STREAM) {
        WSASetLastError(WSAENOTSOCK);
        return SOCKET_ERROR;
    }
    const detail::SelectionPtr sel = detail::findOrCreate(s);
    if (sel->tls) {
        WSASetLastError(WSAEINVAL);
        return SOCKET_ERROR;
    }
    const int flags = ::fcntl(s, F_GETFL);
    if (flags < 0 || ::fcntl(s, F_SETFL, flags | O_NONBLOCK) != 0)
        return setLastErrorFromErrno(), SOCKET_ERROR;
    // A connect completed while nobody watched: nothing will report it, so it counts as done.
    if (sel->connectPending && detail::drivenByCalls(*sel) && detail::isConnected(s))
        sel->connectPending = false;
    if (!sel->connectPending && !detail::isConnected(s)) {
        WSASetLastError(WSAENOTCONN);
        return SOCKET_ERROR;
    }
    sel->tls = std::make_shared<detail::TlsChannel>(options);
    if (sel->tls->engine.failed()) {
        WSASetLastError(WSAEINVAL);
        return SOCKET_ERROR;
    }
    if (!sel->connectPending)
        detail::tlsTransportConnected(sel);
    return 0;
}

TlsState WSATlsProgress(SOCKET s)
{
    const detail::SelectionPtr sel = detail::find(s);
    TlsState state;
    if (!sel || !sel->tls)
        return state;
    detail::TlsChannel& t = *sel->tls;
    if (detail::drivenByCalls(*sel) && !sel->connectPending)
        detail::takeInput(sel);
    state.secured = true;
    state.decrypted = t.engine.plaintextSize();
    state.established = t.engine.established();
    state.failed = t.engine.failed();
    state.ended = t.engine.plaintextSize() == 0 && (t.engine.closedByPeer() || t.engine.transportEnded());
    state.version = t.engine.version();
    state.resumed = t.engine.resumed();
    state.session = t.engine.session();
    return state;
}

std::string WSATlsFailure(SOCKET s)
{
    const detail::SelectionPtr sel = detail::find(s);
    return sel && sel->tls ? sel->tls->engine.failure() : std::string();
}

} // namespace platform::net
