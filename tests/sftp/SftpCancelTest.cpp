// A log-in the user stops, and one the server never finishes: during the name look-up, the TCP
// connect, the SSH handshake and authentication. A cancel ends it at once in both wait modes,
// logged out with no descriptor left open, and the same session then logs in and lists; a
// silent server is given up within the log-in's limit, named by the step it stopped at.
#include "ScriptedServer.h"
#include "SftpTestSupport.h"
#include "UnansweredPort.h"

#include "platform/net/FaultInjection.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace std::chrono_literals;
using namespace testservers::script;
using sftptest::Client;
namespace faults = platform::net::faults;

// Far below the log-in's limit (the client's silence timeout of 10 s): a wait that ended
// sooner was ended by the cancel.
constexpr qint64 kPromptMs = 2000;

enum class Stall { LookUp, TcpConnect, Banner, Authentication };

const char* nameOf(Stall stall)
{
    switch (stall) {
    case Stall::LookUp: return "name look-up never ends";
    case Stall::TcpConnect: return "TCP connect never answered";
    case Stall::Banner: return "SSH banner never comes";
    case Stall::Authentication: return "authentication never answered";
    }
    return "";
}

// Points a client's site where its log-in will wait, and calls stalled once it waits there
// (for authentication: once the handshake is done, the server's session paused).
struct Stalled {
    std::optional<testservers::ScriptedServer> silent;
    std::optional<testservers::UnansweredPort> unanswered;

    Stalled(Stall stall, Client& client, const testservers::SshServer& server, const std::function<void()>& stalled)
    {
        auto& site = client.session.Site;
        switch (stall) {
        case Stall::LookUp:
            faults::delayLookups(5000);
            site.host = "localhost";
            break;
        case Stall::TcpConnect:
            unanswered.emplace();
            site.port = unanswered->port();
            break;
        case Stall::Banner:
            // The script ends only when the client closes: the log-in must not leave it open.
            silent.emplace(testservers::Script{ accept(), expectClose() }, 10s);
            site.port = silent->port();
            break;
        case Stall::Authentication:
            client.session.OnHostKeyQuestion = [&client, &server, stalled](const std::string&, const std::string&) {
                // Clearing the handler frees this closure: nothing of it may be used after that.
                const std::function<void()> whenStalled = stalled;
                Client& asked = client;
                server.pauseSessions();
                asked.session.OnHostKeyQuestion = nullptr;
                whenStalled();
                return true;
            };
            return;
        }
        stalled();
    }
    ~Stalled() { faults::delayLookups(0); }
};

int openDescriptors()
{
    return static_cast<int>(QDir("/proc/self/fd").entryList(QDir::NoDotAndDotDot | QDir::System).size());
}

class SftpLogInStall : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = testservers::StartSshServer(); }
    static void TearDownTestSuite() { server_.reset(); }
    static std::unique_ptr<testservers::SshServer> server_;
};
std::unique_ptr<testservers::SshServer> SftpLogInStall::server_;

TEST_F(SftpLogInStall, CancelEndsItAtOnceLoggedOutAndTheSameSessionLogsInAfterwards)
{
    server_->write("here.txt", "x");
    for (const bool async : { false, true }) {
        for (const Stall stall : { Stall::LookUp, Stall::TcpConnect, Stall::Banner, Stall::Authentication }) {
            SCOPED_TRACE(nameOf(stall));
            SCOPED_TRACE(async ? "asynchronous" : "synchronous");
            Client client(*server_, async);
            std::vector<std::string> trace;
            client.session.OnTrace = [&](const std::string& text, remote::TraceLevel) { trace.push_back(text); };
            QTimer cancel;
            cancel.setSingleShot(true);
            QObject::connect(&cancel, &QTimer::timeout, [&] { client.session.Cancel(); });
            const int descriptorsBefore = openDescriptors();
            {
                Stalled stalled(stall, client, *server_, [&] { cancel.start(150); });
                QElapsedTimer clock;
                clock.start();
                EXPECT_THROW(client.session.Connect(), remote::ERemoteCancelled);
                EXPECT_LT(clock.elapsed(), kPromptMs);
                EXPECT_EQ(client.session.State(), remote::ConnectionState::LoggedOut);
                EXPECT_EQ(trace.back(), "Connect cancelled");
                if (stalled.silent) {
                    EXPECT_TRUE(stalled.silent->finish(5s)) << stalled.silent->failure();
                }
            }
            server_->endSessions();
            EXPECT_EQ(openDescriptors(), descriptorsBefore) << "the cancelled log-in left nothing open";

            client.session.Site = { "127.0.0.1", server_->port(), testservers::SshServer::passwordUser(),
                                    testservers::SshServer::password() };
            client.session.OnHostKeyQuestion = [](const std::string&, const std::string&) { return true; };
            const auto entries = client.session.List(".");
            ASSERT_EQ(entries.size(), 1u);
            EXPECT_EQ(entries.front().name, "here.txt");
        }
    }
}

// The log-in an operation makes after the connection was lost is cancelled the same way.
TEST_F(SftpLogInStall, CancelEndsTheLogInOfAnOperationAfterALostConnection)
{
    Client client(*server_);
    client.session.Connect();
    server_->endSessions();
    EXPECT_THROW(client.session.List("."), remote::ERemoteError);
    ASSERT_EQ(client.session.State(), remote::ConnectionState::LoggedOut);
    QTimer cancel;
    cancel.setSingleShot(true);
    QObject::connect(&cancel, &QTimer::timeout, [&] { client.session.Cancel(); });
    {
        Stalled stalled(Stall::TcpConnect, client, *server_, [&] { cancel.start(150); });
        QElapsedTimer clock;
        clock.start();
        EXPECT_THROW(client.session.List("."), remote::ERemoteCancelled);
        EXPECT_LT(clock.elapsed(), kPromptMs);
    }
    client.session.Site.port = server_->port();
    EXPECT_NO_THROW(client.session.List("."));
}

TEST_F(SftpLogInStall, ASilentServerIsGivenUpWithinTheLimitNamingTheStep)
{
    const struct {
        Stall stall;
        const char* message; // %p: the port
    } cases[] = {
        { Stall::LookUp, "Name look-up timed out: localhost was not found within 1500 ms" },
        { Stall::TcpConnect, "Connection timed out: 127.0.0.1 port %p did not answer within 1500 ms" },
        { Stall::Banner, "SSH connection to 127.0.0.1 failed: the server did not complete the SSH handshake within 1500 ms" },
        { Stall::Authentication, "Log-in timed out: 127.0.0.1 did not accept or refuse the log-in within 1500 ms" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(nameOf(c.stall));
        Client client(*server_);
        client.session.setSilenceTimeout(1500ms);
        Stalled stalled(c.stall, client, *server_, [] {});
        std::string expected = c.message;
        if (const auto at = expected.find("%p"); at != std::string::npos)
            expected.replace(at, 2, std::to_string(client.session.Site.port));
        QElapsedTimer clock;
        clock.start();
        try {
            client.session.Connect();
            ADD_FAILURE() << "connected";
        } catch (const remote::ERemoteCancelled&) {
            ADD_FAILURE() << "a time limit is no cancel";
        } catch (const remote::ERemoteError& e) {
            EXPECT_EQ(e.message(), expected);
        }
        EXPECT_LT(clock.elapsed(), 5000);
        EXPECT_EQ(client.session.State(), remote::ConnectionState::LoggedOut);
        server_->endSessions();
    }
}

TEST(SftpLogInReason, RefusedAndUnknownNamesSayWhatHappened)
{
    const std::uint16_t closed = testservers::FreeLoopbackPort();
    const struct {
        const char* host;
        std::string message;
    } cases[] = {
        { "127.0.0.1", "Connection refused: nothing answers at 127.0.0.1 port " + std::to_string(closed) },
        { "nowhere.invalid", "Couldn't resolve hostname nowhere.invalid" },
    };
    for (const auto& c : cases) {
        testservers::TempFolder home;
        sftp::SftpSession session;
        session.sshFolder = QString::fromStdString(home.path());
        session.Site = { c.host, closed, "user", "password" };
        try {
            session.Connect();
            ADD_FAILURE() << "connected";
        } catch (const remote::ERemoteError& e) {
            EXPECT_EQ(e.message(), c.message);
        }
    }
}

// A cancel while the host-key question is open outweighs its yes: nothing is stored. The log-in
// step is announced once, after the question.
TEST_F(SftpLogInStall, CancelDuringTheHostKeyQuestionStoresNothing)
{
    Client client(*server_);
    int loggingIn = 0;
    client.session.OnLoggingIn = [&] { ++loggingIn; };
    client.session.OnHostKeyQuestion = [&](const std::string&, const std::string&) {
        client.session.Cancel();
        return true;
    };
    EXPECT_THROW(client.session.Connect(), remote::ERemoteCancelled);
    EXPECT_FALSE(QFile::exists(client.session.sshFolder + "/known_hosts"));
    EXPECT_EQ(loggingIn, 0);

    client.session.OnHostKeyQuestion = [&](const std::string&, const std::string&) {
        EXPECT_EQ(loggingIn, 0);
        return true;
    };
    client.session.Connect();
    EXPECT_EQ(loggingIn, 1);
    EXPECT_TRUE(QFile::exists(client.session.sshFolder + "/known_hosts"));
}

} // namespace
