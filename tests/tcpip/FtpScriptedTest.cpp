// The FTP session against the scripted server: each case is what the server sends, where it
// stalls or closes, and the exact command transcript the client must send.
#include "FtpTestSupport.h"
#include "tcpip/FtpReply.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <functional>
#include <regex>

using namespace tcpip;
using namespace tcpiptest;
using namespace testservers;
using namespace testservers::script;

namespace {

std::string listingOf(int count)
{
    std::string listing = "total " + std::to_string(count) + "\r\n";
    for (int i = 0; i < count; ++i)
        listing += "-rw-r--r--   1 user  group  " + std::to_string(i) + " Nov 12  1998 file" + std::to_string(i)
            + ".html\r\n";
    return listing;
}

// A passive listing exchange after log-in: PASV, TYPE A, LIST, the data, 226, TYPE I.
Script passiveListing(const std::string& data, const std::string& pasvReply = "227 Entering Passive Mode ({pasv})\r\n")
{
    return { listenData(), expectLine(), send(pasvReply), expectLine(), send("200 ascii\r\n"),
             expectLine(), acceptData(), send("150 here it comes\r\n"), dataSend(data), dataClose(),
             send("226 done\r\n"), expectLine(), send("200 binary\r\n") };
}
const std::string kListingTranscript = "PASV\r\nTYPE A\r\nLIST .\r\nTYPE I\r\n";

std::vector<t_filedata> entries(T_FTP& ftp)
{
    std::vector<t_filedata> all;
    for (;;) {
        t_filedata e;
        ftp.GetDirEntry(e);
        if (e.type == ft_none)
            return all;
        all.push_back(e);
    }
}

class ScriptedFtp : public ::testing::Test {
protected:
    void start(Script script, std::chrono::milliseconds stepTimeout = 5s)
    {
        server = std::make_unique<ScriptedServer>(std::move(script), stepTimeout);
        pointAt(ftp, server->port());
    }
    void expectTranscript(const std::string& expected)
    {
        EXPECT_TRUE(server->finish()) << server->failure();
        EXPECT_EQ(server->transcript(), expected);
    }
    std::unique_ptr<ScriptedServer> server;
    T_FTP ftp;
};

} // namespace

TEST_F(ScriptedFtp, MultiLineWelcomeIsOneReplyWithThreeTracedLines)
{
    start(loginSteps("230-Welcome\r\n to our\r\n230 Done\r\n"));
    TraceRecorder trace(ftp);
    ftp.Connect();
    std::vector<std::string> replies;
    for (const auto& l : trace.lines)
        if (l.level == tl_reply)
            replies.push_back(l.text);
    ASSERT_GE(replies.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(replies.begin(), replies.begin() + 3),
              (std::vector<std::string>{ "230-Welcome", " to our", "230 Done" }));
    EXPECT_EQ(ftp.ReplyCode, 200);
    expectTranscript(kLoginTranscript);
}

TEST_F(ScriptedFtp, PasswordIsNeverTraced)
{
    start(loginSteps());
    TraceRecorder trace(ftp);
    ftp.Password = "s3cret";
    ftp.Connect();
    EXPECT_TRUE(trace.contains("PASS ******"));
    EXPECT_FALSE(trace.contains("s3cret"));
    EXPECT_TRUE(server->finish());
    EXPECT_NE(server->transcript().find("PASS s3cret\r\n"), std::string::npos);
}

TEST_F(ScriptedFtp, ErrorReplyCarriesCodeAndText)
{
    start(join(loginSteps(), { expectLine(), send("550 No such file\r\n") }));
    try {
        ftp.ChangeDir("nowhere");
        FAIL() << "no exception";
    } catch (const EProtocolError& e) {
        EXPECT_EQ(e.ReplyCode, 550);
        EXPECT_EQ(e.Protocol, "FTP");
        EXPECT_EQ(e.message(), "No such file");
    }
    expectTranscript(kLoginTranscript + "CWD nowhere\r\n");
}

TEST_F(ScriptedFtp, MultiLineErrorIsReadWholeSoTheNextCommandGetsItsOwnReply)
{
    start(join(loginSteps(), { expectLine(), send("450-Busy\r\n still busy\r\n450 Try later\r\n"), expectLine(),
                               send("250 ok\r\n") }));
    try {
        ftp.ChangeDir("a");
        FAIL();
    } catch (const EProtocolError& e) {
        EXPECT_EQ(e.ReplyCode, 450);
        EXPECT_EQ(e.message(), "Busy");
    }
    ftp.ChangeDir("b");
    EXPECT_EQ(ftp.ReplyCode, 250);
    EXPECT_EQ(ftp.ReplyText, "ok");
    expectTranscript(kLoginTranscript + "CWD a\r\nCWD b\r\n");
}

TEST_F(ScriptedFtp, ReplyBeforeLogInIs999WithEmptyText)
{
    ftp.SendLine("NOOP");
    try {
        ftp.ReadReply();
        FAIL();
    } catch (const EProtocolError& e) {
        EXPECT_EQ(e.ReplyCode, 999);
        EXPECT_EQ(e.message(), "");
    }
    EXPECT_EQ(ftp.ReplyCode, 999);
}

TEST_F(ScriptedFtp, CommandsAndTheirLines)
{
    start(join(loginSteps(), { expectLine(), send("250 ok\r\n"), expectLine(), send("250 ok\r\n"), expectLine(),
                               send("257 \"new\" created\r\n"), expectLine(), send("350 ready\r\n"), expectLine(),
                               send("250 renamed\r\n"), expectLine(), send("250 removed\r\n"), expectLine(),
                               send("221 bye\r\n"), expectClose() }));
    ftp.ChangeDir("/www");
    ftp.DeleteFile("old.html");
    ftp.MakeDir("new");
    ftp.RenameFile("a b.html", "c.html");
    ftp.RemoveDir("new");
    ftp.Disconnect();
    EXPECT_FALSE(ftp.Connected());
    EXPECT_EQ(ftp.ControlSocket, -1);
    expectTranscript(kLoginTranscript
                     + "CWD /www\r\nDELE old.html\r\nMKD new\r\nRNFR a b.html\r\nRNTO c.html\r\nRMD new\r\nQUIT\r\n");
}

TEST_F(ScriptedFtp, ListingOfOnlyTotalAndDotsGivesDotDotOnce)
{
    start(join(loginSteps(), passiveListing("total 2\r\ndrwxr-xr-x 2 u g 512 Nov 12  1998 .\r\n"
                                            "drwxr-xr-x 2 u g 512 Nov 12  1998 ..\r\n")));
    ftp.ListDirectory(".");
    t_filedata e;
    ftp.GetDirEntry(e);
    EXPECT_EQ(e.name, "..");
    EXPECT_EQ(e.type, ft_directory);
    ftp.GetDirEntry(e);
    EXPECT_EQ(e.type, ft_none);
    expectTranscript(kLoginTranscript + kListingTranscript);
}

TEST_F(ScriptedFtp, TenThousandEntryListing)
{
    start(join(loginSteps(), passiveListing(listingOf(10000))));
    ftp.ListDirectory(".");
    const auto all = entries(ftp);
    ASSERT_EQ(all.size(), 10000u);
    EXPECT_EQ(all.front().name, "file0.html");
    EXPECT_EQ(all.back().name, "file9999.html");
    EXPECT_EQ(all.back().size, 9999);
    EXPECT_FALSE(ftp.Busy());
    expectTranscript(kLoginTranscript + kListingTranscript);
}

// A server cannot fill our memory with a listing: past the limit the transfer ends, and the
// session carries on with the next command.
TEST_F(ScriptedFtp, AListingPastTheLimitEndsWithAClearMessageInBothModes)
{
    for (bool async : { false, true }) {
        SCOPED_TRACE(async ? "async" : "sync");
        T_FTP session;
        Script steps = passiveListing(listingOf(2000));
        steps.resize(steps.size() - 2); // the listing fails: no TYPE I afterwards
        ScriptedServer s(join(join(loginSteps(), steps), { expectLine(), send("250 next\r\n") }));
        pointAt(session, s.port());
        session.Async = async;
        session.ListingLimit = 10000;
        try {
            session.ListDirectory(".");
            FAIL() << "the whole listing was read";
        } catch (const EProtocolError& e) {
            FAIL() << "the server's reply is not the reason: " << e.message();
        } catch (const ETcpIpError& e) {
            EXPECT_EQ(e.message(), "The folder's listing is larger than 10000 bytes; it was not read");
        }
        EXPECT_FALSE(session.Busy());
        EXPECT_LE(session.ListingStream.size(), 10000);
        session.ChangeDir("next");
        EXPECT_EQ(session.ReplyText, "next");
        EXPECT_TRUE(s.finish()) << s.failure();
        EXPECT_EQ(s.transcript(), kLoginTranscript + "PASV\r\nTYPE A\r\nLIST .\r\nCWD next\r\n");
    }
}

TEST_F(ScriptedFtp, PassiveReplyNamingAnotherHostConnectsToTheServerInstead)
{
    // Only 127.0.0.1 listens; 127.0.0.2 would be refused.
    start(join(loginSteps(), passiveListing("-rw-r--r-- 1 u g 3 Nov 12  1998 a.txt\r\n",
                                            "227 Entering Passive Mode (127,0,0,2,{pasvport})\r\n")));
    TraceRecorder trace(ftp);
    ftp.ListDirectory(".");
    const auto all = entries(ftp);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].name, "a.txt");
    EXPECT_TRUE(trace.contains("Passive reply named 127.0.0.2; connecting to the server at 127.0.0.1 instead"));
    expectTranscript(kLoginTranscript + kListingTranscript);
}

TEST_F(ScriptedFtp, JunkPassiveNumbersDoNotRaiseTheServersRefusalDoes)
{
    start(join(loginSteps(), { expectLine(), send("227 Entering Passive Mode (1,2,3,4,x,5)\r\n"), expectLine(),
                               send("200 ascii\r\n"), expectLine(), send("425 Use PORT or PASV first\r\n") }));
    try {
        ftp.ListDirectory(".");
        FAIL();
    } catch (const EProtocolError& e) {
        EXPECT_EQ(e.ReplyCode, 425);
    }
    EXPECT_FALSE(ftp.Busy());
    expectTranscript(kLoginTranscript + "PASV\r\nTYPE A\r\nLIST .\r\n");
}

TEST_F(ScriptedFtp, PassiveRefusedRaisesWithItsCode)
{
    start(join(loginSteps(), { expectLine(), send("202 not here\r\n") }));
    try {
        ftp.ListDirectory(".");
        FAIL();
    } catch (const EProtocolError& e) {
        EXPECT_EQ(e.ReplyCode, 202);
        EXPECT_EQ(e.message(), "not here");
    }
    expectTranscript(kLoginTranscript + "PASV\r\n");
}

TEST_F(ScriptedFtp, ActiveListingAnnouncesTheControlConnectionsAddress)
{
    start(join(loginSteps(), { expectLine(), send("200 PORT ok\r\n"), expectLine(), send("200 ascii\r\n"),
                               expectLine(), connectData(), send("150 here\r\n"),
                               dataSend("drwxr-xr-x 2 u g 512 Mar  5 14:07 htdocs\r\n"), dataClose(),
                               send("226 done\r\n"), expectLine(), send("200 binary\r\n") }));
    ftp.Passive = false;
    ftp.ListDirectory(".");
    const auto all = entries(ftp);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].name, "htdocs");
    EXPECT_TRUE(server->finish()) << server->failure();
    EXPECT_TRUE(std::regex_match(server->transcript(),
                                 std::regex(kLoginTranscript + "PORT 127,0,0,1,\\d+,\\d+\r\nTYPE A\r\nLIST .\r\nTYPE I\r\n")))
        << server->transcript();
}

TEST_F(ScriptedFtp, ActiveAsyncDownloadWhoseFinalReplyIsThereBeforeTheAccept)
{
    // The server connects, sends and closes the data connection and has both replies out before
    // the client turns its event loop: the bytes must still be taken, not reported as none.
    start(join(loginSteps(), { expectLine(), send("213 5\r\n"), expectLine(), send("200 PORT ok\r\n"),
                               expectLine(), connectData(), dataSend("hello"), dataClose(),
                               send("150 go\r\n226 done\r\n") }));
    ftp.Passive = false;
    ftp.Async = true;
    ftp.URI = "a.txt";
    ftp.Retrieve();
    EXPECT_EQ(ftp.DataStream.data(), "hello");
    EXPECT_TRUE(server->finish()) << server->failure();
}

TEST_F(ScriptedFtp, SizeRefusedStillDownloads)
{
    start(join(loginSteps(), { expectLine(), send("500 SIZE not understood\r\n"), listenData(), expectLine(),
                               send("227 ({pasv})\r\n"), expectLine(), acceptData(), send("150 go\r\n"),
                               dataSend("hello"), dataClose(), send("226 done\r\n") }));
    bool completed = false;
    ftp.OnActionComplete = [&](QObject*, t_ftp_mode mode) { completed = mode == tftp_download; };
    ftp.URI = "a.txt";
    ftp.Retrieve();
    EXPECT_EQ(ftp.TransferSize, 0);
    EXPECT_EQ(ftp.DataStream.data(), "hello");
    EXPECT_EQ(ftp.DataStream.position(), 0);
    EXPECT_TRUE(completed);
    expectTranscript(kLoginTranscript + "SIZE a.txt\r\nPASV\r\nRETR a.txt\r\n");
}

TEST_F(ScriptedFtp, SizeAnswerBecomesTransferSize)
{
    start(join(loginSteps(), { expectLine(), send("213 1234\r\n"), listenData(), expectLine(),
                               send("227 ({pasv})\r\n"), expectLine(), acceptData(), send("150 go\r\n"),
                               dataSend(std::string(1234, 'x')), dataClose(), send("226 done\r\n") }));
    ftp.URI = "b.bin";
    ftp.Retrieve();
    EXPECT_EQ(ftp.TransferSize, 1234);
    EXPECT_EQ(ftp.DataStream.size(), 1234);
}

TEST_F(ScriptedFtp, ServerGoneInTheMiddleOfADownloadFailsAndNeverCompletes)
{
    start(join(loginSteps(), { expectLine(), send("213 100000\r\n"), listenData(), expectLine(),
                               send("227 ({pasv})\r\n"), expectLine(), acceptData(), send("150 go\r\n"),
                               dataSend(std::string(5000, 'x')), dataClose(), close() }));
    bool completed = false;
    ftp.OnActionComplete = [&](QObject*, t_ftp_mode) { completed = true; };
    ftp.URI = "big.bin";
    EXPECT_THROW(ftp.Retrieve(), ETcpIpError);
    EXPECT_FALSE(completed);
    EXPECT_FALSE(ftp.Busy()) << "a server that has gone runs no transfer";
    EXPECT_FALSE(ftp.Connected()) << "logged out: the next operation logs in";
    expectTranscript(kLoginTranscript + "SIZE big.bin\r\nPASV\r\nRETR big.bin\r\n");
}

TEST_F(ScriptedFtp, FailureReplyAfterACleanDataCloseFailsAndLogOutAborts)
{
    for (const char* reply : { "426 Connection closed; transfer aborted\r\n", "451 Local error\r\n" }) {
        SCOPED_TRACE(reply);
        T_FTP session;
        ScriptedServer s(join(loginSteps(), { expectLine(), send("213 5\r\n"), listenData(), expectLine(),
                                              send("227 ({pasv})\r\n"), expectLine(), acceptData(), send("150 go\r\n"),
                                              dataSend("hel"), dataClose(), send(reply), expectLine(),
                                              send("225 No transfer to ABOR\r\n"), expectLine(), send("221 bye\r\n") }));
        pointAt(session, s.port());
        bool completed = false;
        session.OnActionComplete = [&](QObject*, t_ftp_mode) { completed = true; };
        session.URI = "a";
        try {
            session.Retrieve();
            FAIL();
        } catch (const EProtocolError& e) {
            EXPECT_EQ(e.ReplyCode, std::stoi(std::string(reply, 3)));
        }
        EXPECT_FALSE(completed);
        EXPECT_TRUE(session.Busy());
        EXPECT_THROW(session.ListDirectory("."), EProtocolBusy);
        session.AbortTransfer();
        EXPECT_FALSE(session.Busy()) << "an ABOR answered below 400 ends the transfer";
        session.Disconnect();
        EXPECT_TRUE(s.finish()) << s.failure();
        EXPECT_EQ(s.transcript(), kLoginTranscript + "SIZE a\r\nPASV\r\nRETR a\r\nABOR\r\nQUIT\r\n");
    }
}

TEST_F(ScriptedFtp, AbortAnswered426ReadsTheSecondReply)
{
    start(join(loginSteps(), { expectLine(), send("213 5\r\n"), listenData(), expectLine(), send("227 ({pasv})\r\n"),
                               expectLine(), acceptData(), send("150 go\r\n"), dataClose(), send("451 failed\r\n"),
                               expectLine(), send("426 aborted\r\n226 abort done\r\n"), expectLine(),
                               send("200 still here\r\n") }));
    ftp.URI = "a";
    EXPECT_THROW(ftp.Retrieve(), EProtocolError);
    ftp.AbortTransfer();
    EXPECT_FALSE(ftp.Busy());
    EXPECT_EQ(ftp.ReplyCode, 226);
    ftp.ChangeDir("x");
    EXPECT_EQ(ftp.ReplyText, "still here");
    expectTranscript(kLoginTranscript + "SIZE a\r\nPASV\r\nRETR a\r\nABOR\r\nCWD x\r\n");
}

TEST_F(ScriptedFtp, ConnectionEndingInsideAReply)
{
    {
        start(join(loginSteps(), { expectLine(), send("250-first line\r\n continued\r\n"), close() }));
        try {
            ftp.ChangeDir("a");
            FAIL();
        } catch (const EProtocolError&) {
            FAIL() << "a cut reply is no server reply";
        } catch (const ETcpIpError& e) {
            EXPECT_EQ(e.message(), "The server closed the connection in the middle of a reply");
        }
    }
    T_FTP other;
    ScriptedServer s(join(loginSteps(), { expectLine(), send("250 half a li"), close() }));
    pointAt(other, s.port());
    try {
        other.ChangeDir("a");
        FAIL();
    } catch (const EProtocolError& e) {
        EXPECT_EQ(e.ReplyCode, 421) << "a line without its end is no line";
        EXPECT_EQ(e.message(), "The server closed the connection");
    }
}

// A line longer than any FTP reply's is no FTP: the connection is dropped at once, without
// waiting for its end, and the next operation logs in again.
TEST_F(ScriptedFtp, HugeReplyLineIsAnErrorAndTheNextOperationLogsInAgain)
{
    const struct {
        const char* name;
        std::string reply;
    } cases[] = {
        { "100 kB line", "250 " + std::string(100 * 1024, 'x') + "\r\n" },
        { "endless line", "250 " + std::string(100 * 1024, 'x') },
        { "long continuation line", "250-first\r\n" + std::string(9000, 'y') + "\r\n250 end\r\n" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        T_FTP session;
        ScriptedServer s(join(join(loginSteps(), { expectLine(), send(c.reply), stall(300ms) }),
                              join(loginSteps(), { expectLine(), send("250 next\r\n") })));
        pointAt(session, s.port());
        try {
            session.ChangeDir("a");
            FAIL();
        } catch (const EProtocolError&) {
            FAIL() << "no reply was read";
        } catch (const ETcpIpError& e) {
            EXPECT_EQ(e.message(), "The server sent a line of more than 8192 bytes, which is no FTP; the connection "
                                   "was closed");
        }
        EXPECT_FALSE(session.Connected());
        session.ChangeDir("b");
        EXPECT_EQ(session.ReplyText, "next");
        EXPECT_TRUE(s.finish()) << s.failure();
        EXPECT_EQ(s.transcript(), kLoginTranscript + "CWD a\r\n" + kLoginTranscript + "CWD b\r\n");
    }
}

// A server that sends "220 " and then one byte every 50 ms restarts the silence timeout with
// every byte; the reply's own deadline still ends the wait.
TEST_F(ScriptedFtp, AReplyThatNeverEndsRunsIntoItsDeadline)
{
    const struct {
        const char* name;
        Script steps;
        bool connectFirst;
    } cases[] = {
        { "greeting", { accept(), sendSlowly("220 " + std::string(200, 'w'), 1, 50ms) }, false },
        { "multi-line reply", join(loginSteps(), { expectLine(), send("250-start\r\n"),
                                                   sendSlowly(std::string(200, 'l') + "\r\n", 4, 50ms) }),
          true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        T_FTP session;
        ScriptedServer s(c.steps);
        pointAt(session, s.port());
        session.setSilenceTimeout(2s);
        session.setReplyTimeout(400ms);
        const auto started = std::chrono::steady_clock::now();
        try {
            if (c.connectFirst)
                session.Connect();
            session.ChangeDir("a");
            FAIL();
        } catch (const ETcpIpError& e) {
            EXPECT_EQ(e.message(), "The server's reply did not end within 400 ms; the connection was closed");
        }
        EXPECT_LT(std::chrono::steady_clock::now() - started, 1500ms);
        EXPECT_FALSE(session.Connected());
    }
}

// Whatever the caller, a line break inside a command never reaches the server: the rest would
// be read as a command of its own, and every later reply paired with the wrong command.
TEST_F(ScriptedFtp, LineBreaksInsideACommandAreRefusedAndNothingIsSent)
{
    start(join(loginSteps(), { expectLine(), send("250 still in step\r\n") }));
    ftp.Connect();
    const struct {
        const char* name;
        std::function<void()> run;
    } cases[] = {
        { "CR LF in a name", [&] { ftp.DeleteFile("note.txt\r\nDELE index.html"); } },
        { "LF alone", [&] { ftp.MakeDir("a\nRMD b"); } },
        { "CR alone", [&] { ftp.ChangeDir("a\rDELE b"); } },
        { "the second name of a rename", [&] { ftp.RenameFile("a", "b\r\nDELE c"); } },
        { "a raw line", [&] { ftp.SendLine("NOOP\r\nDELE x"); } },
        { "a line of its own end", [&] { ftp.SendLine("NOOP\r\n"); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(c.run(), ECommandRefused);
        EXPECT_TRUE(ftp.Connected()) << "a refused line leaves the session as it was";
    }
    ftp.ChangeDir("ok");
    EXPECT_EQ(ftp.ReplyText, "still in step");
    EXPECT_EQ(ftp.Folder(), "ok");
    expectTranscript(kLoginTranscript + "CWD ok\r\n");
}

TEST_F(ScriptedFtp, APasswordWithALineBreakIsNeverSent)
{
    start({ accept(), send("220 ready\r\n"), expectLine(), send("331 password\r\n"), expectLine(), send("221 bye\r\n"),
            expectClose() });
    ftp.Password = "secret\r\nDELE index.html";
    EXPECT_THROW(ftp.Connect(), ECommandRefused);
    ftp.Disconnect();
    expectTranscript("USER ftp\r\nQUIT\r\n");
}

TEST_F(ScriptedFtp, SilentServerTimesOutWithAClearMessage)
{
    start(join(loginSteps(), { expectLine(), stall(3s) }));
    ftp.Connect();
    ftp.setSilenceTimeout(300ms);
    const auto started = std::chrono::steady_clock::now();
    try {
        ftp.ChangeDir("a");
        FAIL();
    } catch (const EProtocolError&) {
        FAIL() << "a timeout is no server reply";
    } catch (const ETcpIpError& e) {
        EXPECT_EQ(e.message(), "Connection timed out: nothing received from the server for 300 ms");
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
    EXPECT_FALSE(ftp.Connected()) << "the silent connection is dropped";
}

TEST_F(ScriptedFtp, SilentDataConnectionTimesOutInBothModes)
{
    for (bool async : { false, true }) {
        SCOPED_TRACE(async ? "async" : "sync");
        T_FTP session;
        ScriptedServer s(join(loginSteps(), { expectLine(), send("213 5\r\n"), listenData(), expectLine(),
                                              send("227 ({pasv})\r\n"), expectLine(), acceptData(), send("150 go\r\n"),
                                              dataSend("he"), stall(3s) }));
        pointAt(session, s.port());
        session.Async = async;
        session.Connect();
        session.setSilenceTimeout(300ms);
        session.URI = "a";
        try {
            session.Retrieve();
            FAIL();
        } catch (const ETcpIpError& e) {
            EXPECT_NE(e.message().find("Connection timed out"), std::string::npos) << e.message();
        }
        EXPECT_FALSE(session.Busy());
        EXPECT_FALSE(session.Connected());
    }
}

TEST_F(ScriptedFtp, SlowButMovingTransferIsNeverCut)
{
    for (bool async : { false, true }) {
        SCOPED_TRACE(async ? "async" : "sync");
        T_FTP session;
        const std::string data(24, 'd');
        ScriptedServer s(join(loginSteps(), { expectLine(), send("213 24\r\n"), listenData(), expectLine(),
                                              send("227 ({pasv})\r\n"), expectLine(), acceptData(), send("150 go\r\n"),
                                              dataSendSlowly(data, 2, 60ms), dataClose(), send("226 done\r\n") }));
        pointAt(session, s.port());
        session.Async = async;
        session.Connect();
        session.setSilenceTimeout(250ms); // the whole transfer takes about 700 ms
        session.URI = "slow";
        session.Retrieve();
        EXPECT_EQ(session.DataStream.data(), data);
    }
}

TEST_F(ScriptedFtp, UploadsEveryByteInOrderInBothModes)
{
    std::string payload(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<char>((i * 131) >> 3);
    for (bool async : { false, true })
        for (bool passive : { true, false }) {
            SCOPED_TRACE(std::string(async ? "async " : "sync ") + (passive ? "passive" : "active"));
            T_FTP session;
            Script data = passive ? Script{ listenData(), expectLine(), send("227 ({pasv})\r\n"), expectLine(), acceptData() }
                                  : Script{ expectLine(), send("200 ok\r\n"), expectLine(), connectData() };
            // The server stalls before it reads, so the client's sends must wait and resume.
            ScriptedServer s(join(join(loginSteps(), data), { send("150 go\r\n"), stall(200ms), dataReceiveAll(),
                                                              send("226 stored\r\n") }));
            pointAt(session, s.port());
            session.Async = async;
            session.Passive = passive;
            session.DataStream.write(payload);
            session.URI = "up.bin";
            bool completed = false;
            session.OnActionComplete = [&](QObject*, t_ftp_mode mode) { completed = mode == tftp_upload; };
            session.Store();
            EXPECT_TRUE(completed);
            EXPECT_EQ(session.TransferSize, static_cast<std::int64_t>(payload.size()));
            EXPECT_TRUE(s.finish()) << s.failure();
            EXPECT_TRUE(s.dataReceived() == payload) << s.dataReceived().size() << " bytes arrived";
            EXPECT_NE(s.transcript().find("STOR up.bin\r\n"), std::string::npos);
        }
}

TEST_F(ScriptedFtp, UploadIntoAResetConnectionFailsInsteadOfReportingSuccess)
{
    for (bool async : { false, true }) {
        SCOPED_TRACE(async ? "async" : "sync");
        T_FTP session;
        ScriptedServer s(join(loginSteps(), { listenData(), expectLine(), send("227 ({pasv})\r\n"), expectLine(),
                                              acceptData(), send("150 go\r\n"), dataReset(), stall(2s) }));
        pointAt(session, s.port());
        session.Async = async;
        session.setSilenceTimeout(1s);
        session.DataStream.write(std::string(16 * 1024 * 1024, 'u'));
        session.URI = "up.bin";
        bool completed = false;
        session.OnActionComplete = [&](QObject*, t_ftp_mode) { completed = true; };
        EXPECT_THROW(session.Store(), ETcpIpError);
        EXPECT_FALSE(completed);
    }
}

TEST_F(ScriptedFtp, AsyncTransferRefusesASecondOperation)
{
    start(join(loginSteps(), { expectLine(), send("213 8\r\n"), listenData(), expectLine(), send("227 ({pasv})\r\n"),
                               expectLine(), acceptData(), send("150 go\r\n"), dataSendSlowly("abcdefgh", 4, 100ms),
                               dataClose(), send("226 done\r\n") }));
    ftp.Async = true;
    ftp.URI = "a";
    int refused = 0;
    ftp.OnDataReceived = [&](QObject*, t_ftp_mode, std::int64_t) {
        try {
            ftp.ListDirectory(".");
        } catch (const EProtocolBusy& e) {
            EXPECT_EQ(e.message(), "Protocol busy");
            ++refused;
        }
    };
    // Input that arrives during the transfer is handled inside it.
    bool timerRan = false;
    QTimer::singleShot(50, [&] { timerRan = true; });
    ftp.Retrieve();
    EXPECT_GE(refused, 1);
    EXPECT_TRUE(timerRan);
    EXPECT_EQ(ftp.DataStream.data(), "abcdefgh");
    expectTranscript(kLoginTranscript + "SIZE a\r\nPASV\r\nRETR a\r\n");
}

TEST_F(ScriptedFtp, LogOutFromAServerThatHasGoneStillEndsLoggedOut)
{
    start(join(loginSteps(), { close() }));
    ftp.Connect();
    EXPECT_NO_THROW(ftp.Disconnect());
    EXPECT_FALSE(ftp.Connected());
    EXPECT_EQ(ftp.ControlSocket, -1);
}

TEST_F(ScriptedFtp, ExecuteByModeLogsOutAtTheEnd)
{
    start(join(join(loginSteps(), passiveListing("drwxr-xr-x 2 u g 512 Nov 12  1998 www\r\n")),
               { expectLine(), send("221 bye\r\n") }));
    ftp.Mode = tftp_getdir;
    ftp.Execute();
    EXPECT_FALSE(ftp.Connected());
    ASSERT_EQ(ftp.ListingLines.count(), 1u);
    expectTranscript(kLoginTranscript + kListingTranscript + "QUIT\r\n");
}

TEST_F(ScriptedFtp, TraceOfASynchronousPassiveListing)
{
    const std::string listing = "drwxr-xr-x 2 u g 512 Nov 12  1998 www\r\n";
    // Control lines are read in blocks: the pause keeps "150" and "226" in blocks of their own.
    Script steps = passiveListing(listing);
    steps.insert(steps.end() - 3, stall(100ms));
    start(join(loginSteps(), steps));
    ftp.Connect();
    TraceRecorder trace(ftp);
    ftp.ListDirectory(".");
    const std::string control = std::to_string(ftp.ControlSocket);
    std::vector<TraceLine> normalised;
    std::string data, pasvLine;
    for (auto l : trace.lines) {
        if (l.text.rfind("227 ", 0) == 0)
            pasvLine = l.text;
        std::smatch m;
        if (std::regex_search(l.text, m, std::regex("successfully; ID (\\d+)")))
            data = m[1];
        l.text = std::regex_replace(l.text, std::regex("socket ID " + control + "\\b"), "socket ID C");
        if (!data.empty())
            l.text = std::regex_replace(l.text, std::regex("ID " + data + "\\b"), "ID D");
        l.text = std::regex_replace(l.text, std::regex("127,0,0,1,\\d+,\\d+"), "127,0,0,1,P");
        l.text = std::regex_replace(l.text, std::regex("output socket \\d+"), "output socket P");
        normalised.push_back(l);
    }
    const std::vector<TraceLine> expected = {
        { 2, "Sent 6 bytes on socket ID C" },
        { 0, "PASV" },
        { 2, "Received " + std::to_string(pasvLine.size() + 2) + " bytes on socket ID C" },
        { 1, "227 Entering Passive Mode (127,0,0,1,P)" },
        { 2, "Opened output socket P to host 127.0.0.1 successfully; ID D" },
        { 2, "Sent 8 bytes on socket ID C" },
        { 0, "TYPE A" },
        { 2, "Received 11 bytes on socket ID C" },
        { 1, "200 ascii" },
        { 2, "Sent 8 bytes on socket ID C" },
        { 0, "LIST ." },
        { 2, "Received 19 bytes on socket ID C" },
        { 1, "150 here it comes" },
        { 2, "Received " + std::to_string(listing.size()) + " bytes on socket ID D" },
        { 2, "Received 10 bytes on socket ID C" },
        { 1, "226 done" },
        { 2, "Closed socket ID D" },
        { 2, "Sent 8 bytes on socket ID C" },
        { 0, "TYPE I" },
        { 2, "Received 12 bytes on socket ID C" },
        { 1, "200 binary" },
    };
    ASSERT_EQ(normalised.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(normalised[i].level, expected[i].level) << i << ": " << normalised[i].text;
        EXPECT_EQ(normalised[i].text, expected[i].text) << i;
    }
}

// The server fails at every point of a session in turn (reset of the control connection, or
// of the data connection while one is open): each run must end with the whole result or an
// ETcpIpError, within the timeout, and a completed download must be the whole file.
TEST(ScriptedFtpFaults, ServerFailingAtEveryStepGivesTheWholeResultOrAnError)
{
    const std::string file(100 * 1024, 'f');
    const std::string uri = "a";
    const Script session = join(join(loginSteps(), passiveListing("-rw-r--r-- 1 u g 1 Nov 12  1998 a\r\n")),
                                { expectLine(), send("213 102400\r\n"), listenData(), expectLine(),
                                  send("227 ({pasv})\r\n"), expectLine(), acceptData(), send("150 go\r\n"),
                                  dataSend(file), dataClose(), send("226 done\r\n") });
    for (bool async : { false, true })
        for (std::size_t cut = 1; cut <= session.size(); ++cut)
            for (bool data : { false, true }) {
                std::string label = async ? "async" : "sync";
                label.append(" cut after step ").append(std::to_string(cut)).append(data ? " (data reset)" : "");
                SCOPED_TRACE(label);
                Script script(session.begin(), session.begin() + static_cast<long>(cut));
                script.push_back(data ? dataReset() : reset());
                ScriptedServer server(script, 2s);
                T_FTP ftp;
                pointAt(ftp, server.port());
                ftp.setSilenceTimeout(500ms);
                ftp.Async = async;
                ftp.URI = uri;
                bool complete = false;
                ftp.OnActionComplete = [&](QObject*, t_ftp_mode mode) {
                    if (mode == tftp_download)
                        complete = true;
                };
                const auto started = std::chrono::steady_clock::now();
                try {
                    ftp.Connect();
                    ftp.ListDirectory(".");
                    ftp.Retrieve();
                } catch (const ETcpIpError&) {
                }
                EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
                if (complete) {
                    EXPECT_TRUE(ftp.DataStream.data() == file) << ftp.DataStream.size() << " bytes";
                }
            }
}
