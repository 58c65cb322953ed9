// TLS on the socket's connection: the platform's session carries the bytes, so sending,
// receiving and the events stay as they are.
#include "wsocket/WSocket.h"

namespace net = platform::net;

void TCustomWSocket::StartTls(const net::TlsOptions& options)
{
    tlsHandle_ = handle_;
    if (net::WSAStartTls(handle_, options) == SOCKET_ERROR) {
        const std::string why = net::WSATlsFailure(handle_);
        if (!why.empty())
            return ReportError("StartTls: " + why);
        SocketError("StartTls");
    }
}

std::string TCustomWSocket::TlsFailure() const
{
    return handle_ == INVALID_SOCKET ? std::string() : net::WSATlsFailure(handle_);
}
