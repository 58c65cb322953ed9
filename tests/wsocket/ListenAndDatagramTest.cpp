// Listening, accepting, adopting an accepted handle, and datagram sockets against a UDP peer.
#include "LoopbackPeer.h"
#include "SocketLog.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

using nettest::runFor;
using nettest::runUntil;
using Entries = std::vector<std::string>;

namespace {

std::string errorMessage(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ESocketException& e) {
        return e.what();
    }
    return "";
}

struct UdpPeer {
    UdpPeer()
    {
        fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in a = nettest::loopback(0);
        ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
    }
    ~UdpPeer() { ::close(fd); }
    std::string receive(sockaddr_in& from) const
    {
        char buffer[2048];
        socklen_t len = sizeof from;
        const auto n = ::recvfrom(fd, buffer, sizeof buffer, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &len);
        return n < 0 ? std::string("<none>") : std::string(buffer, static_cast<std::size_t>(n));
    }
    void sendTo(std::uint16_t toPort, const std::string& bytes) const
    {
        sockaddr_in to = nettest::loopback(toPort);
        ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
    int fd;
    std::uint16_t port;
};

} // namespace

TEST(Listening, AcceptedConnectionIsAdoptedByAnotherSocket)
{
    TWSocket server;
    SocketLog serverLog(server);
    server.SetAddr("127.0.0.1");
    server.SetPort("0");
    ASSERT_EQ(server.Listen(), 0);
    EXPECT_EQ(serverLog.entries, (Entries{"ChangeState 7>2", "ChangeState 2>6"}));
    const std::string port = server.GetLocalPort();
    ASSERT_NE(port, "error");

    const int client = nettest::connectBlocking(static_cast<std::uint16_t>(std::stoi(port)));
    ASSERT_TRUE(runUntil([&] { return serverLog.has("SessionAvailable 0"); }));
    const SOCKET accepted = server.Accept();
    ASSERT_NE(accepted, INVALID_SOCKET);
    EXPECT_EQ(server.AcceptedHandle(), accepted);
    EXPECT_EQ(server.State(), wsListening) << "accepting leaves the listener as it was";
    EXPECT_EQ(server.AddressRecord().sin_addr.s_addr, htonl(INADDR_LOOPBACK)) << "the peer's address";

    TWSocket session;
    SocketLog sessionLog(session);
    std::string received;
    sessionLog.onData = ReceiveInto(received);
    session.Dup(accepted);
    EXPECT_EQ(sessionLog.entries, Entries{"ChangeState 7>4"});
    nettest::writeAll(client, "ping");
    ASSERT_TRUE(runUntil([&] { return received == "ping"; }));
    session.SendStr("pong");
    ASSERT_TRUE(runUntil([&] { return nettest::readAvailable(client) == "pong"; }));
    ::close(client);
    ASSERT_TRUE(runUntil([&] { return session.State() == wsClosed; }));
    EXPECT_EQ(sessionLog.count("SessionClosed 0"), 1);
}

TEST(Listening, RefusalsCarryTheirCodesAndFunctionNames)
{
    TWSocket s;
    EXPECT_EQ(errorMessage([&] { s.Listen(); }), "Error 10022 in function listen: port not assigned\r\nInvalid argument");
    s.SetPort("0");
    EXPECT_EQ(errorMessage([&] { s.Listen(); }), "Error 10022 in function listen: address not assigned\r\nInvalid argument");
    EXPECT_EQ(errorMessage([&] { s.Accept(); }), "Error 10022 in function not a listening socket\r\nInvalid argument");
    EXPECT_EQ(errorMessage([&] { s.Dup(0); }), "Error 10022 in function Dup\r\nInvalid argument");
    EXPECT_EQ(errorMessage([&] { s.Dup(INVALID_SOCKET); }), "Error 10022 in function Dup\r\nInvalid argument");

    SocketLog log(s);
    EXPECT_EQ(s.Listen(), -1);
    EXPECT_EQ(log.entries, Entries{"Error"});
}

TEST(Listening, PortInUseReportsBindAndCloses)
{
    TWSocket first;
    first.SetAddr("127.0.0.1");
    first.SetPort("0");
    ASSERT_EQ(first.Listen(), 0);
    TWSocket second;
    SocketLog log(second);
    second.SetAddr("127.0.0.1");
    second.SetPort(first.GetLocalPort());
    EXPECT_EQ(second.Listen(), -1);
    EXPECT_EQ(log.entries.front(), "Error");
    EXPECT_EQ(second.State(), wsClosed);
    EXPECT_EQ(second.Handle(), INVALID_SOCKET) << "the failed handle is not leaked";
}

TEST(Listening, DupReplacingAnOpenHandleClosesItWithoutSessionClosed)
{
    nettest::Listener listener;
    TWSocket s;
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(listener.port));
    s.Connect();
    ASSERT_TRUE(runUntil([&] { return s.State() == wsConnected; }));
    const int peer = listener.acceptOne();
    const int other = nettest::connectBlocking(listener.port);
    const int otherPeer = listener.acceptOne();
    SocketLog log(s);
    s.Dup(other);
    EXPECT_EQ(log.entries, (Entries{"ChangeState 4>7", "ChangeState 7>4"}));
    EXPECT_EQ(s.Handle(), other);
    std::string received;
    log.onData = ReceiveInto(received);
    nettest::writeAll(otherPeer, "via dup");
    ASSERT_TRUE(runUntil([&] { return received == "via dup"; }));
    ::close(peer);
    ::close(otherPeer);
}

TEST(Datagram, ConnectIsImmediateAndSendsGoToTheAddress)
{
    UdpPeer peer;
    TWSocket s;
    SocketLog log(s);
    s.SetProto("udp");
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(peer.port));
    s.Connect();
    EXPECT_EQ(log.entries, (Entries{"ChangeState 7>1", "ChangeState 1>4", "SessionConnected 0"}));
    EXPECT_NE(s.LocalPortNumber(), 0) << "bound to any port";
    EXPECT_EQ(s.SendStr("datagram"), 8);
    sockaddr_in from{};
    std::string got;
    ASSERT_TRUE(runUntil([&] { return (got = peer.receive(from)) != "<none>"; }));
    EXPECT_EQ(got, "datagram");
    EXPECT_EQ(ntohs(from.sin_port), s.LocalPortNumber());

    std::string received;
    log.onData = ReceiveInto(received);
    peer.sendTo(s.LocalPortNumber(), "reply");
    ASSERT_TRUE(runUntil([&] { return received == "reply"; }));
    ASSERT_TRUE(runUntil([&] { return log.has("DataSent 0"); }));
}

TEST(Datagram, AllOnesAddressTurnsBroadcastOn)
{
    TWSocket s;
    s.SetProto("udp");
    s.SetAddr("255.255.255.255");
    s.SetPort("9");
    s.Connect();
    ASSERT_EQ(s.State(), wsConnected);
    int on = 0;
    socklen_t len = sizeof on;
    ASSERT_EQ(::getsockopt(s.Handle(), SOL_SOCKET, SO_BROADCAST, &on, &len), 0);
    EXPECT_EQ(on, 1);
}

TEST(Datagram, ListenBindsAndIsConnectedAtOnce)
{
    TWSocket s;
    SocketLog log(s);
    s.SetProto("17");
    s.SetAddr("127.0.0.1");
    s.SetPort("0");
    ASSERT_EQ(s.Listen(), 0);
    EXPECT_EQ(log.entries, (Entries{"ChangeState 7>2", "ChangeState 2>6", "ChangeState 6>4", "SessionConnected 0"}));
    UdpPeer peer;
    std::string received;
    sockaddr_in from{};
    log.onData = [&](TCustomWSocket* sender, std::uint16_t) {
        char buffer[64];
        int fromLength = sizeof from;
        const int n = sender->ReceiveFrom(buffer, sizeof buffer, from, fromLength);
        if (n > 0)
            received.assign(buffer, static_cast<std::size_t>(n));
    };
    peer.sendTo(static_cast<std::uint16_t>(std::stoi(s.GetLocalPort())), "to listener");
    ASSERT_TRUE(runUntil([&] { return received == "to listener"; }));
    EXPECT_EQ(ntohs(from.sin_port), peer.port);
}
