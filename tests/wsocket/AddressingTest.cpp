// Address, port and protocol texts, the synchronous resolution, the refusals while open,
// error texts and the process-wide start-up.
#include "LoopbackPeer.h"
#include "LoopbackServers.h"
#include "SocketLog.h"

#include <gtest/gtest.h>

using nettest::runUntil;
using wstest::ThreadedServer;

namespace {

// Without OnError every report is an exception carrying the message.
std::string reportOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const ESocketException& e) {
        return e.what();
    }
    return "";
}

} // namespace

TEST(Addressing, DottedAddressWithBlanksResolvesWithoutLookupAndReadsBackUntrimmed)
{
    TWSocket s;
    s.SetAddr("  127.0.0.1 \t");
    EXPECT_EQ(s.Addr(), "  127.0.0.1 \t");
    EXPECT_EQ(s.AddressRecord().sin_addr.s_addr, htonl(INADDR_LOOPBACK));
    EXPECT_EQ(ResolveHost(" 10.0.0.7 "), platform::net::inet_addr("10.0.0.7"));
    EXPECT_EQ(ResolveHost("255.255.255.255"), 0xFFFFFFFFu) << "the broadcast address";
    EXPECT_EQ(ResolveHost("localhost"), htonl(INADDR_LOOPBACK));
    EXPECT_EQ(ResolveHost(std::string(300, ' ') + "127.0.0.1"), htonl(INADDR_LOOPBACK)) << "trimmed before the cut";
}

TEST(Addressing, UnknownHostAndOversizedTextRaiseEvenWithOnError)
{
    TWSocket s;
    SocketLog log(s);
    EXPECT_EQ(reportOf([&] { s.SetAddr("no-such-host.invalid"); }),
              "SetAddr: Cannot convert host address 'no-such-host.invalid'");
    const std::string huge(10240, 'a');
    EXPECT_EQ(reportOf([&] { s.SetAddr(huge); }), "SetAddr: Cannot convert host address '" + huge + "'");
    EXPECT_FALSE(log.has("Error")) << "an unresolvable address never goes through OnError";
    EXPECT_EQ(s.Addr(), huge) << "the text is stored before it is converted";
    s.SetPort("1");
    s.OnError = nullptr;
    EXPECT_EQ(reportOf([&] { s.Connect(); }), "Connect: No IP Address Specified") << "the address stays unassigned";
}

TEST(Addressing, PortTextsDigitsServicesAndFailures)
{
    TWSocket s;
    s.SetPort("80");
    EXPECT_EQ(s.PortNumber(), 80);
    s.SetPort(" 80abc");
    EXPECT_EQ(s.PortNumber(), 80) << "digits up to the first other character";
    EXPECT_EQ(ntohs(s.AddressRecord().sin_port), 80);
    s.SetPort("http");
    EXPECT_EQ(s.PortNumber(), 80) << "a service of the current protocol (tcp)";
    s.SetPort("99999");
    EXPECT_EQ(s.PortNumber(), 99999 & 0xFFFF) << "the low 16 bits, as documented";

    SocketLog log(s);
    s.SetPort("http-alt-which-does-not-exist");
    EXPECT_EQ(log.count("Error"), 1);
    s.OnError = nullptr;
    EXPECT_EQ(reportOf([&] { s.SetPort("  http-alt-which-does-not-exist "); }),
              "Error 11004 in function SetPort: Cannot convert port 'http-alt-which-does-not-exist'\r\nNo Data");
    EXPECT_EQ(reportOf([&] { s.SetPort(std::string(40, 'p')); }),
              "Error 11004 in function SetPort: Cannot convert port '" + std::string(40, 'p') + "'\r\nNo Data");
    s.SetAddr("127.0.0.1");
    EXPECT_EQ(reportOf([&] { s.Connect(); }), "Connect: No Port Specified") << "a failed service leaves it unassigned";
}

TEST(Addressing, ProtocolTextsMakeStreamOrDatagramSockets)
{
    TWSocket s;
    EXPECT_EQ(s.Proto(), "tcp");
    s.SetProto("17");
    EXPECT_EQ(s.SocketType(), SOCK_DGRAM);
    s.SetProto("6");
    EXPECT_EQ(s.SocketType(), SOCK_STREAM);
    s.SetProto(" udp ");
    EXPECT_EQ(s.ProtocolNumber(), 17);
    EXPECT_EQ(s.SocketType(), SOCK_DGRAM);
    s.SetProto("tcp");
    EXPECT_EQ(s.SocketType(), SOCK_STREAM);

    const std::string forty(40, 'x');
    EXPECT_EQ(reportOf([&] { s.SetProto(forty); }),
              "Error 11004 in function SetProto: Cannot convert protocol '" + forty + "'\r\nNo Data");
    EXPECT_EQ(s.SocketType(), SOCK_STREAM) << "the type stays as it was";
    s.SetAddr("127.0.0.1");
    s.SetPort("1");
    EXPECT_EQ(reportOf([&] { s.Connect(); }), "Connect: No Protocol Specified");
    EXPECT_EQ(reportOf([&] { s.SetProto("no-such-protocol"); }),
              "Error 11004 in function SetProto: Cannot convert protocol 'no-such-protocol'\r\nNo Data");
}

TEST(Addressing, ServiceIsLookedUpWithTheProtocolText)
{
    TWSocket s;
    s.SetProto("udp");
    SocketLog log(s);
    s.SetPort("http"); // http is a tcp service only
    EXPECT_EQ(log.count("Error"), 1);
    s.SetProto("");
    s.SetPort("http");
    EXPECT_EQ(s.PortNumber(), 80) << "an empty protocol text matches any";
}

TEST(Addressing, SameTextConvertsOnceAndAgainAfterAClose)
{
    ThreadedServer server(ThreadedServer::Kind::Echo);
    TWSocket s;
    SocketLog log(s);
    s.SetProto("udp");
    s.SetPort("http"); // fails: not a udp service
    ASSERT_EQ(log.count("Error"), 1);
    s.SetProto("tcp");
    s.SetPort("http-alt-which-does-not-exist");
    ASSERT_EQ(log.count("Error"), 2);
    s.SetPort("http-alt-which-does-not-exist");
    EXPECT_EQ(log.count("Error"), 3) << "a failed conversion leaves it unassigned, so it is tried again";

    s.SetPort(server.portText());
    s.SetPort(server.portText());
    s.SetAddr("127.0.0.1");
    s.Connect();
    ASSERT_TRUE(runUntil([&] { return s.State() == wsConnected; }));
    s.Close();
    EXPECT_EQ(s.Proto(), "tcp");
    EXPECT_EQ(s.Addr(), "127.0.0.1") << "texts survive the reset";
    s.Connect();
    EXPECT_EQ(log.entries.back(), "Error") << "after a close the port must be assigned again";
    s.SetPort(server.portText());
    s.SetAddr("127.0.0.1");
    s.Connect();
    EXPECT_TRUE(runUntil([&] { return s.State() == wsConnected; })) << "the same texts convert again";
}

TEST(Addressing, ChangesWhileOpenAreRefusedAndKeepTheOldValues)
{
    ThreadedServer server(ThreadedServer::Kind::Echo);
    TWSocket s;
    s.SetAddr("127.0.0.1");
    s.SetPort(server.portText());
    s.Connect();
    ASSERT_TRUE(runUntil([&] { return s.State() == wsConnected; }));
    EXPECT_EQ(reportOf([&] { s.SetAddr("10.0.0.1"); }), "Cannot change Addr if not closed");
    EXPECT_EQ(reportOf([&] { s.SetPort("81"); }), "Cannot change Port if not closed");
    EXPECT_EQ(reportOf([&] { s.SetProto("udp"); }), "Cannot change Proto if not closed");
    EXPECT_EQ(s.Addr(), "127.0.0.1");
    EXPECT_EQ(s.Port(), server.portText());
    EXPECT_EQ(s.Proto(), "tcp");
    EXPECT_EQ(reportOf([&] { s.Connect(); }), "Connect: Socket already in use");
    EXPECT_EQ(s.State(), wsConnected);
}

TEST(Addressing, DecimalReaderAndTrim)
{
    EXPECT_EQ(DecimalValue("  42x"), 42u);
    EXPECT_EQ(DecimalValue(""), 0u);
    EXPECT_EQ(DecimalValue("-5"), 0u) << "no sign";
    EXPECT_EQ(DecimalValue("\t5"), 0u) << "only spaces are skipped";
    EXPECT_EQ(DecimalValue("4294967297"), 1u) << "no overflow test: the value wraps";
    EXPECT_EQ(TrimBlanks("\x01 a b \x1f"), "a b");
    EXPECT_EQ(TrimBlanks("   "), "");
}

TEST(ErrorTexts, TableAndFallback)
{
    EXPECT_EQ(WinsockErrorText(0), "No Error");
    EXPECT_EQ(WinsockErrorText(10035), "Operation would block");
    EXPECT_EQ(WinsockErrorText(10047), "Address family not supported by protocol family");
    EXPECT_EQ(WinsockErrorText(10061), "Connection refused");
    EXPECT_EQ(WinsockErrorText(10069), "Disc quota exceeded");
    EXPECT_EQ(WinsockErrorText(11001), "Host not found");
    EXPECT_EQ(WinsockErrorText(11004), "No Data");
    EXPECT_EQ(WinsockErrorText(12345), "Not a WinSock error");
    EXPECT_EQ(WinsockErrorText(10072), "Not a WinSock error");
    EXPECT_EQ(WinsockErrorText(-1), "Not a WinSock error");
}

TEST(Startup, LiveCountAndTheLastSocketEndsTheStartup)
{
    const int before = LiveSocketCount();
    {
        TWSocket a;
        TWSocket b;
        EXPECT_EQ(LiveSocketCount(), before + 2);
        EXPECT_TRUE(WinsockStarted());
    }
    EXPECT_EQ(LiveSocketCount(), before);
    if (before == 0) {
        EXPECT_FALSE(WinsockStarted());
        ResolveHost("127.0.0.1"); // starts it again on its own
        EXPECT_TRUE(WinsockStarted());
    }
}
