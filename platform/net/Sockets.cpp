#include "platform/net/Sockets.h"

#include "platform/net/FaultInjection.h"
#include "platform/net/SelectHooks.h"
#include "platform/net/TlsHooks.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/sendfile.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace platform::net {

namespace {

int fail()
{
    setLastErrorFromErrno();
    return SOCKET_ERROR;
}

template <typename Call>
auto retryInterrupted(Call call)
{
    for (;;) {
        auto result = call();
        if (!(result < 0 && errno == EINTR))
            return result;
    }
}

// getsockname and getpeername: the same in/out length handling around two system calls.
int addressQuery(int (*query)(int, sockaddr*, socklen_t*), SOCKET s, sockaddr* address, int* length)
{
    if (faults::injectFailure())
        return SOCKET_ERROR;
    socklen_t len = static_cast<socklen_t>(*length);
    if (query(s, address, &len) != 0)
        return fail();
    *length = static_cast<int>(len);
    return 0;
}

// A send that would block re-arms the write notification, injected or real.
int injectedSendFailure(SOCKET s)
{
    if (WSAGetLastError() == WSAEWOULDBLOCK)
        detail::sendFellShort(s);
    return SOCKET_ERROR;
}

// A socket with a TLS session sends through it; a TLS stream has one peer, so a sendto's
// address does not matter.
bool sentThroughTls(SOCKET s, const void* data, int length, int& result)
{
    const iovec piece{const_cast<void*>(data), static_cast<std::size_t>(length)};
    return detail::tlsSend(s, &piece, 1, result);
}

int sendFailed(SOCKET s)
{
    const int savedErrno = errno;
    if (savedErrno == EAGAIN || savedErrno == EWOULDBLOCK)
        detail::sendFellShort(s);
    errno = savedErrno;
    return fail();
}

bool validLength(int length)
{
    if (length >= 0)
        return true;
    WSASetLastError(WSAEINVAL);
    return false;
}

} // namespace

int WSAStartup(std::uint16_t versionRequested, WSAData& data)
{
    const int major = versionRequested & 0xFF;
    const int minor = versionRequested >> 8;
    data.wHighVersion = 0x0101;
    data.wVersion = 0x0101;
    std::strncpy(data.szDescription, "BSD sockets", sizeof data.szDescription - 1);
    std::strncpy(data.szSystemStatus, "Running", sizeof data.szSystemStatus - 1);
    if (major < 1 || (major == 1 && minor < 1))
        return WSAVERNOTSUPPORTED;
    return 0;
}

int WSACleanup()
{
    return 0;
}

SOCKET socket(int addressFamily, int type, int protocol)
{
    if (faults::injectFailure())
        return SOCKET_ERROR;
    const int s = ::socket(addressFamily, type | SOCK_CLOEXEC, protocol);
    if (s < 0)
        return fail();
    return s;
}

int connect(SOCKET s, const sockaddr* address, int length)
{
    if (faults::injectFailure()) {
        // Would-block is what a connect under way reports: start it for real.
        if (WSAGetLastError() == WSAEWOULDBLOCK && length >= 0
            && (::connect(s, address, static_cast<socklen_t>(length)) == 0 || errno == EINPROGRESS))
            detail::connectStarted(s, false);
        return SOCKET_ERROR;
    }
    if (!validLength(length))
        return SOCKET_ERROR;
    const int r = ::connect(s, address, static_cast<socklen_t>(length));
    if (r == 0) {
        detail::connectStarted(s, true);
        return 0;
    }
    // A connect interrupted by a signal goes on in the background, like one under way.
    if (errno == EINPROGRESS || errno == EINTR) {
        detail::connectStarted(s, false);
        WSASetLastError(WSAEWOULDBLOCK);
        return SOCKET_ERROR;
    }
    return fail();
}

int bind(SOCKET s, const sockaddr* address, int length)
{
    if (faults::injectFailure())
        return SOCKET_ERROR;
    if (!validLength(length))
        return SOCKET_ERROR;
    return ::bind(s, address, static_cast<socklen_t>(length)) == 0 ? 0 : fail();
}

int listen(SOCKET s, int backlog)
{
    if (faults::injectFailure())
        return SOCKET_ERROR;
    if (::listen(s, backlog) != 0)
        return fail();
    detail::listenStarted(s);
    return 0;
}

SOCKET accept(SOCKET s, sockaddr* address, int* length)
{
    if (faults::injectFailure()) {
        detail::acceptCalled(s);
        return SOCKET_ERROR;
    }
    socklen_t len = length ? static_cast<socklen_t>(*length) : 0;
    const int flags = ::fcntl(s, F_GETFL);
    const int inherit = SOCK_CLOEXEC | (flags >= 0 && (flags & O_NONBLOCK) ? SOCK_NONBLOCK : 0);
    const int r = retryInterrupted([&] { return ::accept4(s, address, length ? &len : nullptr, inherit); });
    const int savedErrno = errno;
    detail::acceptCalled(s);
    if (r < 0) {
        errno = savedErrno;
        return fail();
    }
    if (length)
        *length = static_cast<int>(len);
    return r;
}

int recv(SOCKET s, void* buffer, int length, int flags)
{
    if (faults::injectFailure()) {
        detail::readCalled(s);
        return SOCKET_ERROR;
    }
    if (!validLength(length))
        return SOCKET_ERROR;
    if (int result = 0; detail::tlsRecv(s, buffer, length, flags, result))
        return result;
    const auto r = retryInterrupted([&] { return ::recv(s, buffer, static_cast<size_t>(length), flags); });
    const int savedErrno = errno;
    detail::readCalled(s);
    if (r < 0) {
        errno = savedErrno;
        return fail();
    }
    return static_cast<int>(r);
}

int recvfrom(SOCKET s, void* buffer, int length, int flags, sockaddr* from, int* fromLength)
{
    if (faults::injectFailure()) {
        detail::readCalled(s);
        return SOCKET_ERROR;
    }
    if (!validLength(length))
        return SOCKET_ERROR;
    // A TLS stream has one peer; its bytes never bypass the session.
    if (int result = 0; detail::tlsRecv(s, buffer, length, flags, result))
        return result;
    socklen_t len = fromLength ? static_cast<socklen_t>(*fromLength) : 0;
    const auto r = retryInterrupted([&] {
        return ::recvfrom(s, buffer, static_cast<size_t>(length), flags, from, fromLength ? &len : nullptr);
    });
    const int savedErrno = errno;
    detail::readCalled(s);
    if (r < 0) {
        errno = savedErrno;
        return fail();
    }
    if (fromLength)
        *fromLength = static_cast<int>(len);
    return static_cast<int>(r);
}

int send(SOCKET s, const void* data, int length, int flags)
{
    if (faults::injectFailure())
        return injectedSendFailure(s);
    if (!validLength(length))
        return SOCKET_ERROR;
    if (int result = 0; sentThroughTls(s, data, length, result))
        return result;
    const auto r = retryInterrupted(
        [&] { return ::send(s, data, static_cast<size_t>(length), flags | MSG_NOSIGNAL); });
    if (r < 0)
        return sendFailed(s);
    if (r < length)
        detail::sendFellShort(s);
    return static_cast<int>(r);
}

int sendto(SOCKET s, const void* data, int length, int flags, const sockaddr* to, int toLength)
{
    if (faults::injectFailure())
        return injectedSendFailure(s);
    if (!validLength(length) || !validLength(toLength))
        return SOCKET_ERROR;
    if (int result = 0; sentThroughTls(s, data, length, result))
        return result;
    const auto r = retryInterrupted([&] {
        return ::sendto(s, data, static_cast<size_t>(length), flags | MSG_NOSIGNAL, to,
                        static_cast<socklen_t>(toLength));
    });
    if (r < 0)
        return sendFailed(s);
    return static_cast<int>(r);
}

int sendv(SOCKET s, const iovec* pieces, int count, int flags)
{
    if (faults::injectFailure())
        return injectedSendFailure(s);
    if (!validLength(count))
        return SOCKET_ERROR;
    if (int result = 0; detail::tlsSend(s, pieces, count, result))
        return result;
    msghdr message{};
    message.msg_iov = const_cast<iovec*>(pieces);
    message.msg_iovlen = static_cast<size_t>(count);
    std::size_t total = 0;
    for (int i = 0; i < count; ++i)
        total += pieces[i].iov_len;
    const auto r = retryInterrupted([&] { return ::sendmsg(s, &message, flags | MSG_NOSIGNAL); });
    if (r < 0)
        return sendFailed(s);
    if (static_cast<std::size_t>(r) < total)
        detail::sendFellShort(s);
    return static_cast<int>(r);
}

int sendFile(SOCKET s, int file, std::int64_t offset, int length)
{
    if (faults::injectFailure())
        return injectedSendFailure(s);
    if (!validLength(length))
        return SOCKET_ERROR;
    if (detail::hasTls(s)) {
        std::vector<char> bytes(static_cast<std::size_t>(std::min(length, 64 * 1024)));
        const auto n = retryInterrupted([&] { return ::pread(file, bytes.data(), bytes.size(), offset); });
        if (n < 0)
            return fail();
        int result = 0;
        if (n > 0)
            sentThroughTls(s, bytes.data(), static_cast<int>(n), result);
        return result;
    }
    off_t at = offset;
    const auto r = retryInterrupted([&] { return ::sendfile(s, file, &at, static_cast<size_t>(length)); });
    if (r < 0)
        return sendFailed(s);
    if (r > 0 && r < length)
        detail::sendFellShort(s);
    return static_cast<int>(r);
}

int shutdown(SOCKET s, int how)
{
    if (faults::injectFailure())
        return SOCKET_ERROR;
    detail::tlsShutdown(s, how);
    return ::shutdown(s, how) == 0 ? 0 : fail();
}

int closesocket(SOCKET s)
{
    if (faults::injectFailure()) {
        // A close that would block keeps the handle (the caller retries); any other failure is
        // one that reports an error after releasing the descriptor, as EIO does on Linux.
        if (WSAGetLastError() != WSAEWOULDBLOCK) {
            detail::aboutToClose(s);
            ::close(s);
        }
        return SOCKET_ERROR;
    }
    // Notifiers go first: once closed, the number may be handed to the next socket at once.
    detail::aboutToClose(s);
    if (::close(s) == 0)
        return 0;
    // Linux closes the descriptor even when close reports EINTR; retrying could close a reused one.
    if (errno == EINTR)
        return 0;
    return fail();
}

int setsockopt(SOCKET s, int level, int name, const void* value, int length)
{
    if (faults::injectFailure())
        return SOCKET_ERROR;
    if (!validLength(length))
        return SOCKET_ERROR;
    return ::setsockopt(s, level, name, value, static_cast<socklen_t>(length)) == 0 ? 0 : fail();
}

int getsockopt(SOCKET s, int level, int name, void* value, int* length)
{
    if (faults::injectFailure())
        return SOCKET_ERROR;
    socklen_t len = static_cast<socklen_t>(*length);
    if (::getsockopt(s, level, name, value, &len) != 0)
        return fail();
    *length = static_cast<int>(len);
    return 0;
}

int getsockname(SOCKET s, sockaddr* address, int* length)
{
    return addressQuery(::getsockname, s, address, length);
}

int getpeername(SOCKET s, sockaddr* address, int* length)
{
    return addressQuery(::getpeername, s, address, length);
}

int ioctlsocket(SOCKET s, IoctlCommand command, unsigned long* argument)
{
    if (faults::injectFailure())
        return SOCKET_ERROR;
    if (command == IoctlCommand::Fionread && detail::tlsPending(s, *argument))
        return 0;
    if (command == IoctlCommand::Fionread) {
        int waiting = 0;
        if (::ioctl(s, FIONREAD, &waiting) != 0)
            return fail();
        *argument = static_cast<unsigned long>(waiting);
        return 0;
    }
    const int flags = ::fcntl(s, F_GETFL);
    if (flags < 0)
        return fail();
    const int wanted = *argument ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK);
    return ::fcntl(s, F_SETFL, wanted) == 0 ? 0 : fail();
}

int gethostname(char* name, int length)
{
    if (length <= 0) {
        WSASetLastError(WSAEFAULT);
        return SOCKET_ERROR;
    }
    return ::gethostname(name, static_cast<size_t>(length)) == 0 ? 0 : fail();
}

std::uint32_t inet_addr(const char* text)
{
    in_addr address{};
    if (text == nullptr || ::inet_aton(text, &address) == 0)
        return INADDR_NONE;
    return address.s_addr;
}

std::string inet_ntoa(in_addr address)
{
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

} // namespace platform::net
