#pragma once
// TLS on a socket of this library. After WSAStartTls the socket's own calls (recv, send,
// sendv, and recvfrom/sendto as if they were recv/send, ioctlsocket FIONREAD, shutdown,
// closesocket) carry plaintext and the library turns
// it into TLS records on the wire; the program keeps its Winsock code and its notifications:
// - The handshake runs in the background, driven by the asynchronous select. Its end is
//   posted as FD_CONNECT: error 0 and then FD_WRITE when it succeeded; WSAECONNABORTED when it
//   failed, after which WSATlsFailure says why and the socket gets no further notification.
//   On a socket whose connect is still under way the TCP completion is not posted at all:
//   FD_CONNECT means "connected and secured". Started on a connected socket (after a proxy's
//   CONNECT, or an FTP "AUTH TLS" reply) FD_CONNECT is posted a second time, for the handshake.
// - FD_READ means decrypted bytes wait; the next one only after recv, as on a plain socket.
//   FD_CLOSE comes once those bytes are read: error 0 when the peer ended the session
//   properly (close_notify), WSAECONNRESET when the connection ended without it (the data may
//   be cut short), WSAECONNABORTED when the peer sent something that is not valid TLS.
// - FD_WRITE after a send that would block or was cut short, once the records have gone out.
//   An empty send returns 0 once every record of earlier sends has left, and would-block (with
//   FD_WRITE to follow) while some still wait: how a caller knows its last bytes are on the wire.
// - shutdown(SD_SEND or SD_BOTH) sends close_notify first. Nothing ever falls back to plain
//   text: a failed session fails every call with WSAECONNABORTED.
// The socket is selected with WSAAsyncSelect, or driven by its calls: on a socket that is not
// selected (no mask) recv and WSATlsProgress move what the descriptor holds into the session
// themselves, without waiting, so a caller may sleep in poll() on the descriptor between calls
// while the event loop does not turn. It is made non-blocking either way.
#include "platform/net/Sockets.h"
#include "platform/net/TlsEngine.h"

#include <string>

namespace platform::net {

// Starts a TLS client session on s, connecting (after connect) or connected. 0, or
// SOCKET_ERROR: WSAENOTSOCK (not an open stream socket), WSAEINVAL (TLS already started, or a
// CA file that cannot be read: WSATlsFailure says which), WSAENOTCONN (not connected).
int WSAStartTls(SOCKET s, const TlsOptions& options);

// Where the session of s stands. On a socket that is not selected it first takes in what has
// arrived (the handshake goes on, records are decrypted), without waiting.
struct TlsState {
    bool secured = false;   // TLS was started on s
    bool established = false;
    bool failed = false;    // WSATlsFailure says why
    bool ended = false;     // the peer closed (or the connection broke) and every byte was read
    std::size_t decrypted = 0; // plaintext bytes waiting for recv
    std::string version;    // "TLS 1.3" once established
    bool resumed = false;   // the server resumed the offered session
    TlsSession session;     // to offer a later connection to the same server
};
TlsState WSATlsProgress(SOCKET s);

// Why TLS failed on s; empty while nothing failed. Kept until closesocket.
std::string WSATlsFailure(SOCKET s);

} // namespace platform::net
