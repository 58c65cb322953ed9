// Servers that misbehave: every wait is bounded and ends in a clear error.
#include "ScriptedServer.h"
#include "SftpTestSupport.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using namespace testservers::script;

struct FaultCase {
    const char* label;
    testservers::Script script;
    const char* messagePart;
};

class SftpFaultTest : public ::testing::TestWithParam<FaultCase> {};

TEST_P(SftpFaultTest, EndsInAClearErrorWithinTheSilenceTimeout)
{
    testservers::ScriptedServer server(GetParam().script);
    testservers::TempFolder home;
    for (const bool async : { false, true }) {
        sftp::SftpSession session;
        session.sshFolder = QString::fromStdString(home.path());
        session.Site = { "127.0.0.1", server.port(), "user", "password" };
        session.Async = async;
        session.setSilenceTimeout(1s);
        const auto start = std::chrono::steady_clock::now();
        try {
            session.Connect();
            FAIL() << "connected";
        } catch (const remote::ERemoteError& e) {
            EXPECT_NE(std::string(e.what()).find(GetParam().messagePart), std::string::npos) << e.what();
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
        EXPECT_EQ(session.State(), remote::ConnectionState::LoggedOut);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Servers, SftpFaultTest,
    ::testing::Values(
        FaultCase{ "AcceptsAndSaysNothing", { accept(), stall(30s), accept(), stall(30s) }, "SSH connection to 127.0.0.1 failed" },
        FaultCase{ "ClosesAtOnce", { accept(), close(), accept(), close() }, "SSH connection to 127.0.0.1 failed" },
        FaultCase{ "ResetsAtOnce", { accept(), reset(), accept(), reset() }, "127.0.0.1" },
        FaultCase{ "SpeaksSomethingElse",
                   { accept(), send("220 FTP server ready\r\n"), stall(30s), accept(), send("220 FTP server ready\r\n"), stall(30s) },
                   "SSH connection to 127.0.0.1 failed" },
        FaultCase{ "EndlessBannerLine",
                   { accept(), send("SSH-2.0-" + std::string(300000, 'x')), stall(30s), accept(),
                     send("SSH-2.0-" + std::string(300000, 'x')), stall(30s) },
                   "SSH connection to 127.0.0.1 failed" },
        FaultCase{ "BannerThenSilence",
                   { accept(), send("SSH-2.0-OpenSSH_9.2\r\n"), stall(30s), accept(), send("SSH-2.0-OpenSSH_9.2\r\n"),
                     stall(30s) },
                   "SSH connection to 127.0.0.1 failed" }),
    [](const auto& info) { return std::string(info.param.label); });

TEST(SftpConnectTest, NobodyListeningIsRefusedAtOnce)
{
    testservers::TempFolder home;
    sftp::SftpSession session;
    session.sshFolder = QString::fromStdString(home.path());
    session.Site = { "127.0.0.1", testservers::FreeLoopbackPort(), "user", "password" };
    try {
        session.Connect();
        FAIL() << "connected";
    } catch (const remote::ERemoteError& e) {
        EXPECT_NE(std::string(e.what()).find("Connection refused"), std::string::npos) << e.what();
    }
}

TEST(SftpConnectTest, NameThatDoesNotResolveFailsAtOnce)
{
    testservers::TempFolder home;
    sftp::SftpSession session;
    session.sshFolder = QString::fromStdString(home.path());
    session.Site = { "no-such-host.invalid", 22, "user", "password" };
    EXPECT_THROW(session.Connect(), remote::ERemoteError);
}

// Connects to a server that accepts and never speaks, with a timer that tries another
// operation meanwhile: how often the timer ran, and whether the session refused it as busy.
struct LoopDuringLogIn {
    int ticks = 0;
    bool busyRefused = false;
};

LoopDuringLogIn connectToASilentServer(bool async, std::chrono::milliseconds silence, std::chrono::milliseconds tick)
{
    testservers::ScriptedServer server({ accept(), stall(30s) });
    testservers::TempFolder home;
    sftp::SftpSession session;
    session.sshFolder = QString::fromStdString(home.path());
    session.Site = { "127.0.0.1", server.port(), "user", "password" };
    session.Async = async;
    session.setSilenceTimeout(silence);
    LoopDuringLogIn seen;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++seen.ticks;
        try {
            session.List(".");
        } catch (const remote::ERemoteBusy&) {
            seen.busyRefused = true;
        }
    });
    timer.start(tick);
    EXPECT_THROW(session.Connect(), remote::ERemoteError);
    return seen;
}

TEST(SftpAsyncTest, EventLoopTurnsWhileASilentServerIsAwaited)
{
    const LoopDuringLogIn seen = connectToASilentServer(true, 1500ms, 100ms);
    EXPECT_GE(seen.ticks, 5);
    EXPECT_TRUE(seen.busyRefused);
}

// A log-in turns the event loop in both modes (its progress box takes the cancel); the waits
// of a synchronous operation on a logged-in session do not (SftpTransferFaultTest).
TEST(SftpAsyncTest, SynchronousLogInTurnsTheEventLoopToo)
{
    const LoopDuringLogIn seen = connectToASilentServer(false, 500ms, 10ms);
    EXPECT_GT(seen.ticks, 0);
    EXPECT_TRUE(seen.busyRefused);
}

} // namespace
