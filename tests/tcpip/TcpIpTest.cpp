// T_TcpIp on its own: connecting, lines from a scripted peer, closing, tracing and the helpers.
#include "FtpTestSupport.h"
#include "tcpip/Address.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

using namespace tcpip;
using namespace tcpiptest;
using namespace testservers;
using namespace testservers::script;

namespace {

// The derived class sets the port; tests do it here.
class Connection : public T_TcpIp {
public:
    explicit Connection(std::uint16_t port = 0)
    {
        Hostname = "127.0.0.1";
        port_ = port;
        setSilenceTimeout(5s);
    }
    TSocket socket() const { return socket_; }
    std::uint32_t address() const { return address_; }
};

std::string readLineFrom(const std::string& bytes, const std::string& before = "unchanged")
{
    ScriptedServer server({ accept(), send(bytes), close() });
    Connection c(server.port());
    c.Connect();
    std::string line = before;
    c.ReadLine(c.socket(), line);
    return line;
}

} // namespace

TEST(TcpLines, CrLfBareLfAndCrAnywhere)
{
    EXPECT_EQ(readLineFrom("220 ready\r\n"), "220 ready");
    EXPECT_EQ(readLineFrom("220 ready\nrest"), "220 ready");
    EXPECT_EQ(readLineFrom("2\r20 re\rady\r\r\n"), "220 ready");
    EXPECT_EQ(readLineFrom("\r\n"), "");
}

TEST(TcpLines, PeerClosingBeforeTheLineEndLeavesTheLineAsItWas)
{
    EXPECT_EQ(readLineFrom("220 no end"), "unchanged");
    EXPECT_EQ(readLineFrom(""), "unchanged");
}

TEST(TcpLines, LinesAreReadInBlocksAndTheBytesAfterALineWaitForTheNextRead)
{
    ScriptedServer server({ accept(), send("ab\r\ncd\r\n"), stall(100ms), close() });
    Connection c(server.port());
    c.Connect();
    TraceRecorder trace(c);
    std::string first, second;
    c.ReadLine(c.socket(), first);
    c.ReadLine(c.socket(), second);
    EXPECT_EQ(first, "ab");
    EXPECT_EQ(second, "cd");
    ASSERT_EQ(trace.lines.size(), 1u) << "one recv for both lines";
    EXPECT_EQ(trace.lines[0].text, "Received 8 bytes on socket ID " + std::to_string(c.socket()));
}

TEST(TcpLines, LinesArrivingInPiecesAndAfterAPause)
{
    ScriptedServer server({ accept(), sendSlowly("220 slow\r\n221 next\r\n", 3, 30ms), stall(200ms), send("x\n"),
                            close() });
    Connection c(server.port());
    c.Connect();
    std::string a, b, x;
    c.ReadLine(c.socket(), a);
    c.ReadLine(c.socket(), b);
    c.ReadLine(c.socket(), x);
    EXPECT_EQ(a, "220 slow");
    EXPECT_EQ(b, "221 next");
    EXPECT_EQ(x, "x");
}

TEST(TcpConnect, EmptyHostname)
{
    Connection c(21);
    c.Hostname = "";
    try {
        c.Connect();
        FAIL();
    } catch (const ETcpIpError& e) {
        EXPECT_EQ(e.message(), "Couldn't resolve hostname ");
    }
    EXPECT_FALSE(c.Connected());
    EXPECT_EQ(c.socket(), -1);
}

TEST(TcpConnect, UnresolvableName)
{
    Connection c(21);
    c.Hostname = "nowhere.invalid";
    try {
        c.Connect();
        FAIL();
    } catch (const ESocketError&) {
        FAIL() << "nothing may be opened";
    } catch (const ETcpIpError& e) {
        EXPECT_EQ(e.message(), "Couldn't resolve hostname nowhere.invalid");
    }
}

TEST(TcpConnect, RefusedPortRaisesSocketErrorWithTheWinsockCodeAndTheTrueReason)
{
    std::uint16_t port;
    {
        ScriptedServer probe({});
        port = probe.port();
    }
    Connection c(port);
    TraceRecorder trace(c);
    try {
        c.Connect();
        FAIL();
    } catch (const ESocketError& e) {
        EXPECT_EQ(e.message(), "Connection refused: nothing answers at 127.0.0.1 port " + std::to_string(port));
        EXPECT_EQ(e.ErrorCode, 10061);
    }
    EXPECT_EQ(c.socket(), -1);
    EXPECT_TRUE(trace.contains("Failed to open output socket " + std::to_string(port) + " to host 127.0.0.1"));
}

TEST(TcpConnect, DottedAddressTracedAndConnected)
{
    ScriptedServer server({ accept(), expectClose() });
    Connection c(server.port());
    TraceRecorder trace(c);
    c.Connect();
    EXPECT_TRUE(c.Connected());
    EXPECT_EQ(c.address(), ::inet_addr("127.0.0.1"));
    EXPECT_EQ(c.SocketState(c.socket()), ss_connected);
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_EQ(trace.lines[0].text, "Opened output socket " + std::to_string(server.port())
                                       + " to host 127.0.0.1 successfully; ID " + std::to_string(c.socket()));
    const TSocket was = c.socket();
    c.Disconnect();
    EXPECT_EQ(trace.lines.back().text, "Closed socket ID " + std::to_string(was));
    EXPECT_FALSE(c.Connected());
    EXPECT_TRUE(server.finish()) << server.failure();
}

TEST(TcpConnect, ConnectingAgainClosesTheFirstConnection)
{
    ScriptedServer server({ accept(), accept(), expectClose() });
    Connection c(server.port());
    c.Connect();
    c.Connect();
    EXPECT_TRUE(c.Connected());
    c.Disconnect();
    EXPECT_TRUE(server.finish()) << server.failure();
}

TEST(TcpSockets, CloseOfNoneAndSocketStates)
{
    Connection c;
    TraceRecorder trace(c);
    TSocket none = -1;
    c.CloseSocketId(none);
    EXPECT_TRUE(trace.lines.empty());
    EXPECT_EQ(c.SocketState(-1), ss_none);
    TSocket fresh = c.CreateSocket();
    EXPECT_EQ(c.SocketState(fresh), ss_not_connected);
    c.CloseSocketId(fresh);
    EXPECT_EQ(fresh, -1);
    EXPECT_EQ(trace.lines.size(), 1u);
    EXPECT_TRUE(c.IsClosed(-1));
}

TEST(TcpSockets, ListenAcceptAndTheirTraces)
{
    Connection c;
    TraceRecorder trace(c);
    TSocket listener = -1;
    c.BindListen(listener, 0, ::inet_addr("127.0.0.1"));
    ASSERT_NE(listener, -1);
    const std::uint16_t port = T_TcpIp::LocalPort(listener);
    EXPECT_EQ(trace.lines[0].text, "Bound to socket " + std::to_string(port) + " for local ip 127.0.0.1");
    EXPECT_EQ(trace.lines[1].text, "Set input socket " + std::to_string(port) + " to listening mode sucessfully; ID "
                                       + std::to_string(listener));
    sockaddr_in peer{};
    EXPECT_EQ(c.AcceptIncoming(listener, peer), -1) << "nobody connected yet";
    EXPECT_EQ(trace.lines.back().text, "No incoming connection found on socket ID " + std::to_string(listener));

    Connection client(port);
    client.Connect();
    TSocket accepted = -1;
    for (int i = 0; i < 100 && accepted == -1; ++i)
        accepted = c.AcceptIncoming(listener, peer);
    ASSERT_NE(accepted, -1);
    EXPECT_EQ(peer.sin_addr.s_addr, ::inet_addr("127.0.0.1"));
    EXPECT_EQ(trace.lines.back().text, "Incoming connection found on socket ID " + std::to_string(listener)
                                           + "; generated socket ID " + std::to_string(accepted));
    c.WriteString(accepted, "hi\n");
    std::string line;
    client.ReadLine(client.socket(), line);
    EXPECT_EQ(line, "hi");
    c.CloseSocketId(accepted);
    c.CloseSocketId(listener);
}

TEST(TcpSockets, BindToAPortInUseIsTracedNotRaised)
{
    Connection c;
    TSocket first = -1, second = -1;
    c.BindListen(first, 0, ::inet_addr("127.0.0.1"));
    const std::uint16_t port = T_TcpIp::LocalPort(first);
    TraceRecorder trace(c);
    EXPECT_NO_THROW(c.BindListen(second, port, ::inet_addr("127.0.0.1")));
    EXPECT_EQ(second, -1);
    EXPECT_EQ(trace.lines[0].text, "Failed to bind socket " + std::to_string(port) + " for local ip 127.0.0.1");
    c.CloseSocketId(first);
}

TEST(TcpSockets, DestroyingAConnectedComponentClosesWithoutTracing)
{
    ScriptedServer server({ accept(), expectClose() });
    int traced = 0;
    {
        Connection c(server.port());
        c.Connect();
        c.OnTrace = [&](const std::string&, TTraceLevel) { ++traced; };
    }
    EXPECT_EQ(traced, 0);
    EXPECT_TRUE(server.finish()) << server.failure() << ": the peer saw the close";
}

TEST(TcpExecute, CollectsEverythingUntilThePeerCloses)
{
    std::string body(200 * 1024, '\0');
    for (std::size_t i = 0; i < body.size(); ++i)
        body[i] = static_cast<char>(i % 251);
    ScriptedServer server({ accept(), send(body), close() });
    Connection c(server.port());
    c.Execute();
    EXPECT_TRUE(c.DataStream.data() == body);
    EXPECT_EQ(c.DataStream.position(), 0);
    EXPECT_TRUE(c.IsClosed(c.socket()));
}

TEST(TcpWrite, SendsEverythingAndTracesTheRequestedCount)
{
    const std::string big(8 * 1024 * 1024, 'w');
    ScriptedServer server({ accept(), stall(100ms), expectBytes(big.size()), expectClose() });
    Connection c(server.port());
    c.Connect();
    TraceRecorder trace(c);
    c.WriteString(c.socket(), big);
    EXPECT_EQ(trace.lines.back().text, "Sent " + std::to_string(big.size()) + " bytes on socket ID " + std::to_string(c.socket()));
    c.Disconnect();
    EXPECT_TRUE(server.finish()) << server.failure();
    EXPECT_TRUE(server.transcript() == big);
}

TEST(TcpWrite, NothingGoesToNoSocket)
{
    Connection c;
    TraceRecorder trace(c);
    EXPECT_NO_THROW(c.WriteString(-1, "lost\r\n"));
    EXPECT_TRUE(trace.lines.empty());
}

TEST(Addresses, TextResolveAndLocal)
{
    EXPECT_EQ(AddressToText(::inet_addr("10.1.2.3")), "10.1.2.3");
    EXPECT_EQ(AddressToText(::inet_addr("255.0.0.7")), "255.0.0.7");
    EXPECT_EQ(ResolveAddress(""), kNoAddress);
    EXPECT_EQ(ResolveAddress("10.1.2.3"), ::inet_addr("10.1.2.3"));
    EXPECT_EQ(ResolveAddress("localhost"), ::inet_addr("127.0.0.1"));
    EXPECT_EQ(ResolveAddress("nowhere.invalid"), kNoAddress);
    EXPECT_EQ(ResolveAddress(std::string("a\0b", 3)), kNoAddress);
    EXPECT_NE(LocalAddress(), kNoAddress);
}
