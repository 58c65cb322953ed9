// A socket report raised by the socket's own work inside the event loop (sending what is queued,
// closing after a notification) has no caller to reach: the client must end the request as a
// failed one with the report's text, never let the report unwind through the event dispatcher,
// never stay busy. Provoked for real: a server that resets, and every socket call of a whole
// exchange failing in turn.
#include "ClientHarness.h"
#include "ScriptedServer.h"

#include "base/Streams.h"
#include "platform/net/FaultInjection.h"
#include "platform/net/Winsock.h"
#include "wsocket/WSocket.h"

#include <QTimer>
#include <gtest/gtest.h>

#include <sys/socket.h>

#include <algorithm>

using namespace httpprot;
using namespace httptest;
using namespace testservers::script;
using testservers::Script;
using testservers::ScriptedServer;
using std::chrono::milliseconds;
namespace faults = platform::net::faults;

namespace {

const std::string kEnd = "\r\n\r\n";
const std::string kBody(20000, 'b');

std::string Url(const ScriptedServer& server)
{
    return "http://127.0.0.1:" + std::to_string(server.port()) + "/doc.html";
}

// Disarms the fault hook whatever the test's outcome.
struct FaultsDisarmed {
    ~FaultsDisarmed() { faults::failNthCall(0, 0); }
};

struct Attempt {
    Outcome outcome;
    bool fired = false;
};

// One GET (or POST of postSize bytes) whose failAt-th socket call fails with code.
Attempt Exchange(bool post, int failAt, int code)
{
    const Script answer = {send("HTTP/1.0 200 OK\r\nContent-Length: " + std::to_string(kBody.size()) + "\r\n\r\n" + kBody),
                           close()};
    Script script = {accept(), expectUntil(kEnd)};
    if (post)
        script.push_back(expectBytes(kBody.size()));
    script.insert(script.end(), answer.begin(), answer.end());
    ScriptedServer server(script, milliseconds(3000));
    THttpCli client;
    Recorder recorder(client);
    base::MemoryStream body;
    body.write(kBody);
    body.seek(0, base::SeekOrigin::Beginning);
    client.SetPostStream(&body);
    client.SetURL(Url(server));
    const FaultsDisarmed disarm;
    Attempt run;
    run.outcome = recorder.run(
        [&] {
            faults::failNthCall(failAt, code);
            if (post)
                client.PostASync();
            else
                client.GetASync();
        },
        milliseconds(5000));
    run.fired = faults::fired();
    EXPECT_EQ(client.State(), THttpState::Ready) << "call " << failAt;
    return run;
}

void FailEveryCallInTurn(bool post, int code)
{
    int failAt = 1;
    for (; failAt < 120; ++failAt) {
        const Attempt run = Exchange(post, failAt, code);
        const Outcome& o = run.outcome;
        ASSERT_TRUE(o.done) << "call " << failAt << " failing left the client without OnRequestDone";
        EXPECT_EQ(std::count(o.events.begin(), o.events.end(), "done"), 1) << "call " << failAt;
        if (o.status == 200) {
            EXPECT_EQ(o.bodySize, static_cast<std::int64_t>(kBody.size())) << "call " << failAt;
        } else {
            EXPECT_EQ(o.status, 404) << "call " << failAt;
            EXPECT_FALSE(o.reason.empty()) << "call " << failAt;
            EXPECT_EQ(o.reason.find('\r'), std::string::npos) << "one line: " << o.reason;
        }
        if (!run.fired) {
            EXPECT_EQ(o.status, 200) << "the exchange itself works";
            break;
        }
    }
    EXPECT_GT(failAt, 5) << "the exchange makes calls";
}

} // namespace

TEST(HttpCliSocketReports, EveryCallOfAGetFailingInTurnEndsTheRequestOnce)
{
    FailEveryCallInTurn(false, platform::net::WSAENOBUFS);
}

TEST(HttpCliSocketReports, EveryCallOfAPostFailingInTurnEndsTheRequestOnce)
{
    FailEveryCallInTurn(true, platform::net::WSAECONNABORTED);
}

TEST(HttpCliSocketReports, ASendFailingInTheEventLoopFailsTheSynchronousPostWithTheReport)
{
    // The server reads nothing for a while and the client's kernel buffer is small: the body
    // waits in the socket's queue, and the socket's own send from the event loop, once the
    // server reads, is the call that fails.
    const std::size_t size = 1 << 20;
    ScriptedServer server({accept(), stall(milliseconds(600)), expectUntil(kEnd), expectBytes(size), close()},
                          milliseconds(3000));
    THttpCli client;
    base::MemoryStream body;
    body.write(std::string(size, 'p'));
    body.seek(0, base::SeekOrigin::Beginning);
    client.SetPostStream(&body);
    client.SetURL(Url(server));
    client.OnHeaderBegin = [&](THttpCli* c) {
        const int small = 4096;
        ::setsockopt(static_cast<int>(c->Socket()->Handle()), SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
    };
    int requestDoneError = -1;
    client.OnRequestDone = [&](THttpCli*, THttpRequest, int error) { requestDoneError = error; };
    const FaultsDisarmed disarm;
    QTimer::singleShot(milliseconds(300), Qt::PreciseTimer, [] { faults::failNthCall(1, platform::net::WSAENOBUFS); });
    try {
        client.Post();
        ADD_FAILURE() << "Post returned although sending failed";
    } catch (const EHttpException& e) {
        EXPECT_EQ(e.ErrorCode(), 404);
        EXPECT_EQ(std::string(e.what()), "Error 10055 in function TryToSend failed - No buffer space available");
    }
    EXPECT_TRUE(faults::fired());
    EXPECT_EQ(client.State(), THttpState::Ready);
    EXPECT_LT(client.SentCount(), static_cast<std::int64_t>(size));
    Recorder::turnEventLoop(milliseconds(50));
    EXPECT_EQ(requestDoneError, platform::net::WSAENOBUFS);
}

TEST(HttpCliSocketReports, AResetInTheMiddleOfTheBodyFailsTheRequest)
{
    // Without a Content-Length only the orderly close marks the end of the document: a reset
    // means it may be cut short.
    ScriptedServer server({accept(), expectUntil(kEnd), send("HTTP/1.0 200 OK\r\n\r\npart of the"), stall(milliseconds(100)),
                           reset()});
    THttpCli client;
    Recorder recorder(client);
    client.SetURL(Url(server));
    try {
        client.Get();
        ADD_FAILURE() << "Get returned although the connection was reset";
    } catch (const EHttpException& e) {
        EXPECT_EQ(e.ErrorCode(), 404);
        EXPECT_EQ(std::string(e.what()), "Connection reset by peer (Error #10054)");
    }
    EXPECT_EQ(client.State(), THttpState::Ready);
    Recorder::turnEventLoop(milliseconds(100));
}
