// FTP over TLS through the remote-files interface: real vsftpd (which requires data connections
// to resume the control connection's session) and pyftpdlib's TLS handler in every mode, then
// the refusals: certificates that do not verify, a server without TLS, a refused data connection
// and handshakes that never finish.
#include "FtpServers.h"
#include "FtpTestSupport.h"
#include "../remote/RemoteContractCases.h"
#include "tcpip/FtpRemoteFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

using namespace testservers;
using namespace testservers::script;
using namespace tcpiptest;
using remotecontract::Pattern;

namespace {

struct Mode {
    FtpServerKind kind;
    bool passive;
    bool async;
};

std::string modeName(const Mode& m)
{
    return std::string(FtpServerName(m.kind)) + (m.passive ? "_passive" : "_active") + (m.async ? "_async" : "_sync");
}

void pointAt(tcpip::FtpRemoteFiles& files, std::uint16_t port, const std::string& caFile, const std::string& host = "127.0.0.1")
{
    files.Site = { host, port, "quellin", "secret" };
    files.ExplicitTls = true;
    files.CaFile = caFile;
    files.setSilenceTimeout(20s);
}

class FtpTlsRoundTrip : public ::testing::TestWithParam<Mode> {};

TEST_P(FtpTlsRoundTrip, EveryOperationWorksOverTlsAndNothingGoesInClear)
{
    const auto server = StartFtpServer(GetParam().kind, 120, FtpSecurity::Tls);
    tcpip::FtpRemoteFiles files;
    pointAt(files, server->port(), server->caFile());
    files.Site.user = server->user();
    files.Site.password = server->password();
    files.Async = GetParam().async;
    files.session().Passive = GetParam().passive;
    std::vector<std::string> commands;
    std::vector<std::string> connection;
    files.OnTrace = [&](const std::string& text, remote::TraceLevel level) {
        (level == remote::TraceLevel::Command ? commands : connection).push_back(text);
    };

    const std::string down = Pattern((std::size_t{ 3 } << 20) + 17);
    server->write("down.bin", down);
    base::MemoryStream target;
    files.Retrieve("down.bin", target);
    EXPECT_TRUE(target.data() == down) << "got " << target.size() << " of " << down.size() << " bytes";

    for (const std::size_t size : { std::size_t{ 0 }, (std::size_t{ 3 } << 20) + 5 }) {
        const std::string up = Pattern(size);
        base::MemoryStream source;
        source.write(up);
        source.setPosition(0);
        files.Store(source, "up.bin");
        EXPECT_TRUE(server->read("up.bin") == up) << "stored " << server->read("up.bin").size() << " of " << size;
    }

    files.MakeFolder("made");
    files.Rename("up.bin", "renamed.bin");
    files.Delete("down.bin");
    std::vector<std::string> names;
    for (const auto& e : files.List("."))
        names.push_back(e.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{ "made", "renamed.bin" }));
    files.Disconnect();

    ASSERT_GE(commands.size(), 4u);
    EXPECT_EQ(commands[0], "AUTH TLS");
    EXPECT_EQ(commands[1], "USER " + server->user());
    EXPECT_TRUE(std::find(commands.begin(), commands.end(), "PROT P") != commands.end());
    const auto verified = std::count_if(connection.begin(), connection.end(), [](const std::string& t) {
        return t.rfind("TLS 1.", 0) == 0 && t.find(", certificate verified for 127.0.0.1") != std::string::npos;
    });
    EXPECT_EQ(verified, 1);
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpTlsRoundTrip,
                         ::testing::Values(Mode{ FtpServerKind::Vsftpd, true, false }, Mode{ FtpServerKind::Vsftpd, true, true },
                                           Mode{ FtpServerKind::Vsftpd, false, false }, Mode{ FtpServerKind::Vsftpd, false, true },
                                           Mode{ FtpServerKind::Pyftpdlib, true, false },
                                           Mode{ FtpServerKind::Pyftpdlib, true, true },
                                           Mode{ FtpServerKind::Pyftpdlib, false, false },
                                           Mode{ FtpServerKind::Pyftpdlib, false, true }),
                         [](const auto& info) { return modeName(info.param); });

struct CertificateCase {
    const char* label;
    FtpSecurity security;
    bool trustCa;
    std::string reason;
};

class FtpTlsCertificate : public ::testing::TestWithParam<CertificateCase> {};

TEST_P(FtpTlsCertificate, IsRefusedWithItsReasonBeforeTheLogIn)
{
    const auto server = StartFtpServer(FtpServerKind::Vsftpd, 120, GetParam().security);
    tcpip::FtpRemoteFiles files;
    pointAt(files, server->port(), GetParam().trustCa ? server->caFile() : "");
    std::vector<std::string> commands;
    files.OnTrace = [&](const std::string& text, remote::TraceLevel level) {
        if (level == remote::TraceLevel::Command)
            commands.push_back(text);
    };
    try {
        files.Connect();
        ADD_FAILURE() << "connected";
    } catch (const remote::ERemoteError& e) {
        EXPECT_NE(e.message().find(GetParam().reason), std::string::npos) << e.message();
    }
    EXPECT_EQ(commands, (std::vector<std::string>{ "AUTH TLS" }));
    EXPECT_EQ(files.State(), remote::ConnectionState::LoggedOut);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, FtpTlsCertificate,
    ::testing::Values(
        CertificateCase{ "Untrusted", FtpSecurity::Tls, false, "certificate verify failed: unable to get local issuer certificate" },
        CertificateCase{ "WrongName", FtpSecurity::TlsForOtherName, true, "certificate verify failed: host name mismatch" }),
    [](const auto& info) { return std::string(info.param.label); });

struct ScriptCase {
    const char* label;
    Script afterAuth;   // the server's steps once "AUTH TLS" has come
    std::string reason; // part of the failure's message
};

class FtpTlsScripted : public ::testing::TestWithParam<ScriptCase> {};

// Nothing but AUTH TLS ever reaches the server: no user name, no password, no QUIT in clear.
TEST_P(FtpTlsScripted, LogInIsRefusedWithinBoundsAndNothingFollowsInClear)
{
    ScriptedServer server(join({ accept(), send("220 ready\r\n"), expectLine() }, GetParam().afterAuth));
    tcpip::FtpRemoteFiles files;
    pointAt(files, server.port(), "");
    files.setSilenceTimeout(2s);
    files.session().setReplyTimeout(1s);
    const auto start = std::chrono::steady_clock::now();
    try {
        files.Connect();
        ADD_FAILURE() << "connected";
    } catch (const remote::ERemoteError& e) {
        EXPECT_NE(e.message().find(GetParam().reason), std::string::npos) << e.message();
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(files.State(), remote::ConnectionState::LoggedOut);
    EXPECT_TRUE(server.finish()) << server.failure();
    EXPECT_EQ(server.transcript(), "AUTH TLS\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Servers, FtpTlsScripted,
    ::testing::Values(
        ScriptCase{ "AuthUnknown", { send("500 AUTH not understood\r\n"), expectClose() },
                    "does not offer FTP over TLS (it answered AUTH TLS with \"500 AUTH not understood\")" },
        ScriptCase{ "AuthAnsweredWithoutProceeding", { send("200 Whatever you say\r\n"), expectClose() },
                    "does not offer FTP over TLS" },
        ScriptCase{ "HandshakeStalls", { send("234 Proceed\r\n"), stall(3s) }, "did not finish within 1 seconds" },
        ScriptCase{ "PlainTextInsteadOfHandshake", { send("234 Proceed\r\n"), stall(300ms), send("230 Welcome in clear\r\n"), stall(2s) },
                    "TLS handshake failed" },
        ScriptCase{ "RepliesInClearAfterAgreeing", { send("234 Proceed\r\n230 Logged in without TLS\r\n"), expectClose() },
                    "did not begin TLS after agreeing to it" },
        ScriptCase{ "CloseInHandshake", { send("234 Proceed\r\n"), stall(300ms), close() },
                    "failed: connection closed during the TLS handshake" }),
    [](const auto& info) { return std::string(info.param.label); });

struct RefusalCase {
    const char* label;
    bool async;
    bool store;
};

class FtpTlsDataRefused : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(FtpTlsDataRefused, IsReportedAsTheMissingSessionReuse)
{
    FtpsDataRefuser server;
    tcpip::FtpRemoteFiles files;
    pointAt(files, server.port(), server.caFile());
    files.Async = GetParam().async;
    try {
        if (GetParam().store) {
            base::MemoryStream source;
            source.write(Pattern(1 << 20));
            source.setPosition(0);
            files.Store(source, "up.bin");
        } else {
            files.List(".");
        }
        ADD_FAILURE() << "transferred";
    } catch (const remote::ERemoteError& e) {
        EXPECT_NE(e.message().find("refused the secure data connection (SSL connection failed: session reuse required)"),
                  std::string::npos)
            << e.message();
    }
    EXPECT_NO_THROW(files.ChangeFolder("/")); // the session goes on
}

INSTANTIATE_TEST_SUITE_P(Transfers, FtpTlsDataRefused,
                         ::testing::Values(RefusalCase{ "ListSync", false, false }, RefusalCase{ "ListAsync", true, false },
                                           RefusalCase{ "StoreSync", false, true }, RefusalCase{ "StoreAsync", true, true }),
                         [](const auto& info) { return std::string(info.param.label); });

} // namespace
