#pragma once
// Loopback servers on their own threads, for the socket tests: each listens on 127.0.0.1 with
// an ephemeral port and serves connections until destroyed.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace wstest {

class ThreadedServer {
public:
    enum class Kind {
        Echo,            // sends back everything it receives
        AcceptAndClose,  // closes each connection at once
        Sink,            // reads and counts everything, never answers
        NeverRead,       // accepts and holds the connection without reading
    };
    explicit ThreadedServer(Kind kind);
    ~ThreadedServer();
    std::uint16_t port() const { return port_; }
    std::string portText() const { return std::to_string(port_); }
    long long received() const { return received_; }
    int connections() const { return connections_; }

private:
    void run();
    Kind kind_;
    int listener_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::uint16_t port_ = 0;
    std::atomic<long long> received_{0};
    std::atomic<int> connections_{0};
    std::thread thread_;
};

} // namespace wstest
