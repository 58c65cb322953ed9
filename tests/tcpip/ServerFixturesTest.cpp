// The fixtures themselves: a scripted case records exactly what a raw client sent, and both
// real FTP servers come up, greet and accept the test account.
#include "FtpServers.h"
#include "ScriptedServer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

using namespace testservers;
using namespace testservers::script;
using namespace std::chrono_literals;

namespace {

class RawClient {
public:
    explicit RawClient(std::uint16_t port)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        timeval tv{ 5, 0 };
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    }
    ~RawClient() { ::close(fd_); }
    bool connected() const { return connected_; }
    void send(const std::string& s) { ::send(fd_, s.data(), s.size(), MSG_NOSIGNAL); }
    std::string readLine()
    {
        std::string line;
        char c;
        while (::recv(fd_, &c, 1, 0) == 1) {
            line += c;
            if (c == '\n')
                break;
        }
        return line;
    }
    std::string readAll()
    {
        std::string all;
        char b[4096];
        ssize_t n;
        while ((n = ::recv(fd_, b, sizeof b, 0)) > 0)
            all.append(b, static_cast<std::size_t>(n));
        return all;
    }
    void close() { ::shutdown(fd_, SHUT_WR); }

private:
    int fd_ = -1;
    bool connected_ = false;
};

} // namespace

TEST(ScriptedServerFixture, RecordsTheClientBytesExactlyAndSubstitutesPlaceholders)
{
    ScriptedServer server({ accept(), send("220 on {port}\r\n"), expectLine(), listenData(),
                            send("227 (127,0,0,2,{pasvport}) {pasv}\r\n"), expectUntil("END"),
                            expectBytes(3), sendSlowly("abcdef\r\n", 2, 5ms), expectClose() });
    RawClient client(server.port());
    ASSERT_TRUE(client.connected());
    EXPECT_EQ(client.readLine(), "220 on " + std::to_string(server.port()) + "\r\n");
    client.send("USER x\r\n");
    const std::string pasv = client.readLine();
    EXPECT_EQ(pasv.rfind("227 (127,0,0,2,", 0), 0u) << pasv;
    EXPECT_NE(pasv.find(") 127,0,0,1,"), std::string::npos) << pasv;
    client.send("a\nbEND123tail");
    EXPECT_EQ(client.readLine(), "abcdef\r\n");
    client.close();
    EXPECT_TRUE(server.finish()) << server.failure();
    EXPECT_EQ(server.transcript(), "USER x\r\na\nbEND123tail");
}

TEST(ScriptedServerFixture, ReportsAStepThatDidNotHappen)
{
    ScriptedServer server({ accept(), expectLine() }, 300ms);
    RawClient client(server.port());
    client.send("no line end");
    EXPECT_FALSE(server.finish());
    EXPECT_NE(server.failure().find("step 2"), std::string::npos) << server.failure();
}

TEST(ScriptedServerFixture, DataConnectionBothWays)
{
    ScriptedServer server({ accept(), listenData(), send("{pasv}\r\n"), acceptData(), dataSend("listing"),
                            dataClose(), expectClose() });
    RawClient client(server.port());
    const std::string pasv = client.readLine();
    unsigned p1 = 0, p2 = 0;
    ASSERT_EQ(std::sscanf(pasv.c_str(), "127,0,0,1,%u,%u", &p1, &p2), 2);
    RawClient data(static_cast<std::uint16_t>(p1 * 256 + p2));
    EXPECT_EQ(data.readAll(), "listing");
    client.close();
    EXPECT_TRUE(server.finish()) << server.failure();
}

class RealFtpServerFixture : public ::testing::TestWithParam<FtpServerKind> {};

TEST_P(RealFtpServerFixture, GreetsAndAcceptsTheTestAccount)
{
    auto server = StartFtpServer(GetParam());
    RawClient client(server->port());
    ASSERT_TRUE(client.connected());
    std::string line;
    do
        line = client.readLine();
    while (line.size() >= 4 && line[3] == '-');
    EXPECT_EQ(line.substr(0, 3), "220") << line;
    client.send("USER " + server->user() + "\r\n");
    EXPECT_EQ(client.readLine().substr(0, 3), "331");
    client.send("PASS " + server->password() + "\r\n");
    EXPECT_EQ(client.readLine().substr(0, 3), "230") << server->output();
}

INSTANTIATE_TEST_SUITE_P(Servers, RealFtpServerFixture,
                         ::testing::Values(FtpServerKind::Vsftpd, FtpServerKind::Pyftpdlib),
                         [](const auto& info) { return std::string(FtpServerName(info.param)); });
