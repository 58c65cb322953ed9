// Write-backs over FTP against the scripted server, to the exact command transcript: servers
// that refuse the temporary name, the rename or SITE CHMOD, report neither time nor size, or
// cut a store off half-way. The temporary name is random: it stands as {temp} in transcripts.
#include "../tcpip/FtpTestSupport.h"
#include "remote/WriteBack.h"
#include "tcpip/FtpRemoteFiles.h"

#include <gtest/gtest.h>

#include <regex>

using namespace tcpiptest;
using namespace testservers;
using namespace testservers::script;

namespace {

const std::string kMine = "<p>my text</p>";
const std::string kLogin = "USER anna\r\nPASS secret\r\nTYPE I\r\nPWD\r\n";

Script reply(std::string text) { return { expectLine(), send(std::move(text)) }; }

// PASV, STOR, and the data until the client closes it, answered with final.
Script upload(const std::string& final = "226 Transfer complete.\r\n")
{
    return { listenData(),  expectLine(),     send("227 Entering Passive Mode ({pasv})\r\n"),
             expectLine(),  acceptData(),     send("150 Ok to send data.\r\n"),
             dataReceiveAll(), send(final) };
}

// What the check asks of a server without MLST: MDTM, STAT, and SIZE when STAT listed no size.
Script check(const std::string& time, const std::string& listing, const std::string& size = "")
{
    const Script asked = join(reply(time), reply(listing));
    return size.empty() ? asked : join(asked, reply(size));
}
const std::string kCheckCommands = "MDTM a.html\r\nSTAT a.html\r\nSIZE a.html\r\n";
const std::string kListedCheckCommands = "MDTM a.html\r\nSTAT a.html\r\n";
const std::string kListing = "213-Status follows:\r\n-rw-r----- 1 a a 8 Sep 13 12:26 a.html\r\n213 End\r\n";
const Script kStampAtOpen = check("213 20200913122640\r\n", "502 No STAT\r\n", "213 8\r\n");
// After the store the size is known: only the time is asked.
const std::string kStampCommand = "MDTM a.html\r\n";
const Script kStampAfter = reply("213 20200913130000\r\n");

struct Case {
    const char* label;
    remote::ServerStamp atOpen;
    Script steps;           // after FEAT
    std::string transcript; // after FEAT
    std::string data;       // what reached the server's data connections
    remote::WriteBackOutcome outcome;
    bool direct;
    std::string status;     // part of the status line ("" : empty)
    std::string error;      // part of the error message; empty: no error
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.label;
}

class WriteBackScripted : public ::testing::TestWithParam<Case> {};

TEST_P(WriteBackScripted, FollowsTheTranscript)
{
    const Case& c = GetParam();
    const Script login = join(loginSteps(), reply("257 \"/home/anna\"\r\n"));
    ScriptedServer server(join(join(join(login, reply("500 FEAT?\r\n")), c.steps), join(reply("221 Bye\r\n"), { expectClose() })));
    tcpip::FtpRemoteFiles files;
    files.Site = { "127.0.0.1", server.port(), "anna", "secret" };
    files.setSilenceTimeout(5s);
    files.Connect();
    base::MemoryStream source;
    source.write(c.data.empty() ? std::string() : kMine);
    source.setPosition(0);
    int questions = 0;
    const auto ask = [&](const std::string&) {
        ++questions;
        return remote::ConflictAnswer::Cancel;
    };
    try {
        const auto result = remote::WriteBack(files, source, "a.html", c.atOpen, ask);
        EXPECT_EQ(c.error, "");
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.direct, c.direct);
        EXPECT_EQ(result.stampNotReported, c.atOpen.size < 0);
        EXPECT_EQ(c.status.empty(), result.statusLine.empty()) << result.statusLine;
        EXPECT_NE(result.statusLine.find(c.status), std::string::npos) << result.statusLine;
    } catch (const remote::ERemoteError& e) {
        EXPECT_NE(c.error, "") << e.message();
        EXPECT_NE(e.message().find(c.error), std::string::npos) << e.message();
    }
    EXPECT_EQ(questions, c.outcome == remote::WriteBackOutcome::Cancelled ? 1 : 0);
    files.Disconnect();
    EXPECT_TRUE(server.finish()) << server.failure();
    const std::string transcript = std::regex_replace(server.transcript(), std::regex(R"(\.a\.html\.quellin-[a-z0-9]{6}\.tmp)"), "{temp}");
    EXPECT_EQ(transcript, kLogin + "FEAT\r\n" + c.transcript + "QUIT\r\n");
    EXPECT_EQ(server.dataReceived(), c.data);
}

const std::string kStore = "PASV\r\nSTOR {temp}\r\n";
const std::string kRename = "RNFR {temp}\r\nRNTO a.html\r\n";
const std::string kDirect = "PASV\r\nSTOR a.html\r\n";
const remote::ServerStamp kOpened{ 8, 1600000000 };
const Script kRenamed = join(reply("350 Ready for RNTO.\r\n"), reply("250 Rename successful.\r\n"));
const std::string kBig(8 << 20, 'b');

INSTANTIATE_TEST_SUITE_P(
    Servers, WriteBackScripted,
    ::testing::Values(
        Case{ "StoredUnderTemporaryNameThenRenamed", kOpened, join(join(join(kStampAtOpen, upload()), kRenamed), kStampAfter),
              kCheckCommands + kStore + kRename + kStampCommand, kMine, remote::WriteBackOutcome::Stored, false, "", "" },
        Case{ "NeitherTimeNorSizeReported", { -1, 0 },
              join(join(join(check("502 No\r\n", "502 No\r\n", "502 No\r\n"), upload()), kRenamed), reply("502 No\r\n")),
              kCheckCommands + kStore + kRename + kStampCommand, kMine, remote::WriteBackOutcome::Stored, false, "", "" },
        Case{ "ChangedAndCancelled", kOpened, check("213 20200913122640\r\n", "502 No\r\n", "213 9\r\n"), kCheckCommands, "",
              remote::WriteBackOutcome::Cancelled, false, "", "" },
        Case{ "RenameRefusedStoresDirectly", kOpened,
              join(join(join(join(join(kStampAtOpen, upload()), reply("550 RNFR command failed.\r\n")), upload()),
                        reply("250 Delete operation successful.\r\n")), kStampAfter),
              kCheckCommands + kStore + "RNFR {temp}\r\n" + kDirect + "DELE {temp}\r\n" + kStampCommand, kMine + kMine,
              remote::WriteBackOutcome::Stored, true, "refused to rename", "" },
        Case{ "RenameRefusedAndTemporaryStays", kOpened,
              join(join(join(join(join(kStampAtOpen, upload()), reply("550 RNFR command failed.\r\n")), upload()),
                        reply("550 Delete operation failed.\r\n")), kStampAfter),
              kCheckCommands + kStore + "RNFR {temp}\r\n" + kDirect + "DELE {temp}\r\n" + kStampCommand, kMine + kMine,
              remote::WriteBackOutcome::Stored, true, "is left on the server", "" },
        Case{ "TemporaryNameRefusedStoresDirectly", kOpened,
              join(join(join(join(join(kStampAtOpen, { listenData(), expectLine(), send("227 ({pasv})\r\n") }),
                                  reply("553 Could not create file.\r\n")),
                             reply("550 Delete operation failed.\r\n")), upload()), kStampAfter),
              kCheckCommands + kStore + "DELE {temp}\r\n" + kDirect + kStampCommand, kMine,
              remote::WriteBackOutcome::Stored, true, "refused the temporary name", "" },
        Case{ "ModeNotKeptIsReported", kOpened,
              join(join(join(join(check("213 20200913122640\r\n", kListing), upload()), reply("500 Unknown SITE command.\r\n")), kRenamed), kStampAfter),
              kListedCheckCommands + kStore + "SITE CHMOD 640 {temp}\r\n" + kRename + kStampCommand, kMine,
              remote::WriteBackOutcome::Stored, false, "could not keep the permissions of a.html (0640)", "" },
        Case{ "ModeKept", kOpened,
              join(join(join(join(check("213 20200913122640\r\n", kListing), upload()), reply("200 SITE CHMOD command ok.\r\n")), kRenamed), kStampAfter),
              kListedCheckCommands + kStore + "SITE CHMOD 640 {temp}\r\n" + kRename + kStampCommand, kMine,
              remote::WriteBackOutcome::Stored, false, "", "" }),
    [](const auto& info) { return std::string(info.param.label); });

struct CutOffCase {
    const char* label;
    std::string deleteReply;
    std::string error; // part of the message
};

void PrintTo(const CutOffCase& c, std::ostream* out)
{
    *out << c.label;
}

class WriteBackCutOff : public ::testing::TestWithParam<CutOffCase> {};

// The data connection is reset in the middle of the store: the target is never touched (no
// RNFR, no STOR of it) and the temporary file is removed, or named where it cannot be.
TEST_P(WriteBackCutOff, TargetUntouchedAndTemporaryFileRemovedOrNamed)
{
    const CutOffCase& c = GetParam();
    const Script cut = { listenData(), expectLine(), send("227 ({pasv})\r\n"), expectLine(), acceptData(),
                         send("150 Ok to send data.\r\n"), dataReset(), send("426 Failure writing network stream.\r\n") };
    const Script login = join(loginSteps(), reply("257 \"/home/anna\"\r\n"));
    Script steps = join(join(join(login, reply("500 FEAT?\r\n")), kStampAtOpen), cut);
    steps = join(join(steps, reply("225 No transfer to abort\r\n")), reply(c.deleteReply));
    ScriptedServer server(join(join(steps, reply("221 Bye\r\n")), { expectClose() }));
    tcpip::FtpRemoteFiles files;
    files.Site = { "127.0.0.1", server.port(), "anna", "secret" };
    files.setSilenceTimeout(5s);
    files.Connect();
    base::MemoryStream source;
    source.write(kBig);
    source.setPosition(0);
    try {
        remote::WriteBack(files, source, "a.html", kOpened, nullptr);
        ADD_FAILURE() << "stored although the data connection was reset";
    } catch (const remote::ERemoteError& e) {
        EXPECT_NE(e.message().find(c.error), std::string::npos) << e.message();
    }
    files.Disconnect();
    EXPECT_TRUE(server.finish()) << server.failure();
    const std::string transcript = std::regex_replace(server.transcript(), std::regex(R"(\.a\.html\.quellin-[a-z0-9]{6}\.tmp)"), "{temp}");
    EXPECT_EQ(transcript, kLogin + "FEAT\r\n" + kCheckCommands + kStore + "ABOR\r\nDELE {temp}\r\nQUIT\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Servers, WriteBackCutOff,
    ::testing::Values(CutOffCase{ "TemporaryRemoved", "250 Delete operation successful.\r\n", "The file on the server is unchanged." },
                      CutOffCase{ "TemporaryNamed", "550 Delete operation failed.\r\n", "the temporary file .a.html.quellin-" }),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
