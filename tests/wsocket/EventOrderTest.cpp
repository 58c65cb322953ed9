// The order of events a client of the socket relies on, against real loopback peers.
#include "LoopbackPeer.h"
#include "LoopbackServers.h"
#include "ScriptedServer.h"
#include "SocketLog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

using nettest::runFor;
using nettest::runUntil;
using wstest::ThreadedServer;
using Entries = std::vector<std::string>;
namespace script = testservers::script;

namespace {

void connectTo(TWSocket& s, std::uint16_t port)
{
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(port));
    s.Connect();
}

} // namespace

TEST(LookupOrder, DottedAddressCompletesInsideTheCall)
{
    TWSocket s;
    SocketLog log(s);
    s.DnsLookup("127.000.0.1");
    EXPECT_EQ(log.entries, Entries{"DnsLookupDone 0"});
    EXPECT_EQ(s.DnsResult(), "127.0.0.1") << "normalised dotted form";
    EXPECT_TRUE(s.DnsResultList().empty());
}

TEST(LookupOrder, NameCompletesLaterFromTheEventLoop)
{
    TWSocket s;
    SocketLog log(s);
    s.DnsLookup("localhost");
    EXPECT_TRUE(log.entries.empty());
    ASSERT_TRUE(runUntil([&] { return !log.entries.empty(); }));
    runFor(50);
    EXPECT_EQ(log.entries, Entries{"DnsLookupDone 0"});
    EXPECT_EQ(s.DnsResult(), "127.0.0.1");
    ASSERT_FALSE(s.DnsResultList().empty());
    EXPECT_EQ(s.DnsResultList().get(0), "127.0.0.1");
}

TEST(LookupOrder, UnknownNameArrivesAsHostNotFoundWithAnEmptyResult)
{
    TWSocket s;
    SocketLog log(s);
    s.DnsLookup("127.0.0.1");
    s.DnsLookup("nothing-here.invalid");
    EXPECT_EQ(s.DnsResult(), "") << "cleared when a look-up starts";
    ASSERT_TRUE(runUntil([&] { return log.entries.size() == 2; }));
    EXPECT_EQ(log.entries.back(), "DnsLookupDone 11001");
    EXPECT_EQ(s.DnsResult(), "");
    EXPECT_FALSE(log.has("Error")) << "a failed look-up is no error report";
}

TEST(LookupOrder, OversizedAndBrokenNamesFailAsLookups)
{
    TWSocket s;
    SocketLog log(s);
    for (const std::string& name : {std::string(10240, 'a'), std::string("local\0host", 10), std::string("a..b")}) {
        log.entries.clear();
        s.DnsLookup(name);
        ASSERT_TRUE(runUntil([&] { return !log.entries.empty(); }));
        EXPECT_NE(log.entries[0], "DnsLookupDone 0") << name.size();
        EXPECT_EQ(s.DnsResult(), "");
    }
    EXPECT_FALSE(log.has("Error"));
}

TEST(LookupOrder, AllOnesTakesTheAsynchronousPath)
{
    TWSocket s;
    SocketLog log(s);
    s.DnsLookup("255.255.255.255");
    EXPECT_TRUE(log.entries.empty());
    ASSERT_TRUE(runUntil([&] { return !log.entries.empty(); }));
    EXPECT_EQ(log.entries, Entries{"DnsLookupDone 0"});
    EXPECT_EQ(s.DnsResult(), "255.255.255.255");
}

TEST(LookupOrder, EmptyNameIsReportedThenCompletesWithInvalidArgument)
{
    TWSocket s;
    SocketLog log(s);
    s.DnsLookup("");
    EXPECT_EQ(log.entries, (Entries{"Error", "DnsLookupDone 10022"}));

    TWSocket bare;
    SocketLog bareLog(bare, false);
    EXPECT_THROW(bare.DnsLookup(""), ESocketException);
    EXPECT_TRUE(bareLog.entries.empty()) << "without OnError the exception ends the call";
}

TEST(LookupOrder, SecondLookupCancelsTheFirstSilently)
{
    TWSocket s;
    SocketLog log(s);
    s.DnsLookup("localhost");
    s.DnsLookup("nothing-here.invalid");
    ASSERT_TRUE(runUntil([&] { return !log.entries.empty(); }));
    runFor(200);
    EXPECT_EQ(log.entries, Entries{"DnsLookupDone 11001"});
}

TEST(LookupOrder, CancelFiresInterruptedOnceAndNothingFollows)
{
    TWSocket s;
    SocketLog log(s);
    s.CancelDnsLookup();
    EXPECT_TRUE(log.entries.empty()) << "nothing pending: nothing happens";
    s.DnsLookup("localhost");
    s.CancelDnsLookup();
    EXPECT_EQ(log.entries, Entries{"DnsLookupDone 10004"});
    runFor(200);
    EXPECT_EQ(log.entries, Entries{"DnsLookupDone 10004"});
}

TEST(LookupOrder, DestroyWithALookupPendingFiresNothing)
{
    Entries entries;
    {
        TWSocket s;
        SocketLog log(s);
        s.DnsLookup("localhost");
        s.OnDnsLookupDone = [&](TCustomWSocket*, std::uint16_t e) { entries.push_back(std::to_string(e)); };
    }
    runFor(200);
    EXPECT_TRUE(entries.empty());
}

TEST(LookupOrder, SlowResolverNeitherBlocksTheCallerNorOutlivesTheSocket)
{
    platform::net::faults::delayLookups(500);
    QElapsedTimer clock;
    clock.start();
    {
        TWSocket gone;
        gone.OnDnsLookupDone = [](TCustomWSocket*, std::uint16_t) { ADD_FAILURE() << "destroyed socket notified"; };
        gone.DnsLookup("localhost");
    }
    TWSocket s;
    SocketLog log(s);
    s.DnsLookup("localhost");
    EXPECT_LT(clock.elapsed(), 200) << "DnsLookup returns at once";
    ASSERT_TRUE(runUntil([&] { return !log.entries.empty(); }));
    platform::net::faults::delayLookups(0);
    EXPECT_GE(clock.elapsed(), 450);
    EXPECT_EQ(log.entries, Entries{"DnsLookupDone 0"});
    runFor(100);
}

TEST(ConnectOrder, SuccessOpensConnectsAndReportsConnected)
{
    ThreadedServer server(ThreadedServer::Kind::Echo);
    TWSocket s;
    SocketLog log(s);
    connectTo(s, server.port());
    EXPECT_EQ(log.entries, (Entries{"ChangeState 7>1", "ChangeState 1>3"}));
    EXPECT_EQ(s.State(), wsConnecting);
    ASSERT_TRUE(runUntil([&] { return log.has("DataSent 0"); }));
    runFor(50);
    // The first FD_WRITE after the connect finds the (empty) queue all sent.
    EXPECT_EQ(log.entries, (Entries{"ChangeState 7>1", "ChangeState 1>3", "ChangeState 3>4", "SessionConnected 0",
                                    "DataSent 0"}));
    EXPECT_EQ(s.GetPeerAddr(), "127.0.0.1");
    EXPECT_NE(s.GetLocalPort(), "error");
}

TEST(ConnectOrder, RefusalConnectsClosesAndReportsTheClose)
{
    TWSocket s;
    SocketLog log(s);
    connectTo(s, nettest::refusedPort());
    ASSERT_TRUE(runUntil([&] { return log.has("SessionClosed 0"); }));
    runFor(50);
    EXPECT_EQ(log.entries, (Entries{"ChangeState 7>1", "ChangeState 1>3", "ChangeState 3>4", "SessionConnected 10061",
                                    "ChangeState 4>7", "SessionClosed 0"}));
    EXPECT_EQ(s.State(), wsClosed);
    EXPECT_EQ(s.Handle(), INVALID_SOCKET);
}

TEST(ConnectOrder, ConnectAfterAcceptAndCloseSeesTheCloseOnce)
{
    ThreadedServer server(ThreadedServer::Kind::AcceptAndClose);
    TWSocket s;
    SocketLog log(s);
    connectTo(s, server.port());
    ASSERT_TRUE(runUntil([&] { return s.State() == wsClosed; }));
    runFor(50);
    EXPECT_EQ(log.count("SessionClosed 0"), 1);
    EXPECT_EQ(log.entries.back(), "ChangeState 4>7");
}

TEST(SendOrder, DataSentComesAfterSendReturnsEvenWhenEverythingWentAtOnce)
{
    ThreadedServer server(ThreadedServer::Kind::Sink);
    TWSocket s;
    SocketLog log(s);
    connectTo(s, server.port());
    ASSERT_TRUE(runUntil([&] { return log.has("DataSent 0"); }));
    log.entries.clear();
    EXPECT_EQ(s.SendStr("GET / HTTP/1.0\r\n\r\n"), 18);
    EXPECT_TRUE(log.entries.empty()) << "never inside Send";
    ASSERT_TRUE(runUntil([&] { return log.has("DataSent 0"); }));
    EXPECT_TRUE(runUntil([&] { return server.received() == 18; }));
}

TEST(SendOrder, SendInsideSessionConnectedSeesDataSentFromBothWriteNotices)
{
    ThreadedServer server(ThreadedServer::Kind::Sink);
    TWSocket s;
    SocketLog log(s);
    s.OnSessionConnected = [&](TCustomWSocket* sender, std::uint16_t) {
        log.entries.push_back("SessionConnected");
        sender->SendStr("request");
    };
    connectTo(s, server.port());
    ASSERT_TRUE(runUntil([&] { return server.received() == 7; }));
    runFor(100);
    // The connect's own FD_WRITE and the one Send posts both find the queue empty.
    EXPECT_EQ(log.from("SessionConnected"), (Entries{"SessionConnected", "DataSent 0", "DataSent 0"}));
}

TEST(SendOrder, ZeroBytesQueueNothingAndDataSentNeedsABlock)
{
    ThreadedServer server(ThreadedServer::Kind::Sink);
    TWSocket s;
    SocketLog log(s);
    connectTo(s, server.port());
    ASSERT_TRUE(runUntil([&] { return log.has("DataSent 0"); }));
    log.entries.clear();
    EXPECT_EQ(s.Send(nullptr, 0), 0);
    runFor(100);
    EXPECT_TRUE(log.entries.empty()) << "no block exists yet";

    s.SendStr("x");
    ASSERT_TRUE(runUntil([&] { return log.has("DataSent 0"); }));
    log.entries.clear();
    EXPECT_EQ(s.Send("", 0), 0);
    ASSERT_TRUE(runUntil([&] { return log.has("DataSent 0"); })) << "the emptied block is kept";
}

TEST(SendOrder, TenMegabytesAreQueuedAtOnceAndArriveWhole)
{
    ThreadedServer server(ThreadedServer::Kind::Sink);
    TWSocket s;
    SocketLog log(s);
    connectTo(s, server.port());
    ASSERT_TRUE(runUntil([&] { return log.has("DataSent 0"); }));
    log.entries.clear();
    const std::string data(10 * 1024 * 1024, 'z');
    EXPECT_EQ(s.Send(data.data(), static_cast<int>(data.size())), static_cast<int>(data.size()));
    EXPECT_TRUE(log.entries.empty());
    ASSERT_TRUE(runUntil([&] { return log.has("DataSent 0"); }, 20000));
    EXPECT_TRUE(runUntil([&] { return server.received() == static_cast<long long>(data.size()); }, 20000));
    runFor(50);
    EXPECT_EQ(log.count("DataSent 0"), 1) << "once, when the queue is found empty";
}

TEST(SendOrder, SendWhileConnectingIsNotConnectedAndCloses)
{
    ThreadedServer server(ThreadedServer::Kind::Sink);
    TWSocket s;
    SocketLog log(s);
    connectTo(s, server.port());
    ASSERT_EQ(s.State(), wsConnecting);
    EXPECT_EQ(s.SendStr("early"), -1);
    EXPECT_EQ(log.from("ChangeState 3>7"), (Entries{"ChangeState 3>7", "Error"}));
    EXPECT_EQ(s.State(), wsClosed);
    runFor(100);
    EXPECT_FALSE(log.has("SessionConnected 0")) << "the closed handle's notifications are gone";

    TWSocket bare;
    bare.SetAddr("127.0.0.1");
    bare.SetPort(server.portText());
    bare.Connect();
    try {
        bare.SendStr("early");
        ADD_FAILURE() << "no exception";
    } catch (const ESocketException& e) {
        EXPECT_STREQ(e.what(), "Error 10057 in function Send\r\nSocket is not connected");
    }
}

TEST(ReceiveOrder, PeerCloseDeliversTheRestThenClosedThenTheStateChange)
{
    testservers::ScriptedServer server({script::accept(), script::send("hello, world"), script::close()});
    TWSocket s;
    SocketLog log(s);
    std::string received;
    // A small buffer: one notification calls the handler again while bytes remain.
    log.onData = [&](TCustomWSocket* sender, std::uint16_t) {
        char buffer[4];
        const int n = sender->Receive(buffer, sizeof buffer);
        if (n > 0)
            received.append(buffer, static_cast<std::size_t>(n));
    };
    connectTo(s, server.port());
    ASSERT_TRUE(runUntil([&] { return s.State() == wsClosed; }));
    EXPECT_TRUE(server.finish()) << server.failure();
    EXPECT_EQ(received, "hello, world");
    EXPECT_GE(log.count("DataAvailable 0"), 3);
    const Entries tail(log.entries.end() - 2, log.entries.end());
    EXPECT_EQ(tail, (Entries{"SessionClosed 0", "ChangeState 4>7"}));
    EXPECT_EQ(log.count("SessionClosed 0"), 1);
    EXPECT_EQ(s.ReadCount(), 0) << "reset by the close";
}

TEST(ReceiveOrder, ResetIsReportedWithItsCode)
{
    testservers::ScriptedServer server({script::accept(), script::send("partial"), script::reset()});
    TWSocket s;
    SocketLog log(s);
    std::string received;
    log.onData = ReceiveInto(received);
    connectTo(s, server.port());
    ASSERT_TRUE(runUntil([&] { return s.State() == wsClosed; }));
    EXPECT_EQ(log.count("SessionClosed 10054"), 1) << log.joined();
    EXPECT_EQ(log.entries.back(), "ChangeState 4>7") << log.joined();
}

TEST(CloseOrder, LocalCloseChangesStateThenReportsTheCloseThenResets)
{
    ThreadedServer server(ThreadedServer::Kind::Echo);
    TWSocket s;
    SocketLog log(s);
    connectTo(s, server.port());
    ASSERT_TRUE(runUntil([&] { return s.State() == wsConnected; }));
    s.SetProto("tcp"); // refused while open: nothing changes
    log.entries.clear();
    s.Close();
    EXPECT_EQ(log.entries, (Entries{"ChangeState 4>7", "SessionClosed 0"}));
    EXPECT_EQ(s.GetLocalPort(), "error");
    EXPECT_EQ(s.GetPeerAddr(), "error");
    s.Close();
    EXPECT_EQ(log.entries.size(), 2u) << "closing a closed socket does nothing";
    runFor(50);
    EXPECT_EQ(log.entries.size(), 2u);
}

TEST(CloseOrder, AbortClosesLikeCloseWithoutTheShutdown)
{
    ThreadedServer server(ThreadedServer::Kind::Echo);
    TWSocket s;
    SocketLog log(s);
    connectTo(s, server.port());
    ASSERT_TRUE(runUntil([&] { return s.State() == wsConnected; }));
    log.entries.clear();
    s.Abort();
    EXPECT_EQ(log.entries, (Entries{"ChangeState 4>7", "SessionClosed 0"}));
    EXPECT_EQ(s.Handle(), INVALID_SOCKET);
}

TEST(Defaults, CreationAndResetValues)
{
    TWSocket s;
    EXPECT_EQ(s.State(), wsClosed);
    EXPECT_EQ(s.Proto(), "tcp");
    EXPECT_EQ(s.ProtocolNumber(), 6);
    EXPECT_EQ(s.FlushTimeout(), 60);
    EXPECT_EQ(s.LingerOnOff(), wsLingerOn);
    EXPECT_EQ(s.LingerTimeout(), 0);
    EXPECT_FALSE(s.MultiThreaded());
    EXPECT_EQ(s.SendFlags(), wsSendNormal);
    EXPECT_EQ(s.WaitCtrl(), nullptr);
    EXPECT_EQ(s.ReadCount(), 0);
    EXPECT_EQ(s.LastError(), 0);
    EXPECT_EQ(s.Handle(), INVALID_SOCKET);

    ThreadedServer server(ThreadedServer::Kind::Echo);
    s.SetFlushTimeout(5);
    s.SetLingerOnOff(wsLingerOff);
    s.SetLingerTimeout(3);
    s.SetMultiThreaded(true);
    s.SetSendFlags(wsSendUrgent);
    connectTo(s, server.port());
    ASSERT_TRUE(s.Wait(5, wsConnected));
    s.DnsLookup("127.0.0.1");
    s.Close();
    EXPECT_EQ(s.FlushTimeout(), 60) << "reset";
    EXPECT_EQ(s.LingerOnOff(), wsLingerOn) << "reset";
    EXPECT_EQ(s.LingerTimeout(), 0) << "reset";
    EXPECT_TRUE(s.MultiThreaded()) << "kept";
    EXPECT_EQ(s.SendFlags(), wsSendUrgent) << "kept";
    EXPECT_EQ(s.DnsResult(), "127.0.0.1") << "kept";
    EXPECT_EQ(s.Port(), server.portText()) << "text kept";
}

TEST(CloseOrder, DestroyWhileConnectedClosesWithoutSessionClosed)
{
    ThreadedServer server(ThreadedServer::Kind::Echo);
    Entries entries;
    {
        TWSocket s;
        connectTo(s, server.port());
        ASSERT_TRUE(runUntil([&] { return s.State() == wsConnected; }));
        s.OnChangeState = [&](TCustomWSocket*, TSocketState o, TSocketState n) {
            entries.push_back(std::to_string(o) + ">" + std::to_string(n));
        };
        s.OnSessionClosed = [&](TCustomWSocket*, std::uint16_t) { entries.push_back("SessionClosed"); };
    }
    EXPECT_EQ(entries, Entries{"4>7"});
    runFor(50);
    EXPECT_EQ(entries, Entries{"4>7"});
}
