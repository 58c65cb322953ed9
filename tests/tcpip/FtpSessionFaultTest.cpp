// The session's faults: a server that hung up, a handler that throws, an error reply while the
// synchronous active mode waits for the server's data connection, and connect's log-out-first.
// Each scripted case is what the server does and what the client must send and report.
#include "FtpServers.h"
#include "FtpTestSupport.h"
#include "tcpip/FtpReply.h"

#include <gtest/gtest.h>


#include <stdexcept>
#include <thread>

using namespace tcpip;
using namespace tcpiptest;
using namespace testservers;
using namespace testservers::script;

namespace {

// Joined by appending (GCC 12 warns falsely on long operator+ chains of strings).
std::string concat(std::initializer_list<std::string_view> parts)
{
    std::string all;
    for (auto p : parts)
        all.append(p);
    return all;
}

struct HangUp {
    const char* name;
    Script farewell;
    // Noticed before the next operation sent anything: it logs in again and carries on.
    bool transparent;
    std::string message;
    std::string heardBeforeHangingUp;
};

// Log in, go two folders down, hang up. A hang-up the session notices before it sends the next
// command is mended at once (log in, back to the folder, the command); one it meets in the
// middle of an exchange is reported, and the next operation logs in again.
TEST(SessionHangUp, IsMendedWhenNoticedBeforeACommandAndReportedWhenMetInOne)
{
    const HangUp cases[] = {
        // The farewell comes with the last reply, so it is there before the next command.
        { "421 then close", { send("421 Timeout.\r\n"), close() }, true, "Timeout.", "" },
        { "close only", { close() }, true, "The server closed the connection", "" },
        // A reset throws away what the client had not read yet: the server resets on a command.
        { "reset", { expectLine(), reset() }, false, "The server closed the connection", "CWD x\r\n" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Script steps = join(loginSteps(), { expectLine(), send("250 ok\r\n"), expectLine() });
        // The second reply and the farewell leave in one piece.
        if (c.transparent && c.farewell.front().kind == Step::Kind::Send) {
            steps.push_back(send("250 ok\r\n" + c.farewell.front().bytes));
            steps = join(steps, Script(c.farewell.begin() + 1, c.farewell.end()));
        } else {
            steps.push_back(send("250 ok\r\n"));
            steps = join(steps, c.farewell);
        }
        steps = join(steps, loginSteps());
        steps = join(steps, { expectLine(), send("250 back\r\n"), expectLine(), send("250 deeper\r\n") });
        ScriptedServer server(steps);
        T_FTP ftp;
        pointAt(ftp, server.port());
        std::vector<std::string> reconnects;
        ftp.OnReconnected = [&](const std::string& text) { reconnects.push_back(text); };
        ftp.ChangeDir("/pub");
        ftp.ChangeDir("sub");
        if (c.transparent) {
            // The close alone may still be on its way: wait for it (bounded) as an idle user would.
            for (int i = 0; i < 200 && server.stepsDone() < steps.size() - 12; ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            ftp.ChangeDir("x");
            EXPECT_EQ(ftp.ReplyText, "deeper");
            EXPECT_EQ(ftp.Folder(), "/pub/sub/x");
            EXPECT_EQ(reconnects, std::vector<std::string>{ "Reconnected: the server had closed the connection ("
                                                            + c.message + "); logged in again and back in /pub/sub" });
            EXPECT_TRUE(server.finish()) << server.failure();
            EXPECT_EQ(server.transcript(), concat({ kLoginTranscript, "CWD /pub\r\nCWD sub\r\n", kLoginTranscript,
                                                    "CWD /pub/sub\r\nCWD x\r\n" }));
            continue;
        }
        try {
            ftp.ChangeDir("x");
            FAIL() << "the hang-up went unnoticed";
        } catch (const EProtocolError& e) {
            EXPECT_EQ(e.ReplyCode, 421);
            EXPECT_EQ(e.message(), c.message);
        }
        EXPECT_FALSE(ftp.Connected());
        ftp.ChangeDir("deeper");
        EXPECT_EQ(ftp.ReplyText, "deeper");
        EXPECT_EQ(ftp.Folder(), "/pub/sub/deeper");
        EXPECT_TRUE(reconnects.empty());
        EXPECT_TRUE(server.finish()) << server.failure();
        EXPECT_EQ(server.transcript(), concat({ kLoginTranscript, "CWD /pub\r\nCWD sub\r\n", c.heardBeforeHangingUp, kLoginTranscript,
                                                "CWD /pub/sub\r\nCWD deeper\r\n" }));
    }
}

TEST(SessionHangUp, RealVsftpdIdleTimeoutIsNoticedAndTheSessionCarriesOn)
{
    auto server = StartFtpServer(FtpServerKind::Vsftpd, 1);
    server->makeFolder("site/pages");
    server->write("site/pages/a.html", "a");
    T_FTP ftp;
    pointAt(ftp, server->port());
    ftp.Username = server->user();
    ftp.Password = server->password();
    ftp.ChangeDir("site/pages");
    // The server's idle timer: sleep past it (the test waits on the server, not on the client).
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    std::string reconnected;
    ftp.OnReconnected = [&](const std::string& text) { reconnected = text; };
    ftp.ListDirectory(".");
    EXPECT_EQ(reconnected, "Reconnected: the server had closed the connection (Timeout.); logged in again and back in "
                           "site/pages");
    t_filedata entry;
    ftp.GetDirEntry(entry);
    EXPECT_EQ(entry.name, "a.html") << "back in the folder the user was in";
}

TEST(JoinFolder, FollowsEachChange)
{
    const struct {
        const char* folder;
        const char* change;
        const char* joined;
    } cases[] = {
        { "", "pub", "pub" },          { "pub", "sub", "pub/sub" }, { "pub/sub", "..", "pub" },
        { "pub", "..", "" },           { "", "..", ".." },          { "/pub", "/www/./x/", "/www/x" },
        { "/", "..", "/" },            { "a", "b/../c", "a/c" },    { "/a", "", "/a" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(JoinFolder(c.folder, c.change), c.joined) << c.folder << " + " << c.change;
}

// A passive download of "hello" with its final reply, then "CWD next" answered.
Script downloadThenCommand()
{
    return join(loginSteps(), { expectLine(), send("213 5\r\n"), listenData(), expectLine(), send("227 ({pasv})\r\n"),
                                expectLine(), acceptData(), send("150 go\r\n"), dataSend("hello"), dataClose(),
                                send("226 done\r\n"), expectLine(), send("250 next ok\r\n") });
}

TEST(ThrowingHandler, EndsTheTransferAndTheNextCommandWorks)
{
    const struct {
        const char* name;
        bool async;
        bool inData;
    } cases[] = { { "data, sync", false, true }, { "complete, sync", false, false },
                  { "data, async", true, true }, { "complete, async", true, false } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedServer server(downloadThenCommand());
        T_FTP ftp;
        pointAt(ftp, server.port());
        ftp.Async = c.async;
        auto fail = [](auto&&...) { throw std::runtime_error("handler failed"); };
        if (c.inData)
            ftp.OnDataReceived = fail;
        else
            ftp.OnActionComplete = fail;
        ftp.URI = "a.txt";
        try {
            ftp.Retrieve();
            FAIL() << "the handler's exception was lost";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "handler failed");
        }
        EXPECT_FALSE(ftp.Busy());
        ftp.OnDataReceived = nullptr;
        ftp.OnActionComplete = nullptr;
        ftp.ChangeDir("next");
        EXPECT_EQ(ftp.ReplyText, "next ok") << "replies still pair with their commands";
        EXPECT_TRUE(server.finish()) << server.failure();
    }
}

TEST(SynchronousActiveMode, ErrorReplyWhileWaitingForTheDataConnectionEndsTheCallWithItsText)
{
    for (const bool upload : { false, true }) {
        SCOPED_TRACE(upload ? "STOR" : "RETR");
        Script steps = loginSteps();
        if (!upload)
            steps = join(steps, { expectLine(), send("550 no SIZE\r\n") });
        steps = join(steps, { expectLine(), send("200 PORT ok\r\n"), expectLine(),
                              send("150 opening\r\n425 Can't open data connection.\r\n") });
        ScriptedServer server(steps);
        T_FTP ftp;
        pointAt(ftp, server.port());
        ftp.setSilenceTimeout(std::chrono::seconds(30));
        ftp.Passive = false;
        ftp.URI = "a.txt";
        ftp.DataStream.write("text");
        try {
            upload ? ftp.Store() : ftp.Retrieve();
            FAIL();
        } catch (const EProtocolError& e) {
            EXPECT_EQ(e.ReplyCode, 425);
            EXPECT_EQ(e.message(), "Can't open data connection.");
        }
        EXPECT_TRUE(server.finish()) << server.failure();
    }
}

// A failed final reply leaves the session busy; connecting again logs out first (ABOR, QUIT).
TEST(ConnectAfterAFailedTransfer, LogsOutFirstAndEndsBusy)
{
    ScriptedServer server(join(join(loginSteps(), { expectLine(), send("213 5\r\n"), listenData(), expectLine(),
                                                    send("227 ({pasv})\r\n"), expectLine(), acceptData(),
                                                    send("150 go\r\n"), dataClose(), send("451 failed\r\n"),
                                                    expectLine(), send("225 nothing to abort\r\n"), expectLine(),
                                                    send("221 bye\r\n") }),
                               loginSteps()));
    T_FTP ftp;
    pointAt(ftp, server.port());
    ftp.URI = "a.txt";
    EXPECT_THROW(ftp.Retrieve(), EProtocolError);
    EXPECT_TRUE(ftp.Busy());
    ftp.Connect();
    EXPECT_FALSE(ftp.Busy());
    EXPECT_TRUE(server.finish()) << server.failure();
    EXPECT_EQ(server.transcript(),
              concat({ kLoginTranscript, "SIZE a.txt\r\nPASV\r\nRETR a.txt\r\nABOR\r\nQUIT\r\n", kLoginTranscript }));
}

} // namespace
