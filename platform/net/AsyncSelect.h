#pragma once
// WSAAsyncSelect over QSocketNotifier, with Winsock's re-enabling rules:
// - FD_READ / FD_ACCEPT: posted once when data / a connection waits; the next one only after
//   the program has called recv/recvfrom / accept again (through Sockets.h).
// - FD_CLOSE: posted once per connection, when the peer has closed (a peek reads 0 bytes) or
//   reset it (error code in the high word); the handle gets no further FD_READ.
// - FD_CONNECT: posted when a connect started through Sockets.h completes, with the socket's
//   error mapped to Winsock (10061 for a refusal); on success FD_WRITE follows. A connection
//   the peer reset before the completion was seen is a success followed by FD_CLOSE(10054).
// - FD_WRITE: posted after a successful connect, at selection time when the socket is already
//   connected, and after a send that would block or was cut short, once there is room again.
// Messages are posted to the window with wParam = the socket and lParam = event bit in the low
// word, error code in the high word; one event bit per message. Messages still queued when the
// socket is closed are dropped at delivery, so a reused descriptor number never receives them.
#include "platform/net/MessageWindow.h"
#include "platform/net/Sockets.h"

namespace platform::net {

constexpr long FD_READ = 0x01;
constexpr long FD_WRITE = 0x02;
constexpr long FD_OOB = 0x04;
constexpr long FD_ACCEPT = 0x08;
constexpr long FD_CONNECT = 0x10;
constexpr long FD_CLOSE = 0x20;

// Makes the socket non-blocking and asks for the events of mask on window as message.
// A mask of 0 stops all notifications (queued messages still arrive); a later call with a mask
// re-evaluates the socket and posts what is already true. Returns 0 or SOCKET_ERROR
// (WSAENOTSOCK for a handle that is not an open socket, WSAEINVAL for a missing window).
int WSAAsyncSelect(SOCKET s, MessageWindow* window, unsigned message, long mask);

} // namespace platform::net
