#pragma once
// Plain blocking loopback sockets for the far end of a test, and an event-loop wait.
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <netinet/in.h>
#include <string>

namespace nettest {

// A listening TCP socket on 127.0.0.1 with an ephemeral port.
struct Listener {
    Listener();
    ~Listener();
    int fd = -1;
    std::uint16_t port = 0; // host order
    int acceptOne() const;  // blocking
};

sockaddr_in loopback(std::uint16_t port);
// A port on which nothing listens (bound once, then released).
std::uint16_t refusedPort();
int connectBlocking(std::uint16_t port);
void writeAll(int fd, const std::string& bytes);
void resetClose(int fd); // linger 0: the peer sees a reset
std::string readAvailable(int fd);

// Turns the event loop until done() holds or the time is up; true when done() held.
bool runUntil(const std::function<bool()>& done, int timeoutMs = 5000);
// Turns the event loop for a while (to see that nothing more arrives).
void runFor(int ms);

} // namespace nettest
