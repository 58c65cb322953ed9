// Opening, listening, accepting, adopting and closing handles; socket options and the
// address queries.
#include "wsocket/WSocket.h"

namespace net = platform::net;

namespace {

constexpr long kConnectEvents = net::FD_READ | net::FD_WRITE | net::FD_ACCEPT | net::FD_CONNECT | net::FD_CLOSE;
constexpr long kListenEvents = net::FD_READ | net::FD_WRITE | net::FD_ACCEPT | net::FD_CLOSE;
constexpr long kConnectedEvents = net::FD_READ | net::FD_WRITE | net::FD_CONNECT | net::FD_CLOSE;
constexpr int kCloseRetryMs = 10;

sockaddr* asSockaddr(sockaddr_in& address)
{
    return reinterpret_cast<sockaddr*>(&address);
}

} // namespace

void TCustomWSocket::Connect()
{
    if (handle_ != INVALID_SOCKET && state_ != wsClosed)
        return ReportError("Connect: Socket already in use");
    if (!portAssigned_)
        return ReportError("Connect: No Port Specified");
    if (!addrAssigned_)
        return ReportError("Connect: No IP Address Specified");
    if (!protoAssigned_)
        return ReportError("Connect: No Protocol Specified");

    handle_ = net::socket(addrFamily_, type_, proto_);
    if (handle_ == INVALID_SOCKET)
        return SocketError("Connect (socket)");
    connectionToken_ = std::make_shared<int>(0);
    ChangeState(wsOpened);

    if (type_ == SOCK_DGRAM) {
        BindToAnyPort();
        if (sin_.sin_addr.s_addr == INADDR_BROADCAST) {
            const int on = 1;
            if (net::setsockopt(handle_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == SOCKET_ERROR)
                return SocketError("setsockopt(SO_BROADCAST)");
        }
    } else {
        ApplyLinger();
        const int allBits = -1;
        if (net::setsockopt(handle_, SOL_SOCKET, SO_KEEPALIVE, &allBits, sizeof allBits) == SOCKET_ERROR)
            return SocketError("setsockopt(SO_KEEPALIVE)");
        if (net::setsockopt(handle_, SOL_SOCKET, SO_REUSEADDR, &allBits, sizeof allBits) == SOCKET_ERROR)
            return SocketError("setsockopt(SO_REUSEADDR)");
    }
    if (net::WSAAsyncSelect(handle_, window_.get(), WM_SOCKET_EVENT, kConnectEvents) == SOCKET_ERROR)
        return SocketError("WSAAsyncSelect");

    if (type_ == SOCK_DGRAM) {
        ChangeState(wsConnected);
        TriggerSessionConnected(0);
        return;
    }
    if (net::connect(handle_, asSockaddr(sin_), sizeof sin_) == 0 || net::WSAGetLastError() == net::WSAEWOULDBLOCK) {
        ChangeState(wsConnecting);
        return;
    }
    lastError_ = net::WSAGetLastError();
    SocketError("Connect");
}

std::uint16_t TCustomWSocket::BindToAnyPort()
{
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_addr.s_addr = INADDR_ANY;
    if (net::bind(handle_, asSockaddr(any), sizeof any) == SOCKET_ERROR) {
        ReportErrorFmt("winsock.bind failed, error #%d", net::WSAGetLastError());
        return localPortNum_;
    }
    sockaddr_in bound{};
    int length = sizeof bound;
    if (net::getsockname(handle_, asSockaddr(bound), &length) == SOCKET_ERROR) {
        ReportErrorFmt("winsock.getsockname failed, error #%d", net::WSAGetLastError());
        return localPortNum_;
    }
    localPortNum_ = ntohs(bound.sin_port);
    return localPortNum_;
}

void TCustomWSocket::ApplyLinger()
{
    if (lingerOnOff_ == wsLingerNoSet)
        return;
    if (handle_ == INVALID_SOCKET)
        return ReportError("Cannot set linger option at this time");
    // Winsock's fields are 16 bits wide.
    const linger option{static_cast<std::uint16_t>(lingerOnOff_), static_cast<std::uint16_t>(lingerTimeout_)};
    if (net::setsockopt(handle_, SOL_SOCKET, SO_LINGER, &option, sizeof option) == SOCKET_ERROR)
        SocketError("setsockopt(SO_LINGER)");
}

int TCustomWSocket::Listen()
{
    const char* missing = !portAssigned_    ? "listen: port not assigned"
                          : !protoAssigned_ ? "listen: protocol not assigned"
                          : !addrAssigned_  ? "listen: address not assigned"
                                            : nullptr;
    if (missing) {
        net::WSASetLastError(net::WSAEINVAL);
        SocketError(missing);
        return -1;
    }
    handle_ = net::socket(addrFamily_, type_, proto_);
    if (handle_ == INVALID_SOCKET) {
        SocketError("socket");
        return -1;
    }
    connectionToken_ = std::make_shared<int>(0);
    if (net::bind(handle_, asSockaddr(sin_), sizeof sin_) == SOCKET_ERROR) {
        SocketError("Bind");
        Close();
        return -1;
    }
    ChangeState(wsBound);
    if (type_ == SOCK_DGRAM) {
        ChangeState(wsListening);
        ChangeState(wsConnected);
        TriggerSessionConnected(0);
    } else {
        if (net::listen(handle_, 5) == SOCKET_ERROR) {
            SocketError("Listen");
            return -1;
        }
        ChangeState(wsListening);
    }
    if (net::WSAAsyncSelect(handle_, window_.get(), WM_SOCKET_EVENT, kListenEvents) == 0)
        return 0;
    SocketError("WSAASyncSelect");
    return -1;
}

SOCKET TCustomWSocket::Accept()
{
    if (state_ != wsListening) {
        net::WSASetLastError(net::WSAEINVAL);
        SocketError("not a listening socket");
        return INVALID_SOCKET;
    }
    int length = sizeof sin_;
    acceptedHandle_ = net::accept(handle_, asSockaddr(sin_), &length);
    if (acceptedHandle_ == INVALID_SOCKET)
        SocketError("Accept");
    return acceptedHandle_;
}

void TCustomWSocket::Dup(SOCKET newHandle)
{
    if (newHandle == 0 || newHandle == INVALID_SOCKET) {
        net::WSASetLastError(net::WSAEINVAL);
        return SocketError("Dup");
    }
    if (state_ != wsClosed) {
        const int result = net::closesocket(handle_);
        handle_ = INVALID_SOCKET;
        connectionToken_.reset();
        if (result == SOCKET_ERROR)
            return SocketError("Dup (closesocket)");
        ChangeState(wsClosed);
    }
    handle_ = newHandle;
    connectionToken_ = std::make_shared<int>(0);
    ApplyLinger();
    if (net::WSAAsyncSelect(handle_, window_.get(), WM_SOCKET_EVENT, kConnectedEvents) == SOCKET_ERROR)
        return SocketError("WSAAsyncSelect");
    ChangeState(wsConnected);
}

// Bytes of a closed connection must never go out first on the next one.
void TCustomWSocket::DiscardSendQueue()
{
    bufferList_.clear();
}

void TCustomWSocket::Close()
{
    InternalClose(true);
}

void TCustomWSocket::Abort()
{
    InternalClose(false);
}

void TCustomWSocket::InternalClose(bool withShutdown)
{
    if (handle_ == INVALID_SOCKET) {
        if (state_ != wsClosed) {
            ChangeState(wsClosed);
            ResetToDefaults();
        }
        return;
    }
    if (state_ == wsClosed) {
        // Only a Listen whose bind failed gets here: the handle never left wsClosed. Close it
        // quietly instead of leaking it.
        net::closesocket(handle_);
        handle_ = INVALID_SOCKET;
        connectionToken_.reset();
        return;
    }
    if (withShutdown)
        Shutdown(net::SD_BOTH);
    while (net::closesocket(handle_) == SOCKET_ERROR) {
        lastError_ = net::WSAGetLastError();
        if (lastError_ != net::WSAEWOULDBLOCK) {
            handle_ = INVALID_SOCKET;
            connectionToken_.reset();
            return SocketError("Disconnect (closesocket)");
        }
        // Both modes: one pass of the event loop, asleep until something arrives or a short
        // while has passed (nothing need arrive for the close to become possible).
        WaitMultiThreaded(0, [] { return false; }, kCloseRetryMs);
    }
    handle_ = INVALID_SOCKET;
    connectionToken_.reset();
    DiscardSendQueue();
    ChangeState(wsClosed);
    if (!destroying_ && !closeReported_ && OnSessionClosed) {
        closeReported_ = true;
        TriggerSessionClosed(0);
    }
    ResetToDefaults();
}

int TCustomWSocket::Shutdown(int how)
{
    if (handle_ == INVALID_SOCKET)
        return 0;
    return net::shutdown(handle_, how);
}

int TCustomWSocket::Pause()
{
    paused_ = true;
    return net::WSAAsyncSelect(handle_, window_.get(), 0, 0);
}

int TCustomWSocket::Resume()
{
    paused_ = false;
    return net::WSAAsyncSelect(handle_, window_.get(), WM_SOCKET_EVENT, kConnectedEvents);
}

std::string TCustomWSocket::GetPeerAddr()
{
    if (state_ != wsConnected)
        return "error";
    sockaddr_in peer{};
    int length = sizeof peer;
    if (net::getpeername(handle_, asSockaddr(peer), &length) == SOCKET_ERROR) {
        SocketError("GetPeerName");
        return "error";
    }
    return net::inet_ntoa(peer.sin_addr);
}

int TCustomWSocket::GetPeerSockAddr(sockaddr_in& address, int length)
{
    if (state_ != wsConnected)
        return -1;
    return net::getpeername(handle_, asSockaddr(address), &length);
}

std::string TCustomWSocket::GetLocalPort()
{
    if (state_ != wsBound && state_ != wsConnected && state_ != wsListening)
        return "error";
    sockaddr_in local{};
    int length = sizeof local;
    if (net::getsockname(handle_, asSockaddr(local), &length) == SOCKET_ERROR)
        return "error";
    return std::to_string(ntohs(local.sin_port));
}

int TCustomWSocket::GetLocalSockAddr(sockaddr_in& address, int& length)
{
    return net::getsockname(handle_, asSockaddr(address), &length);
}

bool TCustomWSocket::TimevalIsSet(const timeval& tv) const
{
    return tv.tv_sec != 0 || tv.tv_usec != 0;
}

void TCustomWSocket::TimevalClear(timeval& tv) const
{
    tv.tv_sec = 0;
    tv.tv_usec = 0;
}

bool TCustomWSocket::TimevalEqual(const timeval& a, const timeval& b, bool wantEqual) const
{
    return (a.tv_sec == b.tv_sec && a.tv_usec == b.tv_usec) == wantEqual;
}
