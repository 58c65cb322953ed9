// A connect the user stops: during a slow name look-up, a TCP connect nobody answers and a
// log-in whose greeting never comes, in both transfer modes. Each ends at once, logged out with
// nothing left open, and the next connect works.
#include "FtpTestSupport.h"
#include "UnansweredPort.h"

#include "platform/net/FaultInjection.h"
#include "tcpip/FtpRemoteFiles.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <optional>

using namespace tcpip;
using namespace tcpiptest;
using namespace testservers;
using namespace testservers::script;

namespace {

namespace faults = platform::net::faults;

constexpr int kCancelAfterMs = 150;
// Far below any of the stalls: the cancel, not a time limit, ended the wait.
constexpr int kPromptMs = 1500;

// Where a connect is left waiting; holds what keeps it waiting.
struct Stall {
    const char* name;
    std::optional<ScriptedServer> silent;
    std::optional<UnansweredPort> unanswered;
    bool slowLookUp = false;

    void aim(T_FTP& ftp)
    {
        if (slowLookUp) {
            faults::delayLookups(5000);
            ftp.Hostname = "localhost";
            return;
        }
        ftp.Port = silent ? silent->port() : unanswered->port();
    }
    ~Stall() { faults::delayLookups(0); }
};

std::unique_ptr<Stall> makeStall(int kind)
{
    auto made = std::make_unique<Stall>();
    switch (kind) {
    case 0:
        made->name = "greeting never comes";
        // The client's close ends the script: the cancel must close the connection.
        made->silent.emplace(Script{ accept(), expectClose() }, std::chrono::seconds(5));
        break;
    case 1:
        made->name = "TCP connect never answered";
        made->unanswered.emplace();
        break;
    default:
        made->name = "name look-up never ends";
        made->slowLookUp = true;
        break;
    }
    return made;
}

Script loginAndQuit()
{
    return join(loginSteps(), { expectLine(), send("221 bye\r\n") });
}

} // namespace

TEST(ConnectCancel, EndsAtOnceLoggedOutAndTheNextConnectWorks)
{
    for (const bool async : { false, true }) {
        for (int kind = 0; kind < 3; ++kind) {
            auto stall = makeStall(kind);
            SCOPED_TRACE(stall->name);
            SCOPED_TRACE(async ? "asynchronous" : "synchronous");
            T_FTP ftp;
            pointAt(ftp, 0);
            ftp.Async = async;
            stall->aim(ftp);
            TraceRecorder trace(ftp);
            QTimer::singleShot(kCancelAfterMs, [&] { ftp.Cancel(); });
            QElapsedTimer clock;
            clock.start();
            EXPECT_THROW(ftp.ConnectCancellably(), ECancelled);
            EXPECT_LT(clock.elapsed(), kPromptMs);
            EXPECT_FALSE(ftp.Connected());
            EXPECT_EQ(ftp.ControlSocket, -1);
            EXPECT_FALSE(trace.contains("USER")) << "nothing was sent";
            EXPECT_TRUE(trace.contains("Connect cancelled"));
            if (stall->silent) {
                EXPECT_TRUE(stall->silent->finish()) << stall->silent->failure();
                EXPECT_EQ(stall->silent->transcript(), "");
            }
            faults::delayLookups(0);

            ScriptedServer server(loginAndQuit(), std::chrono::seconds(5));
            pointAt(ftp, server.port());
            ftp.ConnectCancellably();
            EXPECT_TRUE(ftp.Connected());
            ftp.Disconnect();
            EXPECT_TRUE(server.finish()) << server.failure();
            EXPECT_EQ(server.transcript(), kLoginTranscript + "QUIT\r\n");
        }
    }
}

TEST(ConnectCancel, ReportsItsStepsAndBoundsASlowLookUp)
{
    T_FTP ftp;
    std::vector<TConnectStep> steps;
    ftp.OnConnectStep = [&](TConnectStep step) { steps.push_back(step); };
    {
        ScriptedServer server(loginAndQuit(), std::chrono::seconds(5));
        pointAt(ftp, server.port());
        ftp.Hostname = "localhost";
        ftp.ConnectCancellably();
        ftp.Disconnect();
        EXPECT_TRUE(server.finish()) << server.failure();
    }
    EXPECT_EQ(steps, (std::vector<TConnectStep>{ TConnectStep::LookUp, TConnectStep::Open, TConnectStep::LogIn }));

    faults::delayLookups(3000);
    ftp.setSilenceTimeout(std::chrono::milliseconds(300));
    try {
        ftp.ConnectCancellably();
        ADD_FAILURE() << "a look-up slower than the limit must fail";
    } catch (const ETcpIpError& e) {
        EXPECT_EQ(e.message(), "Name look-up timed out: localhost was not found within 300 ms");
    }
    faults::delayLookups(0);
    EXPECT_FALSE(ftp.Connected());

    ftp.Hostname = "nowhere.invalid";
    try {
        ftp.ConnectCancellably();
        ADD_FAILURE() << "an unknown name must fail";
    } catch (const ETcpIpError& e) {
        EXPECT_EQ(e.message(), "Couldn't resolve hostname nowhere.invalid");
    }
}

TEST(ConnectCancel, RemoteFilesConnectIsCancelledToo)
{
    ScriptedServer silent({ accept(), expectClose() }, std::chrono::seconds(5));
    FtpRemoteFiles files;
    files.Site.host = "127.0.0.1";
    files.Site.port = silent.port();
    QTimer::singleShot(kCancelAfterMs, [&] { files.Cancel(); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_THROW(files.Connect(), remote::ERemoteCancelled);
    EXPECT_LT(clock.elapsed(), kPromptMs);
    EXPECT_EQ(files.State(), remote::ConnectionState::LoggedOut);
}
