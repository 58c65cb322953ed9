#include "UnansweredPort.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace testservers {

namespace {

// A non-blocking connect to address; whether it completed within a short wait.
bool connectsAt(const sockaddr_in& address, int& socket)
{
    socket = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (socket < 0)
        throw std::runtime_error("UnansweredPort: no socket");
    if (::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0)
        return true;
    pollfd p{ socket, POLLOUT, 0 };
    return ::poll(&p, 1, 200) > 0;
}

} // namespace

UnansweredPort::UnansweredPort()
{
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::listen(listener_, 0) != 0
        || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        release();
        throw std::runtime_error("UnansweredPort: cannot listen");
    }
    port_ = ntohs(address.sin_port);
    // The kernel queues a few connects beyond the backlog; the first one left waiting proves the
    // queue full.
    constexpr int kMostFillers = 16;
    for (int i = 0; i < kMostFillers; ++i) {
        int socket = -1;
        const bool connected = connectsAt(address, socket);
        fillers_.push_back(socket);
        if (!connected)
            return;
    }
    release();
    throw std::runtime_error("UnansweredPort: the backlog never filled");
}

UnansweredPort::~UnansweredPort()
{
    release();
}

void UnansweredPort::release()
{
    for (const int socket : fillers_)
        ::close(socket);
    fillers_.clear();
    if (listener_ >= 0)
        ::close(listener_);
    listener_ = -1;
}

} // namespace testservers
