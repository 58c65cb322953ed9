// Throughput of TWSocket over loopback against a plain blocking-socket copy of the same bytes.
//   send:    TWSocket -> blocking sink thread      vs  blocking sender -> blocking sink
//   receive: blocking source thread -> TWSocket    vs  the same blocking copy
// Prints the median MB/s of each and the ratio. Arguments: megabytes (500), runs (3).
#include "wsocket/WSocket.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <arpa/inet.h>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kChunk = 1 << 20;   // what the TWSocket caller hands to Send at a time
constexpr std::size_t kCopyBuffer = 1 << 16; // the blocking copy's and the receivers' buffer

struct Listener {
    Listener()
    {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 4) != 0
            || ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            throw std::runtime_error("cannot listen on loopback");
        port = ntohs(a.sin_port);
    }
    ~Listener() { ::close(fd); }
    int fd;
    std::uint16_t port;
};

void sinkAll(int fd, long long total)
{
    std::vector<char> buffer(kCopyBuffer);
    long long got = 0;
    while (got < total) {
        const auto n = ::recv(fd, buffer.data(), buffer.size(), 0);
        if (n <= 0)
            break;
        got += n;
    }
    ::close(fd);
}

void sourceAll(int fd, long long total)
{
    const std::vector<char> buffer(kCopyBuffer, 's');
    long long sent = 0;
    while (sent < total) {
        const auto n = ::send(fd, buffer.data(), static_cast<std::size_t>(std::min<long long>(total - sent, kCopyBuffer)),
                              MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += n;
    }
    ::close(fd);
}

double megabytesPerSecond(long long bytes, qint64 nanoseconds)
{
    return (static_cast<double>(bytes) / 1e6) / (static_cast<double>(nanoseconds) / 1e9);
}

double blockingCopy(long long total)
{
    Listener listener;
    QElapsedTimer clock;
    clock.start();
    std::thread sink([&] { sinkAll(::accept4(listener.fd, nullptr, nullptr, SOCK_CLOEXEC), total); });
    const int out = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(listener.port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(out, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
        throw std::runtime_error("blocking connect failed");
    sourceAll(out, total);
    sink.join();
    return megabytesPerSecond(total, clock.nsecsElapsed());
}

double socketSend(long long total)
{
    Listener listener;
    const std::vector<char> chunk(kChunk, 'w');
    QElapsedTimer clock;
    clock.start();
    std::thread sink([&] { sinkAll(::accept4(listener.fd, nullptr, nullptr, SOCK_CLOEXEC), total); });
    TWSocket s;
    long long queued = 0;
    bool done = false;
    const auto topUp = [&] {
        if (queued >= total) {
            done = true;
            return;
        }
        const auto n = static_cast<int>(std::min<long long>(total - queued, kChunk));
        s.Send(chunk.data(), n);
        queued += n;
    };
    s.OnSessionConnected = [&](TCustomWSocket*, std::uint16_t error) {
        if (error)
            throw std::runtime_error("TWSocket connect failed");
    };
    s.OnDataSent = [&](TCustomWSocket*, std::uint16_t) { topUp(); };
    s.OnError = [&](TCustomWSocket*) { done = true; };
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(listener.port));
    s.Connect();
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    sink.join();
    const qint64 elapsed = clock.nsecsElapsed();
    s.Close();
    return megabytesPerSecond(total, elapsed);
}

double socketReceive(long long total)
{
    Listener listener;
    QElapsedTimer clock;
    clock.start();
    std::thread source([&] { sourceAll(::accept4(listener.fd, nullptr, nullptr, SOCK_CLOEXEC), total); });
    TWSocket s;
    std::vector<char> buffer(kCopyBuffer);
    long long received = 0;
    bool closed = false;
    s.OnDataAvailable = [&](TCustomWSocket* sender, std::uint16_t) {
        const int n = sender->Receive(buffer.data(), static_cast<int>(buffer.size()));
        if (n > 0)
            received += n;
    };
    s.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t) { closed = true; };
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(listener.port));
    s.Connect();
    while (!closed)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const qint64 elapsed = clock.nsecsElapsed();
    source.join();
    if (received != total)
        throw std::runtime_error("TWSocket received " + std::to_string(received) + " bytes");
    return megabytesPerSecond(total, elapsed);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const long long megabytes = argc > 1 ? std::stoll(argv[1]) : 500;
    const int runs = argc > 2 ? std::max(1, std::stoi(argv[2])) : 3;
    const long long total = megabytes * 1024 * 1024;
    std::vector<double> copy, send, receive;
    for (int i = 0; i < runs; ++i) {
        copy.push_back(blockingCopy(total));
        send.push_back(socketSend(total));
        receive.push_back(socketReceive(total));
    }
    const double c = median(copy), s = median(send), r = median(receive);
    std::printf("wsocket: %lld MB each way, median of %d runs\n", megabytes, runs);
    std::printf("  blocking-socket copy      %8.0f MB/s\n", c);
    std::printf("  TWSocket send             %8.0f MB/s   %5.1f %% of the copy\n", s, 100.0 * s / c);
    std::printf("  TWSocket receive          %8.0f MB/s   %5.1f %% of the copy\n", r, 100.0 * r / c);
    return 0;
}
