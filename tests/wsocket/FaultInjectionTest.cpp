// Every socket call of a whole exchange (connect, send, echo, receive, close) made to fail in
// turn: the exchange must end with the right bytes or a clean error report or a closed
// socket, within a bound, without a crash or a leaked descriptor.
#include "LoopbackPeer.h"
#include "LoopbackServers.h"
#include "SocketLog.h"

#include <arpa/inet.h>
#include <filesystem>
#include <sys/socket.h>
#include <unistd.h>
#include <gtest/gtest.h>

using nettest::runUntil;
using wstest::ThreadedServer;
namespace faults = platform::net::faults;

namespace {

// Open descriptors of the process, leaving out the server's (its listener and the connections it
// accepted have the server's port as their local port), which its thread opens and closes on
// its own schedule.
int openDescriptors(std::uint16_t serverPort = 0)
{
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        const int fd = std::stoi(entry.path().filename().string());
        sockaddr_in local{};
        socklen_t len = sizeof local;
        if (serverPort != 0 && ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &len) == 0
            && local.sin_family == AF_INET && ntohs(local.sin_port) == serverPort)
            continue;
        ++count;
    }
    return count;
}

struct Outcome {
    bool fired = false;
    bool completed = false;
    bool reported = false;
    bool closed = false;
};

Outcome exchange(std::uint16_t port, int failAt, int code)
{
    Outcome outcome;
    TWSocket s;
    std::string echoed;
    int errors = 0;
    s.OnError = [&](TCustomWSocket*) { ++errors; };
    s.OnSessionConnected = [&](TCustomWSocket* sender, std::uint16_t error) {
        if (error == 0)
            sender->SendStr("hello over loopback");
    };
    s.OnDataAvailable = ReceiveInto(echoed);
    faults::failNthCall(failAt, code);
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(port));
    s.Connect();
    runUntil([&] { return echoed == "hello over loopback" || errors > 0 || s.State() == wsClosed; }, 3000);
    s.Close();
    outcome.fired = faults::fired();
    faults::failNthCall(0, 0);
    outcome.completed = echoed == "hello over loopback";
    outcome.reported = errors > 0;
    outcome.closed = s.State() == wsClosed && s.Handle() == INVALID_SOCKET;
    if (!outcome.closed) {
        s.OnError = nullptr;
        s.Abort();
    }
    return outcome;
}

void failEveryCallInTurn(int code)
{
    ThreadedServer server(ThreadedServer::Kind::Echo);
    // The event loop opens what it needs once; a refused exchange leaves no server socket behind.
    exchange(nettest::refusedPort(), 0, 0);
    const int descriptors = openDescriptors(server.port());
    int failAt = 1;
    for (; failAt < 200; ++failAt) {
        const Outcome o = exchange(server.port(), failAt, code);
        EXPECT_TRUE(o.completed || o.reported || o.closed) << "call " << failAt << " failing with " << code;
        EXPECT_TRUE(o.closed || o.reported) << "Close after call " << failAt << " failed with " << code;
        // A server-side socket the client has reset no longer shows the server's port until the
        // server thread closes it: give that a moment.
        EXPECT_TRUE(runUntil([&] { return openDescriptors(server.port()) == descriptors; }, 3000))
            << "descriptor leaked when call " << failAt << " failed with " << code;
        if (!o.fired) {
            EXPECT_TRUE(o.completed) << "the exchange itself works";
            break; // the exchange made fewer calls: every one has failed once
        }
    }
    EXPECT_GT(failAt, 10) << "the exchange makes calls";
}

} // namespace

TEST(FaultInjection, EveryCallFailingWithNoBuffersEndsCleanly)
{
    failEveryCallInTurn(platform::net::WSAENOBUFS);
}

TEST(FaultInjection, EveryCallFailingWithAResetEndsCleanly)
{
    failEveryCallInTurn(platform::net::WSAECONNRESET);
}

TEST(FaultInjection, EveryCallOfADatagramExchangeFailingEndsCleanly)
{
    const int udp = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a = nettest::loopback(0);
    ::bind(udp, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    ::getsockname(udp, reinterpret_cast<sockaddr*>(&a), &len);
    const int descriptors = openDescriptors();
    for (int failAt = 1; failAt < 100; ++failAt) {
        TWSocket s;
        int errors = 0;
        s.OnError = [&](TCustomWSocket*) { ++errors; };
        s.SetProto("udp");
        s.SetAddr("127.0.0.1");
        s.SetPort(std::to_string(ntohs(a.sin_port)));
        faults::failNthCall(failAt, platform::net::WSAENOBUFS);
        s.Connect();
        if (s.State() == wsConnected)
            s.SendStr("datagram");
        char buffer[64];
        std::string got;
        runUntil([&] {
            const auto n = ::recv(udp, buffer, sizeof buffer, MSG_DONTWAIT);
            if (n > 0)
                got.assign(buffer, static_cast<std::size_t>(n));
            return !got.empty() || errors > 0;
        }, 1000);
        s.Close();
        const bool fired = faults::fired();
        faults::failNthCall(0, 0);
        EXPECT_TRUE(got == "datagram" || errors > 0) << "call " << failAt;
        EXPECT_EQ(openDescriptors(), descriptors) << "call " << failAt;
        if (!fired)
            break;
    }
    ::close(udp);
}

TEST(FaultInjection, BindAndGetsocknameFailuresOfADatagramConnectAreFormattedReports)
{
    for (const auto& [failAt, text] : {std::pair{2, "winsock.bind failed, error #10048"},
                                       std::pair{3, "winsock.getsockname failed, error #10048"}}) {
        TWSocket s;
        s.SetProto("udp");
        s.SetAddr("127.0.0.1");
        s.SetPort("9");
        faults::failNthCall(failAt, platform::net::WSAEADDRINUSE);
        try {
            s.Connect();
            ADD_FAILURE() << "no exception for call " << failAt;
        } catch (const ESocketException& e) {
            EXPECT_STREQ(e.what(), text);
        }
        faults::failNthCall(0, 0);
    }
}

TEST(FaultInjection, EveryCallWouldBlockOnceAndTheExchangeStillCompletes)
{
    ThreadedServer server(ThreadedServer::Kind::Echo);
    for (int failAt = 1; failAt < 200; ++failAt) {
        const Outcome o = exchange(server.port(), failAt, platform::net::WSAEWOULDBLOCK);
        if (!o.fired)
            break;
        EXPECT_TRUE(o.completed || o.reported) << "call " << failAt;
    }
}
