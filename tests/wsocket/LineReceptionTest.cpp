// Line reception through ReadLine (the private-loop wait; the wait-control wait is in the GUI
// suite): long lines, CR, lines split over many pieces, time-outs that continue a line.
#include "LoopbackPeer.h"
#include "ScriptedServer.h"
#include "SocketLog.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

using nettest::runFor;
using nettest::runUntil;
namespace script = testservers::script;
using namespace std::chrono_literals;

namespace {

struct LineClient {
    explicit LineClient(std::uint16_t port)
    {
        s.SetMultiThreaded(true);
        s.SetAddr("127.0.0.1");
        s.SetPort(std::to_string(port));
        s.Connect();
        EXPECT_TRUE(s.Wait(5, wsConnected));
    }
    std::string readLine(int timeout = 5)
    {
        std::string line = "untouched";
        s.ReadLine(timeout, line);
        return line;
    }
    TWSocket s;
    SocketLog log{s};
};

std::string letters(std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text.push_back(static_cast<char>('a' + i % 26));
    return text;
}

} // namespace

TEST(LineReception, ThreeHundredCharactersGiveA254CharacterLineAndTheRestStartsTheNext)
{
    const std::string text = letters(300);
    testservers::ScriptedServer server({script::accept(), script::send(text), script::stall(200ms),
                                        script::send("\r\n"), script::expectClose()});
    LineClient c(server.port());
    EXPECT_EQ(c.readLine(), text.substr(0, 254));
    EXPECT_EQ(c.log.count("LineTooLong"), 1);
    EXPECT_EQ(c.readLine(), text.substr(254));
    EXPECT_EQ(c.log.count("LineTooLong"), 1);
    EXPECT_EQ(c.s.ReadCount(), 302);
}

TEST(LineReception, CarriageReturnIsDroppedWhereverItIs)
{
    testservers::ScriptedServer server({script::accept(), script::send("ab\rc\n\r\rx\r\n"), script::expectClose()});
    LineClient c(server.port());
    EXPECT_EQ(c.readLine(), "abc");
    EXPECT_EQ(c.readLine(), "x");
}

TEST(LineReception, LinesSplitOverManySmallPieces)
{
    testservers::ScriptedServer server(
        {script::accept(), script::sendSlowly("first line\r\nsecond line\n", 3, 10ms), script::expectClose()});
    LineClient c(server.port());
    EXPECT_EQ(c.readLine(), "first line");
    EXPECT_EQ(c.readLine(), "second line");
    EXPECT_FALSE(c.log.has("LineTooLong"));
}

TEST(LineReception, TimedOutLineIsReturnedAsFarAsReadAndContinuedNextTime)
{
    testservers::ScriptedServer server({script::accept(), script::send("abc"), script::stall(300ms),
                                        script::send("def\n"), script::expectClose()});
    LineClient c(server.port());
    ASSERT_TRUE(runUntil([&] { return c.s.RcvdCount() == 3; }));
    EXPECT_EQ(c.readLine(0), "abc");
    EXPECT_EQ(c.readLine(), "abcdef");
}

TEST(LineReception, PeerCloseEndsTheLineAndClosesTheSocket)
{
    testservers::ScriptedServer server({script::accept(), script::stall(100ms), script::send("tail"), script::close()});
    LineClient c(server.port());
    EXPECT_EQ(c.readLine(), "tail");
    ASSERT_TRUE(runUntil([&] { return c.s.State() == wsClosed; }));
    EXPECT_EQ(c.log.count("SessionClosed 0"), 1);
}

TEST(LineReception, WithoutAWaitObjectTheLineIsNotTouched)
{
    TWSocket s;
    SocketLog log(s);
    std::string line = "kept";
    s.ReadLine(1, line);
    EXPECT_EQ(line, "kept");
    EXPECT_EQ(log.entries, std::vector<std::string>{"Error"});
    s.OnError = nullptr;
    try {
        s.ReadLine(1, line);
        ADD_FAILURE() << "no exception";
    } catch (const ESocketException& e) {
        EXPECT_STREQ(e.what(), "No wait object assigned");
    }
}

TEST(DataAvailable, HandlerThatReadsNothingNeitherSpinsNorStarvesTheLoop)
{
    testservers::ScriptedServer server({script::accept(), script::send("unread"), script::expectClose()});
    TWSocket s;
    SocketLog log(s);
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(server.port()));
    s.Connect();
    int timerTicks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++timerTicks; });
    ticker.start(10);
    ASSERT_TRUE(runUntil([&] { return log.has("DataAvailable 0"); }));
    runFor(200);
    EXPECT_EQ(log.count("DataAvailable 0"), 1) << "one call per notification, no repeat without a read";
    EXPECT_GT(timerTicks, 5) << "the event loop kept running";

    // Reading later (outside the handler) brings the notifications back.
    char first[2];
    EXPECT_EQ(s.Receive(first, sizeof first), 2);
    std::string rest;
    log.onData = ReceiveInto(rest);
    ASSERT_TRUE(runUntil([&] { return rest == "read"; }));
    EXPECT_EQ(s.ReadCount(), 6);
}

TEST(DataAvailable, ExceptionInTheHandlerEndsThePassAndTheSocketGoesOn)
{
    testservers::ScriptedServer server({script::accept(), script::send("one"), script::stall(200ms),
                                        script::send("two"), script::expectClose()});
    TWSocket s;
    SocketLog log(s);
    std::string received;
    int calls = 0;
    log.onData = [&](TCustomWSocket* sender, std::uint16_t) {
        char buffer[16];
        const int n = sender->Receive(buffer, sizeof buffer);
        if (n > 0)
            received.append(buffer, static_cast<std::size_t>(n));
        if (++calls == 1)
            throw std::runtime_error("handler failed");
    };
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(server.port()));
    s.Connect();
    ASSERT_TRUE(runUntil([&] { return received == "onetwo"; }));
    EXPECT_EQ(s.State(), wsConnected);
    EXPECT_FALSE(log.has("Error"));
}
