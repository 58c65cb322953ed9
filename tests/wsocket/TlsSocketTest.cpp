// TWSocket over TLS against nginx with a CA of its own: the notification rules a client
// relies on hold for decrypted bytes, and TLS can start on a connection that is already up
// (after a proxy's CONNECT, or FTP's "AUTH TLS").
#include "HttpServers.h"
#include "LoopbackPeer.h"
#include "SocketLog.h"

#include <gtest/gtest.h>

#include <QTemporaryFile>

using nettest::runFor;
using nettest::runUntil;

namespace {

const std::string kBig(1u << 20, 'x');

class TlsSocket : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        web = new testservers::NginxTls();
        web->write("big.bin", kBig);
        web->write("page.html", "secured\n");
    }
    static void TearDownTestSuite() { delete web; }

    void Connect(std::uint16_t port)
    {
        socket.SetAddr("127.0.0.1");
        socket.SetPort(std::to_string(port));
        socket.Connect();
    }
    platform::net::TlsOptions Options() const { return {"127.0.0.1", web->caFile()}; }

    static testservers::NginxTls* web;
    TWSocket socket;
    SocketLog log{socket};
};

testservers::NginxTls* TlsSocket::web = nullptr;

TEST_F(TlsSocket, OneNotificationUntilReadThenEverythingAndOneProperClose)
{
    Connect(web->port());
    socket.StartTls(Options());
    ASSERT_TRUE(runUntil([&] { return log.has("SessionConnected 0"); })) << log.joined();
    EXPECT_EQ(log.count("ChangeState 3>4"), 1);
    socket.SendStr("GET /big.bin HTTP/1.0\r\n\r\n");
    ASSERT_TRUE(runUntil([&] { return log.count("DataAvailable 0") == 1; })) << log.joined();
    runFor(300);
    EXPECT_EQ(log.count("DataAvailable 0"), 1) << "nothing read, nothing more announced";

    std::string received(1000, '\0');
    ASSERT_EQ(socket.Receive(received.data(), 1000), 1000);
    log.onData = ReceiveInto(received);
    ASSERT_TRUE(runUntil([&] { return log.has("SessionClosed 0"); })) << log.joined();
    EXPECT_EQ(log.count("SessionClosed 0"), 1) << "the server's close_notify, once";
    EXPECT_TRUE(received.starts_with("HTTP/1.1 200 OK\r\n"));
    EXPECT_TRUE(received.ends_with("\r\n\r\n" + kBig)) << received.size();
}

TEST_F(TlsSocket, StartsOnAConnectedSocketAndReportsTheHandshakeAsASecondConnection)
{
    Connect(web->port());
    ASSERT_TRUE(runUntil([&] { return log.has("SessionConnected 0"); })) << log.joined();
    socket.StartTls(Options());
    ASSERT_TRUE(runUntil([&] { return log.count("SessionConnected 0") == 2; })) << log.joined();
    EXPECT_EQ(log.count("ChangeState 3>4"), 1) << "no state change for the handshake";
    std::string received;
    log.onData = ReceiveInto(received);
    // Sent from a file: through memory, since TLS encrypts here.
    QTemporaryFile request;
    ASSERT_TRUE(request.open());
    request.write("GET /page.html HTTP/1.0\r\n\r\n");
    request.flush();
    ASSERT_EQ(platform::net::sendFile(socket.Handle(), request.handle(), 0, 100), 27);
    ASSERT_TRUE(runUntil([&] { return log.has("SessionClosed 0"); })) << log.joined();
    EXPECT_TRUE(received.ends_with("\r\n\r\nsecured\n")) << received;
}

TEST_F(TlsSocket, AFailedHandshakeIsAFailedConnectionWithItsReason)
{
    std::string reason;
    Connect(web->selfSignedPort());
    socket.StartTls(Options());
    const TSessionConnected logged = socket.OnSessionConnected;
    socket.OnSessionConnected = [&](TCustomWSocket* s, std::uint16_t error) {
        reason = s->TlsFailure();
        logged(s, error);
    };
    ASSERT_TRUE(runUntil([&] { return log.has("SessionClosed 0"); })) << log.joined();
    EXPECT_TRUE(log.has("SessionConnected 10053")) << log.joined();
    EXPECT_EQ(reason, "certificate verify failed: self-signed certificate");
    EXPECT_EQ(socket.State(), wsClosed);
    EXPECT_FALSE(log.has("DataAvailable 0"));
}

} // namespace
