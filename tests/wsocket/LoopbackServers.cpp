#include "LoopbackServers.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace wstest {

ThreadedServer::ThreadedServer(Kind kind) : kind_(kind)
{
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int pipeFds[2];
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0
        || ::listen(listener_, 16) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len) != 0
        || ::pipe2(pipeFds, O_CLOEXEC) != 0)
        throw std::runtime_error("test server cannot listen on loopback");
    port_ = ntohs(a.sin_port);
    wakeRead_ = pipeFds[0];
    wakeWrite_ = pipeFds[1];
    thread_ = std::thread([this] { run(); });
}

ThreadedServer::~ThreadedServer()
{
    const char stop = 'x';
    (void)!::write(wakeWrite_, &stop, 1);
    thread_.join();
    for (int fd : {listener_, wakeRead_, wakeWrite_})
        ::close(fd);
}

// One thread serves the listener and every connection through poll, so a test can hold many.
void ThreadedServer::run()
{
    std::vector<pollfd> fds{{wakeRead_, POLLIN, 0}, {listener_, POLLIN, 0}};
    std::vector<std::string> pending{"", ""};
    char buffer[65536];
    for (;;) {
        if (::poll(fds.data(), fds.size(), 10000) < 0)
            continue;
        if (fds[0].revents)
            break;
        if (fds[1].revents & POLLIN) {
            const int c = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (c >= 0) {
                ++connections_;
                if (kind_ == Kind::AcceptAndClose) {
                    ::close(c);
                } else {
                    fds.push_back({c, static_cast<short>(kind_ == Kind::NeverRead ? 0 : POLLIN), 0});
                    pending.emplace_back();
                }
            }
        }
        for (std::size_t i = 2; i < fds.size(); ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR | POLLOUT)))
                continue;
            bool closed = false;
            if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) {
                const auto n = ::recv(fds[i].fd, buffer, sizeof buffer, MSG_DONTWAIT);
                if (n > 0) {
                    received_ += n;
                    if (kind_ == Kind::Echo)
                        pending[i].append(buffer, static_cast<std::size_t>(n));
                } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                    closed = true;
                }
            }
            if (!closed && !pending[i].empty()) {
                const auto n = ::send(fds[i].fd, pending[i].data(), pending[i].size(), MSG_DONTWAIT | MSG_NOSIGNAL);
                if (n > 0)
                    pending[i].erase(0, static_cast<std::size_t>(n));
                else if (n < 0 && errno != EAGAIN)
                    closed = true;
            }
            fds[i].events = static_cast<short>(kind_ == Kind::NeverRead ? 0 : POLLIN);
            if (!pending[i].empty())
                fds[i].events |= POLLOUT;
            if (closed) {
                ::close(fds[i].fd);
                fds.erase(fds.begin() + static_cast<long>(i));
                pending.erase(pending.begin() + static_cast<long>(i));
                --i;
            }
        }
    }
    for (std::size_t i = 2; i < fds.size(); ++i)
        ::close(fds[i].fd);
}

} // namespace wstest
