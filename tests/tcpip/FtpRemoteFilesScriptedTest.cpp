// Plain FTP through the remote-files interface against the scripted server: what the server
// answers, and what comes of it, to the exact command transcript.
#include "FtpTestSupport.h"
#include "tcpip/FtpRemoteFiles.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>

using namespace tcpiptest;
using namespace testservers;
using namespace testservers::script;

namespace {

const std::string kUser = "anna";
const std::string kPassword = "secret";
const std::string kLogin = "USER anna\r\nPASS secret\r\nTYPE I\r\n";
const Script kPwd = { expectLine(), send("257 \"/home/anna\" is the current folder\r\n") };
const Script kQuit = { expectLine(), send("221 Bye\r\n"), expectClose() };

void pointAt(tcpip::FtpRemoteFiles& files, const ScriptedServer& server, bool async = false,
             std::chrono::milliseconds silence = 2s)
{
    files.Site = { "127.0.0.1", server.port(), kUser, kPassword };
    files.Async = async;
    files.setSilenceTimeout(silence);
}

// One command the client must send and the server's answer to it.
struct Exchange {
    std::string command;
    std::string reply;
};

struct StatCase {
    const char* label;
    std::vector<Exchange> exchanges;
    std::optional<remote::RemoteEntry> result; // empty: ERemoteError
};

class FtpRemoteStat : public ::testing::TestWithParam<StatCase> {};

TEST_P(FtpRemoteStat, AnswersBecomeAnEntryOrAFailure)
{
    const StatCase& c = GetParam();
    Script steps = join(loginSteps(), kPwd);
    std::string transcript = kLogin + "PWD\r\n";
    for (const Exchange& exchange : c.exchanges) {
        steps.push_back(expectLine());
        steps.push_back(send(exchange.reply));
        transcript += exchange.command + "\r\n";
    }
    ScriptedServer server(join(steps, kQuit));
    tcpip::FtpRemoteFiles files;
    pointAt(files, server);
    files.Connect();
    if (c.result) {
        EXPECT_EQ(files.Stat("a b"), *c.result);
    } else {
        EXPECT_THROW(files.Stat("a b"), remote::ERemoteError);
    }
    files.Disconnect();
    EXPECT_TRUE(server.finish()) << server.failure();
    EXPECT_EQ(server.transcript(), transcript + "QUIT\r\n");
}

const Exchange kNoFeatures{ "FEAT", "211 No features\r\n" };
const Exchange kNoStat{ "STAT a b", "502 No STAT\r\n" };
const Exchange kStatListing{ "STAT a b", "213-Status follows:\r\n-rw-r-----    1 1000 1000  7 Sep 13 12:26 a b\r\n213 End\r\n" };
const std::string kMlstFeatures = "211-Features:\r\n MDTM\r\n MLST type*;size*;modify*;UNIX.mode;\r\n SIZE\r\n211 End\r\n";
const Exchange kSelectMode{ "OPTS MLST type;size;modify;UNIX.mode;", "200 MLST OPTS type;size;modify;UNIX.mode;\r\n" };

Exchange sizeOf(std::string reply) { return { "SIZE a b", std::move(reply) }; }
Exchange timeOf(std::string reply) { return { "MDTM a b", std::move(reply) }; }
Exchange factsOf(std::string line) { return { "MLST a b", "250-Listing a b\r\n" + line + "\r\n250 End\r\n" }; }

remote::RemoteEntry entry(std::int64_t size, std::int64_t modified, int permissions = 0640,
                          remote::EntryKind kind = remote::EntryKind::File)
{
    return { "a b", size, kind, modified, permissions };
}

INSTANTIATE_TEST_SUITE_P(
    Replies, FtpRemoteStat,
    ::testing::Values(
        StatCase{ "TimeAndListing", { kNoFeatures, timeOf("213 20200913122640\r\n"), kStatListing }, entry(7, 1600000000) },
        StatCase{ "ListedSizeBeyondFourGigabytes",
                  { kNoFeatures, timeOf("213 20200913122640\r\n"),
                    { "STAT a b", "213-Status:\r\n-rw-r----- 1 a a 5000000000 Sep 13 12:26 a b\r\n213 End\r\n" } },
                  entry(5000000000, 1600000000) },
        StatCase{ "SizeBeyondFourGigabytes",
                  { kNoFeatures, timeOf("213 20200913122640.5\r\n"), kNoStat, sizeOf("213 5000000000\r\n") },
                  entry(5000000000, 1600000000, remote::kUnknownPermissions) },
        StatCase{ "ListedSizeUnreadableAsksSize",
                  { kNoFeatures, timeOf("213 20200913122640\r\n"),
                    { "STAT a b", "213-Status:\r\n-rw-r----- 1 a a 99999999999999999999999 Sep 13 12:26 a b\r\n213 End\r\n" },
                    sizeOf("213 7\r\n") },
                  entry(7, 1600000000) },
        StatCase{ "NoSuchFile", { kNoFeatures, timeOf("550 No such file\r\n") }, std::nullopt },
        StatCase{ "NegativeSize", { kNoFeatures, timeOf("213 20200913122640\r\n"), kNoStat, sizeOf("213 -5\r\n") }, std::nullopt },
        StatCase{ "SizeBeyondSixtyFourBits",
                  { kNoFeatures, timeOf("213 20200913122640\r\n"), kNoStat, sizeOf("213 99999999999999999999999\r\n") },
                  std::nullopt },
        StatCase{ "SizeIsText", { kNoFeatures, timeOf("213 20200913122640\r\n"), kNoStat, sizeOf("213 seven\r\n") }, std::nullopt },
        StatCase{ "TimeRefused", { kNoFeatures, timeOf("550 No time\r\n") }, std::nullopt },
        StatCase{ "TimeIsText", { kNoFeatures, timeOf("213 yesterday\r\n") }, std::nullopt },
        StatCase{ "TimeImpossible", { kNoFeatures, timeOf("213 20230231000000\r\n") }, std::nullopt },
        StatCase{ "TimeWithEscape", { kNoFeatures, timeOf("213 2020\x1B[2J0913122640\r\n") }, std::nullopt },
        StatCase{ "NeitherSizeNorTimeNorStat",
                  { { "FEAT", "500 FEAT not understood\r\n" }, timeOf("500 No MDTM\r\n"), kNoStat, sizeOf("502 No SIZE\r\n") },
                  entry(-1, 0, remote::kUnknownPermissions) },
        StatCase{ "StatListsTwoFiles",
                  { kNoFeatures, timeOf("213 20200913122640\r\n"),
                    { "STAT a b", "213-Status:\r\n-rw-r--r-- 1 a a 1 Sep 1 2020 a\r\n-rw------- 1 a a 1 Sep 1 2020 b\r\n213 End\r\n" },
                    sizeOf("213 7\r\n") },
                  entry(7, 1600000000, remote::kUnknownPermissions) },
        StatCase{ "FactsWithModeSelected",
                  { { "FEAT", kMlstFeatures }, kSelectMode,
                    factsOf(" type=file;size=7;modify=20200913122640;UNIX.mode=0640; a b") },
                  entry(7, 1600000000) },
        StatCase{ "FactsWithoutMode",
                  { { "FEAT", "211-Features:\r\n MLST type*;size*;modify*;\r\n211 End\r\n" },
                    factsOf(" Type=file;Size=7;Modify=20200913122640; a b") },
                  entry(7, 1600000000, remote::kUnknownPermissions) },
        StatCase{ "FactsOfAFolder",
                  { { "FEAT", kMlstFeatures }, { kSelectMode.command, "501 No\r\n" },
                    factsOf(" type=dir;modify=20200913122640; a b") },
                  entry(-1, 1600000000, remote::kUnknownPermissions, remote::EntryKind::Other) },
        StatCase{ "FactsMissing", { { "FEAT", kMlstFeatures }, kSelectMode, { "MLST a b", "250 Nothing\r\n" } }, std::nullopt },
        StatCase{ "FactsOfAMissingFile", { { "FEAT", kMlstFeatures }, kSelectMode, { "MLST a b", "550 No such file\r\n" } },
                  std::nullopt }),
    [](const auto& info) { return std::string(info.param.label); });

struct ChmodCase {
    const char* label;
    std::string reply;
    std::optional<bool> supported; // empty: ERemoteError
};

class FtpRemoteChmod : public ::testing::TestWithParam<ChmodCase> {};

TEST_P(FtpRemoteChmod, SiteChmodIsDoneUnsupportedOrRefused)
{
    const ChmodCase& c = GetParam();
    ScriptedServer server(join(join(loginSteps(), kPwd), join({ expectLine(), send(c.reply) }, kQuit)));
    tcpip::FtpRemoteFiles files;
    pointAt(files, server);
    files.Connect();
    if (c.supported) {
        EXPECT_EQ(files.SetPermissions("a b", 04750), *c.supported);
    } else {
        EXPECT_THROW(files.SetPermissions("a b", 04750), remote::ERemoteError);
    }
    files.Disconnect();
    EXPECT_TRUE(server.finish()) << server.failure();
    EXPECT_EQ(server.transcript(), kLogin + "PWD\r\nSITE CHMOD 4750 a b\r\nQUIT\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Replies, FtpRemoteChmod,
    ::testing::Values(ChmodCase{ "Done", "200 SITE CHMOD command ok.\r\n", true },
                      ChmodCase{ "Superfluous", "202 Not needed here\r\n", false },
                      ChmodCase{ "Unknown", "500 Unknown SITE command.\r\n", false },
                      ChmodCase{ "NotImplemented", "502 No\r\n", false },
                      ChmodCase{ "Refused", "550 Permission denied.\r\n", std::nullopt }),
    [](const auto& info) { return std::string(info.param.label); });

struct LoginCase {
    const char* label;
    Script steps;
    bool authentication; // EAuthenticationFailed rather than another ERemoteError
};

class FtpRemoteLogin : public ::testing::TestWithParam<std::tuple<LoginCase, bool>> {};

// Each ends in a clear failure within the silence timeout, logged out, in both wait modes.
TEST_P(FtpRemoteLogin, FailsClearlyAndEndsLoggedOut)
{
    const auto& [c, async] = GetParam();
    ScriptedServer server(c.steps);
    tcpip::FtpRemoteFiles files;
    pointAt(files, server, async, 500ms);
    try {
        files.Connect();
        ADD_FAILURE() << "logged in";
    } catch (const remote::EAuthenticationFailed& e) {
        EXPECT_TRUE(c.authentication) << e.message();
        EXPECT_NE(e.message().find("anna"), std::string::npos) << e.message();
    } catch (const remote::ERemoteError& e) {
        EXPECT_FALSE(c.authentication) << e.message();
    }
    EXPECT_EQ(files.State(), remote::ConnectionState::LoggedOut);
}

INSTANTIATE_TEST_SUITE_P(
    Servers, FtpRemoteLogin,
    ::testing::Combine(
        ::testing::Values(
            LoginCase{ "WrongPassword",
                       { accept(), send("220 hi\r\n"), expectLine(), send("331 password\r\n"), expectLine(),
                         send("530 Login incorrect.\r\n"), expectClose() },
                       true },
            LoginCase{ "UnknownUser", { accept(), send("220 hi\r\n"), expectLine(), send("530 Not you.\r\n"), expectClose() }, true },
            LoginCase{ "SaysNothing", { accept(), stall(3s) }, false },
            LoginCase{ "ClosesAtOnce", { accept(), close() }, false },
            LoginCase{ "Resets", { accept(), reset() }, false },
            LoginCase{ "ServiceNotAvailable", { accept(), send("421 Too many users\r\n"), close() }, false },
            LoginCase{ "SpeaksSsh", { accept(), send("SSH-2.0-OpenSSH_9.2\r\n"), stall(3s) }, false }),
        ::testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).label) + (std::get<1>(info.param) ? "_async" : "_sync");
    });

// The first operation logs in by itself and learns where it stands.
TEST(FtpRemoteFolder, FirstOperationLogsInAndNotesTheFolder)
{
    ScriptedServer server(join(join(loginSteps(), { expectLine(), send("250 Deleted\r\n") }),
                               join(kPwd, kQuit)));
    tcpip::FtpRemoteFiles files;
    pointAt(files, server);
    files.Delete("old.txt");
    EXPECT_EQ(files.CurrentFolder(), "/home/anna");
    files.Disconnect();
    EXPECT_EQ(files.CurrentFolder(), "");
    EXPECT_TRUE(server.finish()) << server.failure();
    EXPECT_EQ(server.transcript(), kLogin + "DELE old.txt\r\nPWD\r\nQUIT\r\n");
}

// A download whose final reply fails leaves the session in its transfer; the next operation
// ends it with ABOR first instead of refusing as busy.
TEST(FtpRemoteFolder, AFailedTransferIsAbortedBeforeTheNextOperation)
{
    const Script failedRetrieve = { expectLine(), send("213 3\r\n"), listenData(), expectLine(),
                                    send("227 Entering Passive Mode ({pasv})\r\n"), expectLine(), acceptData(),
                                    send("150 Here it comes\r\n"), dataSend("abc"), dataClose(),
                                    send("451 Local error in processing\r\n") };
    const Script abortThenDelete = { expectLine(), send("225 No transfer to abort\r\n"), expectLine(),
                                     send("250 Deleted\r\n") };
    ScriptedServer server(join(join(join(join(loginSteps(), kPwd), failedRetrieve), abortThenDelete), kQuit));
    tcpip::FtpRemoteFiles files;
    pointAt(files, server);
    files.Connect();
    base::MemoryStream target;
    EXPECT_THROW(files.Retrieve("a.txt", target), remote::ERemoteError);
    files.Delete("a.txt");
    EXPECT_EQ(files.State(), remote::ConnectionState::Idle);
    files.Disconnect();
    EXPECT_TRUE(server.finish()) << server.failure();
    EXPECT_EQ(server.transcript(), kLogin + "PWD\r\nSIZE a.txt\r\nPASV\r\nRETR a.txt\r\nABOR\r\nDELE a.txt\r\nQUIT\r\n");
}

// A server that hangs up while the session is idle: the next operation logs in again, goes back
// to the folder it had reached and acts, without an error.
TEST(FtpRemoteFolder, AfterAHangUpTheNextOperationLogsInAgainInTheSameFolder)
{
    const Script docs = { expectLine(), send("250 Changed\r\n"), expectLine(), send("257 \"/home/anna/docs\"\r\n") };
    Script steps = join(join(join(loginSteps(), kPwd), docs), { send("421 Timeout.\r\n"), close() });
    steps = join(join(steps, loginSteps()), { expectLine(), send("250 Changed\r\n"), expectLine(), send("250 Deleted\r\n") });
    ScriptedServer server(join(steps, kQuit));
    tcpip::FtpRemoteFiles files;
    pointAt(files, server);
    files.Connect();
    files.ChangeFolder("docs");
    files.Delete("a.txt");
    EXPECT_EQ(files.CurrentFolder(), "/home/anna/docs");
    files.Disconnect();
    EXPECT_TRUE(server.finish()) << server.failure();
    EXPECT_EQ(server.transcript(), kLogin + "PWD\r\nCWD docs\r\nPWD\r\n" + kLogin + "CWD docs\r\nDELE a.txt\r\nQUIT\r\n");
}

// What OPTS selected ends with the log-in: after the server hung up while idle, the next stat
// logs in again and asks FEAT and OPTS MLST again before MLST, so the mode is still reported
// (and kept by the next write-back).
TEST(FtpRemoteFeatures, AreAskedAgainAfterAnAutomaticLogIn)
{
    Script stat;
    for (const Exchange& exchange : { Exchange{ "FEAT", kMlstFeatures }, kSelectMode,
                                      factsOf(" type=file;size=7;modify=20200913122640;UNIX.mode=0640; a b") }) {
        stat.push_back(expectLine());
        stat.push_back(send(exchange.reply));
    }
    const Script first = join(join(join(loginSteps(), kPwd), stat), { send("421 Timeout.\r\n"), close() });
    ScriptedServer server(join(join(join(first, loginSteps()), stat), kQuit));
    tcpip::FtpRemoteFiles files;
    pointAt(files, server);
    files.Connect();
    EXPECT_EQ(files.Stat("a b").permissions, 0640);
    // The farewell is sent and the connection closed before the next stat begins.
    for (int i = 0; i < 400 && server.stepsDone() < first.size(); ++i)
        std::this_thread::sleep_for(5ms);
    EXPECT_EQ(files.Stat("a b").permissions, 0640);
    files.Disconnect();
    EXPECT_TRUE(server.finish()) << server.failure();
    const std::string stated = "FEAT\r\nOPTS MLST type;size;modify;UNIX.mode;\r\nMLST a b\r\n";
    EXPECT_EQ(server.transcript(), kLogin + "PWD\r\n" + stated + kLogin + stated + "QUIT\r\n");
}

// The server's idle timeout crosses the next command: its farewell comes as that command's
// answer. Nothing was done, so the command goes again after a new log-in in the same folder; a
// second farewell is the operation's failure, never a loop.
struct CrossingCase {
    const char* label;
    Script afterLogIn;       // from the new log-in's CWD to the end
    std::string transcript;  // after the new log-in
    bool deleted;
};

void PrintTo(const CrossingCase& c, std::ostream* out)
{
    *out << c.label;
}

class FtpRemoteFarewell : public ::testing::TestWithParam<CrossingCase> {};

TEST_P(FtpRemoteFarewell, CrossingTheFirstCommandLogsInAgainAndSendsItOnce)
{
    const CrossingCase& c = GetParam();
    const Script docs = { expectLine(), send("250 Changed\r\n"), expectLine(), send("257 \"/home/anna/docs\"\r\n") };
    Script steps = join(join(join(loginSteps(), kPwd), docs), { expectLine(), send("421 Timeout.\r\n"), close() });
    ScriptedServer server(join(join(steps, loginSteps()), c.afterLogIn));
    tcpip::FtpRemoteFiles files;
    pointAt(files, server);
    files.Connect();
    files.ChangeFolder("docs");
    if (c.deleted)
        EXPECT_NO_THROW(files.Delete("a.txt"));
    else
        EXPECT_THROW(files.Delete("a.txt"), remote::ERemoteError);
    files.Disconnect();
    EXPECT_TRUE(server.finish()) << server.failure();
    EXPECT_EQ(server.transcript(), kLogin + "PWD\r\nCWD docs\r\nPWD\r\nDELE a.txt\r\n" + kLogin + c.transcript);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, FtpRemoteFarewell,
    ::testing::Values(CrossingCase{ "SentAgain",
                                    join({ expectLine(), send("250 Changed\r\n"), expectLine(), send("250 Deleted\r\n") }, kQuit),
                                    "CWD docs\r\nDELE a.txt\r\nQUIT\r\n", true },
                      CrossingCase{ "SecondFarewellFails",
                                    { expectLine(), send("250 Changed\r\n"), expectLine(), send("421 Timeout again.\r\n"), close() },
                                    "CWD docs\r\nDELE a.txt\r\n", false }),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
