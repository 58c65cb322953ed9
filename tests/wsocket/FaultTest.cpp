// Faults and bad input: resets mid-transfer, a peer that never reads, stale and paused
// notifications, waits in the private loop, options and reports.
#include "LoopbackPeer.h"
#include "LoopbackServers.h"
#include "ScriptedServer.h"
#include "SocketLog.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <sys/socket.h>

using nettest::runFor;
using nettest::runUntil;
using wstest::ThreadedServer;
using Entries = std::vector<std::string>;
namespace script = testservers::script;
namespace net = platform::net;
using namespace std::chrono_literals;

namespace {

void connectTo(TWSocket& s, std::uint16_t port)
{
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(port));
    s.Connect();
    ASSERT_TRUE(runUntil([&] { return s.State() == wsConnected; }));
}

} // namespace

TEST(Faults, PeerResetMidTransferClosesQuietly)
{
    testservers::ScriptedServer server({script::accept(), script::expectBytes(100000), script::reset()});
    TWSocket s;
    SocketLog log(s);
    connectTo(s, server.port());
    const std::string data(8 * 1024 * 1024, 'r');
    s.Send(data.data(), static_cast<int>(data.size()));
    ASSERT_TRUE(runUntil([&] { return s.State() == wsClosed; }, 20000));
    EXPECT_TRUE(server.finish()) << server.failure();
    EXPECT_FALSE(log.has("Error")) << "a reset while sending is a close, not an error";
    EXPECT_EQ(log.count("ChangeState 4>7"), 1);
    EXPECT_LE(log.count("SessionClosed 0") + log.count("SessionClosed 10054"), 1);
}

TEST(Faults, PeerThatNeverReadsLeavesTheQueueAndFlushGivesUpInTime)
{
    ThreadedServer server(ThreadedServer::Kind::NeverRead);
    TWSocket s;
    SocketLog log(s);
    s.SetMultiThreaded(true);
    connectTo(s, server.port());
    ASSERT_TRUE(runUntil([&] { return log.has("DataSent 0"); }));
    log.entries.clear();
    const std::string chunk(1024 * 1024, 'q');
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(s.Send(chunk.data(), static_cast<int>(chunk.size())), static_cast<int>(chunk.size()));
    s.SetFlushTimeout(1);
    QElapsedTimer clock;
    clock.start();
    s.Flush();
    EXPECT_GE(clock.elapsed(), 900);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(s.State(), wsConnected);
    EXPECT_FALSE(log.has("DataSent 0"));
    EXPECT_FALSE(log.has("Error"));
    s.Close();
    EXPECT_EQ(s.State(), wsClosed);
}

TEST(Faults, BytesQueuedAtCloseNeverReachTheNextConnection)
{
    ThreadedServer stuck(ThreadedServer::Kind::NeverRead);
    ThreadedServer sink(ThreadedServer::Kind::Sink);
    TWSocket s;
    connectTo(s, stuck.port());
    const std::string chunk(16 * 1024 * 1024, 'o');
    s.Send(chunk.data(), static_cast<int>(chunk.size()));
    runFor(50); // the kernel takes what fits; the rest stays queued
    s.Close();
    connectTo(s, sink.port());
    s.SendStr("fresh");
    ASSERT_TRUE(runUntil([&] { return sink.received() >= 5; }));
    runFor(100);
    EXPECT_EQ(sink.received(), 5);
}

TEST(Faults, StaleAndPausedNotificationsAreIgnored)
{
    testservers::ScriptedServer server({script::accept(), script::stall(200ms), script::send("late"), script::expectClose()});
    TWSocket s;
    SocketLog log(s);
    connectTo(s, server.port());
    runFor(20);
    log.entries.clear();
    // Another handle, and a number that is no socket at all.
    s.Window()->post(WM_SOCKET_EVENT, static_cast<net::WPARAM>(s.Handle() + 100),
                     net::makeSelectLParam(net::FD_CLOSE | net::FD_READ, 0));
    s.Window()->post(WM_SOCKET_EVENT, static_cast<net::WPARAM>(-1), net::makeSelectLParam(net::FD_CONNECT, 10061));
    s.Window()->post(WM_HOST_LOOKUP_DONE, 12345, net::makeSelectLParam(0, 11001));
    runFor(50);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(s.State(), wsConnected);

    EXPECT_EQ(s.Pause(), 0);
    s.Window()->post(WM_SOCKET_EVENT, static_cast<net::WPARAM>(s.Handle()), net::makeSelectLParam(net::FD_CLOSE, 0));
    runFor(400);
    EXPECT_TRUE(log.entries.empty()) << "paused: nothing arrives, nothing is handled";
    std::string received;
    log.onData = ReceiveInto(received);
    EXPECT_EQ(s.Resume(), 0);
    ASSERT_TRUE(runUntil([&] { return received == "late"; }));
}

TEST(Faults, CloseNotificationWhileConnectingChangesNothing)
{
    nettest::Listener listener;
    TWSocket s;
    SocketLog log(s);
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(listener.port));
    s.Connect();
    ASSERT_EQ(s.State(), wsConnecting);
    s.Window()->send(WM_SOCKET_EVENT, static_cast<net::WPARAM>(s.Handle()), net::makeSelectLParam(net::FD_CLOSE, 0));
    EXPECT_EQ(s.State(), wsConnecting);
    EXPECT_EQ(log.entries.size(), 2u);
}

TEST(Waits, PrivateLoopWaitsForStatesAndGivesUpOnARefusal)
{
    ThreadedServer server(ThreadedServer::Kind::Echo);
    TWSocket s;
    s.SetMultiThreaded(true);
    s.SetAddr("127.0.0.1");
    s.SetPort(server.portText());
    s.Connect();
    EXPECT_TRUE(s.Wait(5, wsConnected));
    EXPECT_TRUE(s.Wait(5, wsConnected)) << "a state that holds already";
    s.Close();

    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(nettest::refusedPort()));
    s.Connect();
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(s.Wait(10, wsConnected));
    EXPECT_LT(clock.elapsed(), 3000) << "a refusal ends the wait";
    EXPECT_EQ(s.State(), wsClosed);
}

TEST(Waits, WaitWithoutAWaitObjectReportsNoData)
{
    TWSocket s;
    try {
        s.Wait(1, wsConnected);
        ADD_FAILURE() << "no exception";
    } catch (const ESocketException& e) {
        EXPECT_STREQ(e.what(), "Error 11004 in function TWSocket.Wait\r\nNo Data");
    }
    SocketLog log(s);
    EXPECT_FALSE(s.Wait(1, wsConnected));
    EXPECT_EQ(log.entries, Entries{"Error"});
}

TEST(Waits, FlushSendsEverythingAndWaitForCloseReturnsAtThePeersClose)
{
    testservers::ScriptedServer server(
        {script::accept(), script::expectBytes(3 * 1024 * 1024), script::send("done"), script::close()});
    TWSocket s;
    SocketLog log(s);
    std::string received;
    log.onData = ReceiveInto(received);
    s.SetMultiThreaded(true);
    connectTo(s, server.port());
    const std::string data(3 * 1024 * 1024, 'f');
    s.Send(data.data(), static_cast<int>(data.size()));
    s.Flush();
    EXPECT_TRUE(runUntil([&] { return log.has("DataSent 0"); }));
    s.WaitForClose();
    EXPECT_TRUE(runUntil([&] { return s.State() == wsClosed; }));
    EXPECT_EQ(received, "done");
    EXPECT_TRUE(server.finish()) << server.failure();
    EXPECT_EQ(server.transcript().size(), data.size());
}

TEST(Options, LingerDefaultsResetTheConnectionAndNoSetLeavesTheSystemDefault)
{
    ThreadedServer server(ThreadedServer::Kind::Echo);
    TWSocket s;
    connectTo(s, server.port());
    linger option{};
    socklen_t len = sizeof option;
    ASSERT_EQ(::getsockopt(s.Handle(), SOL_SOCKET, SO_LINGER, &option, &len), 0);
    EXPECT_EQ(option.l_onoff, 1);
    EXPECT_EQ(option.l_linger, 0);
    int keepAlive = 0;
    len = sizeof keepAlive;
    ::getsockopt(s.Handle(), SOL_SOCKET, SO_KEEPALIVE, &keepAlive, &len);
    EXPECT_EQ(keepAlive, 1);
    s.Close();
    EXPECT_EQ(s.LingerOnOff(), wsLingerOn);

    s.SetLingerOnOff(wsLingerNoSet);
    connectTo(s, server.port());
    len = sizeof option;
    ::getsockopt(s.Handle(), SOL_SOCKET, SO_LINGER, &option, &len);
    EXPECT_EQ(option.l_onoff, 0);
}

TEST(Options, SendFlagsAndReportsOnAClosedSocket)
{
    TWSocket s;
    SocketLog log(s);
    s.SetSendFlags(wsSendUrgent);
    EXPECT_EQ(s.SendFlags(), wsSendUrgent);
    s.SetSendFlags(7);
    EXPECT_EQ(log.entries, Entries{"Error"});
    EXPECT_EQ(s.SendFlags(), wsSendUrgent) << "an invalid value changes nothing";
    EXPECT_EQ(s.RcvdCount(), -1);
    EXPECT_EQ(log.count("Error"), 2);
    s.OnError = nullptr;
    try {
        s.RcvdCount();
        ADD_FAILURE() << "no exception";
    } catch (const ESocketException& e) {
        EXPECT_STREQ(e.what(), "Error 10038 in function ioctlSocket\r\nSocket operation on non-socket");
    }
    EXPECT_EQ(s.Shutdown(2), 0) << "nothing on an invalid handle";
    sockaddr_in a{};
    EXPECT_EQ(s.GetPeerSockAddr(a, sizeof a), -1);
}

TEST(Options, TimevalHelpers)
{
    TWSocket s;
    timeval a{0, 0};
    timeval b{0, 5};
    EXPECT_FALSE(s.TimevalIsSet(a));
    EXPECT_TRUE(s.TimevalIsSet(b));
    EXPECT_TRUE(s.TimevalEqual(a, b, false));
    EXPECT_FALSE(s.TimevalEqual(a, b, true));
    s.TimevalClear(b);
    EXPECT_TRUE(s.TimevalEqual(a, b, true));
}
