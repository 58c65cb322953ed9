#pragma once
// BSD socket calls in Winsock 1.1 dress: each returns what its Winsock namesake returns
// (SOCKET_ERROR / INVALID_SOCKET on failure) and leaves the Winsock code of a failure in
// WSAGetLastError(). Interrupted calls are retried. Sends never raise SIGPIPE.
// The calls also keep the asynchronous select (AsyncSelect.h) informed: recv/recvfrom
// re-enable FD_READ, accept re-enables FD_ACCEPT, a send that would block or was cut short
// re-arms FD_WRITE, connect arms FD_CONNECT, and closesocket drops all notifications of the
// handle before its number can be reused.
#include "platform/net/WinsockErrors.h"

#include <cstdint>
#include <string>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/uio.h>

namespace platform::net {

using SOCKET = int;
constexpr SOCKET INVALID_SOCKET = -1;
constexpr int SOCKET_ERROR = -1;

// shutdown directions, as Winsock names them (same values as SHUT_RD/SHUT_WR/SHUT_RDWR).
constexpr int SD_RECEIVE = 0;
constexpr int SD_SEND = 1;
constexpr int SD_BOTH = 2;

// ioctlsocket commands.
enum class IoctlCommand { Fionread, Fionbio };

struct WSAData {
    std::uint16_t wVersion = 0;
    std::uint16_t wHighVersion = 0;
    char szDescription[257] = {};
    char szSystemStatus[129] = {};
};

// The platform needs no start-up; these keep the call sites and their version check.
// WSAStartup fails with WSAVERNOTSUPPORTED for a requested version below 1.1.
int WSAStartup(std::uint16_t versionRequested, WSAData& data);
int WSACleanup();

SOCKET socket(int addressFamily, int type, int protocol);
int connect(SOCKET s, const sockaddr* address, int length);
int bind(SOCKET s, const sockaddr* address, int length);
int listen(SOCKET s, int backlog);
SOCKET accept(SOCKET s, sockaddr* address, int* length);
int recv(SOCKET s, void* buffer, int length, int flags);
int recvfrom(SOCKET s, void* buffer, int length, int flags, sockaddr* from, int* fromLength);
int send(SOCKET s, const void* data, int length, int flags);
int sendto(SOCKET s, const void* data, int length, int flags, const sockaddr* to, int toLength);
// One sendmsg over several pieces; the result is the number of bytes taken, which may stop
// inside a piece.
int sendv(SOCKET s, const iovec* pieces, int count, int flags);
// Up to length bytes of an open file from offset, without a copy through our memory (through
// memory only for a TLS socket, which encrypts here). The result is the number of bytes taken;
// 0 for a length above 0 means the file ends before offset.
int sendFile(SOCKET s, int file, std::int64_t offset, int length);
int shutdown(SOCKET s, int how);
int closesocket(SOCKET s);
int setsockopt(SOCKET s, int level, int name, const void* value, int length);
int getsockopt(SOCKET s, int level, int name, void* value, int* length);
int getsockname(SOCKET s, sockaddr* address, int* length);
int getpeername(SOCKET s, sockaddr* address, int* length);
// Fionread: bytes waiting to be read; Fionbio: *argument non-zero makes the socket non-blocking.
int ioctlsocket(SOCKET s, IoctlCommand command, unsigned long* argument);
int gethostname(char* name, int length);

// Dotted-quad text <-> IPv4 address in network order. inet_addr gives INADDR_NONE for text
// that is not an address, and so also for "255.255.255.255".
std::uint32_t inet_addr(const char* text);
std::string inet_ntoa(in_addr address);

} // namespace platform::net
