// Log-in through a real sshd: host keys against known_hosts, passwords and keys.
#include "SftpTestSupport.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using sftptest::Client;

std::string knownHosts(const Client& client)
{
    QFile file(client.session.sshFolder + "/known_hosts");
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

TEST(SftpLoginTest, WrongPasswordIsRefusedClearly)
{
    auto server = testservers::StartSshServer();
    Client client(*server);
    client.session.Site.password = "not the password";
    try {
        client.session.Connect();
        FAIL() << "logged in";
    } catch (const remote::EAuthenticationFailed& e) {
        EXPECT_NE(std::string(e.what()).find("Access denied for " + testservers::SshServer::passwordUser()),
                  std::string::npos)
            << e.what();
    }
    EXPECT_EQ(client.session.State(), remote::ConnectionState::LoggedOut);
    client.session.Site.password = testservers::SshServer::password();
    client.session.Connect();
    EXPECT_EQ(client.session.State(), remote::ConnectionState::Idle);
}

TEST(SftpLoginTest, KeyInTheSshFolderLogsInWithoutPassword)
{
    auto server = testservers::StartSshServer();
    Client client(*server);
    client.session.sshFolder = QString::fromStdString(server->keyFolder());
    client.session.Site.user = testservers::SshServer::keyUser();
    client.session.Site.password.clear();
    client.session.Connect();
    EXPECT_EQ(client.session.CurrentFolder(), server->folderOf(testservers::SshServer::keyUser()));
}

// An ssh-agent of the test's own, holding the key user's key; SSH_AUTH_SOCK points at it while
// the object lives.
class Agent {
public:
    explicit Agent(const std::string& key)
    {
        socket_ = folder_.file("agent.sock");
        agent_.start(QString::fromStdString(testservers::RequireProgram("ssh-agent")),
                     { "-D", "-a", QString::fromStdString(socket_) });
        if (!agent_.waitForStarted(5000))
            throw std::runtime_error("cannot start ssh-agent");
        // The socket file appears before the agent listens on it: wait until it answers.
        for (int i = 0; i < 250 && !accepts(socket_); ++i)
            agent_.waitForFinished(20); // sleeps; ends early only when the agent died
        qputenv("SSH_AUTH_SOCK", QByteArray::fromStdString(socket_));
        QProcess add;
        add.start("ssh-add", { QString::fromStdString(key) });
        if (!add.waitForFinished(10000) || add.exitCode() != 0)
            throw std::runtime_error("ssh-add failed: " + add.readAllStandardError().toStdString());
    }
    ~Agent()
    {
        qunsetenv("SSH_AUTH_SOCK");
        agent_.terminate();
        agent_.waitForFinished(2000);
    }

private:
    static bool accepts(const std::string& path)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const bool connected = fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        if (fd >= 0)
            ::close(fd);
        return connected;
    }

    testservers::TempFolder folder_;
    std::string socket_;
    QProcess agent_;
};

TEST(SftpLoginTest, KeyInTheAgentLogsInWithoutPasswordOrKeyFiles)
{
    auto server = testservers::StartSshServer();
    Agent agent(server->keyFolder() + "/id_ed25519");
    Client client(*server); // its own empty ssh folder: the agent is the only way in
    client.session.Site.user = testservers::SshServer::keyUser();
    client.session.Site.password.clear();
    client.session.Connect();
    EXPECT_EQ(client.session.State(), remote::ConnectionState::Idle);
}

TEST(SftpLoginTest, NoKeyAndNoPasswordIsRefused)
{
    auto server = testservers::StartSshServer();
    Client client(*server);
    client.session.Site.user = testservers::SshServer::keyUser();
    client.session.Site.password.clear();
    EXPECT_THROW(client.session.Connect(), remote::EAuthenticationFailed);
}

TEST(SftpLoginTest, UnknownHostKeyIsAskedAboutWithItsFingerprintAndStoredOnYes)
{
    auto server = testservers::StartSshServer();
    Client client(*server);
    std::string askedHost;
    std::string askedFingerprint;
    client.session.OnHostKeyQuestion = [&](const std::string& host, const std::string& fingerprint) {
        askedHost = host;
        askedFingerprint = fingerprint;
        return true;
    };
    client.session.Connect();
    EXPECT_EQ(askedHost, "[127.0.0.1]:" + std::to_string(server->port()));
    EXPECT_EQ(askedFingerprint, server->hostKeyFingerprint());
    EXPECT_NE(knownHosts(client).find("[127.0.0.1]:" + std::to_string(server->port())), std::string::npos);

    client.session.Disconnect();
    askedFingerprint.clear();
    client.session.Connect();
    EXPECT_EQ(askedFingerprint, "") << "a stored key was asked about again";
}

TEST(SftpLoginTest, UnknownHostKeyDeclinedSendsNothingAndStoresNothing)
{
    auto server = testservers::StartSshServer();
    Client client(*server);
    client.session.OnHostKeyQuestion = [](const std::string&, const std::string&) { return false; };
    EXPECT_THROW(client.session.Connect(), sftp::EHostKeyRejected);
    EXPECT_EQ(knownHosts(client), "");
    EXPECT_EQ(server->output().find("Accepted"), std::string::npos) << server->output();
    EXPECT_EQ(server->output().find("Failed password"), std::string::npos) << server->output();
}

TEST(SftpLoginTest, UnknownHostKeyWithoutAQuestionHandlerIsRefused)
{
    auto server = testservers::StartSshServer();
    Client client(*server);
    client.session.OnHostKeyQuestion = nullptr;
    EXPECT_THROW(client.session.Connect(), sftp::EHostKeyRejected);
}

TEST(SftpLoginTest, ChangedHostKeyIsRefusedWithAWarningAndWithoutAQuestion)
{
    auto first = testservers::StartSshServer();
    const auto port = first->port();
    Client client(*first);
    client.session.Connect();
    client.session.Disconnect();
    first.reset();

    auto second = testservers::StartSshServer(port);
    client.questions = 0;
    try {
        client.session.Connect();
        FAIL() << "logged in to a server with a changed host key";
    } catch (const sftp::EHostKeyChanged& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("WARNING: the host key of [127.0.0.1]:" + std::to_string(port) + " has changed"),
                  std::string::npos)
            << message;
        EXPECT_NE(message.find(second->hostKeyFingerprint()), std::string::npos) << message;
    }
    EXPECT_EQ(client.questions, 0);
    EXPECT_EQ(second->output().find("Accepted"), std::string::npos) << second->output();
}

TEST(SftpLoginTest, LostConnectionLogsInAgainAndReturnsToTheFolder)
{
    auto server = testservers::StartSshServer();
    server->makeFolder("inner");
    server->write("inner/f.txt", "inner file");
    Client client(*server);
    client.session.ChangeFolder("inner");
    server->endSessions();
    base::MemoryStream target;
    EXPECT_THROW(client.session.Retrieve("f.txt", target), remote::ERemoteError);
    EXPECT_EQ(client.session.State(), remote::ConnectionState::LoggedOut);
    target.clear();
    client.session.Retrieve("f.txt", target);
    EXPECT_EQ(target.data(), "inner file");
    EXPECT_EQ(client.session.CurrentFolder(), server->root() + "/inner");
}

} // namespace
