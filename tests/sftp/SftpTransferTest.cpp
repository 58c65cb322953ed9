// Files both ways through a real sshd, byte for byte.
#include "SftpTestSupport.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

using sftptest::Client;
using sftptest::Pattern;

struct SizeCase {
    const char* label;
    std::size_t size;
};

class SftpTransferTest : public ::testing::TestWithParam<SizeCase> {
protected:
    static void SetUpTestSuite() { server_ = testservers::StartSshServer(); }
    static void TearDownTestSuite() { server_.reset(); }
    static std::unique_ptr<testservers::SshServer> server_;
};
std::unique_ptr<testservers::SshServer> SftpTransferTest::server_;

TEST_P(SftpTransferTest, RetrieveGivesTheFileByteForByte)
{
    const std::string bytes = Pattern(GetParam().size);
    server_->write("down.bin", bytes);
    Client client(*server_);
    base::MemoryStream target;
    std::int64_t lastDone = -1;
    std::int64_t lastTotal = 0;
    client.session.OnProgress = [&](std::int64_t done, std::int64_t total) {
        lastDone = done;
        lastTotal = total;
    };
    client.session.Retrieve("down.bin", target);
    EXPECT_TRUE(target.data() == bytes) << "got " << target.size() << " of " << bytes.size() << " bytes";
    EXPECT_EQ(lastDone, static_cast<std::int64_t>(bytes.size()));
    EXPECT_EQ(lastTotal, static_cast<std::int64_t>(bytes.size()));
}

TEST_P(SftpTransferTest, StoreWritesTheFileByteForByte)
{
    const std::string bytes = Pattern(GetParam().size);
    server_->write("up.bin", std::string(3 * 1024 * 1024, 'x')); // longer: must be cut, not overlaid
    Client client(*server_);
    base::MemoryStream source;
    source.write(bytes);
    source.setPosition(0);
    client.session.Store(source, "up.bin");
    EXPECT_TRUE(server_->read("up.bin") == bytes) << "stored " << server_->read("up.bin").size() << " bytes";
}

TEST_P(SftpTransferTest, AsynchronousRetrieveGivesTheSameBytes)
{
    const std::string bytes = Pattern(GetParam().size);
    server_->write("async.bin", bytes);
    Client client(*server_, true);
    base::MemoryStream target;
    client.session.Retrieve("async.bin", target);
    EXPECT_TRUE(target.data() == bytes);
}

INSTANTIATE_TEST_SUITE_P(Sizes, SftpTransferTest,
                         ::testing::Values(SizeCase{ "Empty", 0 }, SizeCase{ "OneByte", 1 },
                                           SizeCase{ "OneReadChunk", sftp::SftpSession::kReadChunk },
                                           SizeCase{ "ChunkAndOne", sftp::SftpSession::kReadChunk + 1 },
                                           SizeCase{ "MoreThanAllRequestsInFlight",
                                                     sftp::SftpSession::kReadChunk * sftp::SftpSession::kReadsInFlight + 4097 },
                                           SizeCase{ "FiveMegabytesOdd", 5 * 1024 * 1024 + 13 }),
                         [](const auto& info) { return std::string(info.param.label); });

class SftpTransferFaultTest : public SftpTransferTest {};

TEST_F(SftpTransferFaultTest, MissingFileFailsAndTheSessionGoesOn)
{
    server_->write("there.txt", "here");
    Client client(*server_);
    base::MemoryStream target;
    try {
        client.session.Retrieve("not-there.txt", target);
        FAIL() << "no error";
    } catch (const remote::ERemoteError& e) {
        EXPECT_NE(std::string(e.what()).find("No such file"), std::string::npos) << e.what();
    }
    EXPECT_EQ(target.size(), 0);
    client.session.Retrieve("there.txt", target);
    EXPECT_EQ(target.data(), "here");
}

TEST_F(SftpTransferFaultTest, CancelFromTheProgressHandlerEndsTheTransferAndTheSessionGoesOn)
{
    server_->write("big.bin", Pattern(8 * 1024 * 1024));
    Client client(*server_, true);
    client.session.OnProgress = [&](std::int64_t done, std::int64_t) {
        if (done > 0)
            client.session.Cancel();
    };
    base::MemoryStream target;
    EXPECT_THROW(client.session.Retrieve("big.bin", target), remote::ERemoteCancelled);
    EXPECT_LT(target.size(), 8 * 1024 * 1024);
    client.session.OnProgress = nullptr;
    server_->write("small.txt", "still here");
    base::MemoryStream again;
    client.session.Retrieve("small.txt", again);
    EXPECT_EQ(again.data(), "still here");
}

TEST_F(SftpTransferFaultTest, SynchronousOperationDoesNotTurnTheEventLoop)
{
    server_->write("sync.bin", Pattern(1024 * 1024));
    Client client(*server_);
    client.session.Connect();
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(0);
    base::MemoryStream target;
    client.session.Retrieve("sync.bin", target);
    client.session.List(".");
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(target.size(), 1024 * 1024);
}

TEST_F(SftpTransferFaultTest, DisconnectInsideAnAsynchronousWaitEndsTheTransferAndLogsOut)
{
    server_->write("big3.bin", Pattern(8 * 1024 * 1024));
    server_->write("next.txt", "next");
    Client client(*server_, true);
    client.session.OnProgress = [&](std::int64_t done, std::int64_t) {
        if (done > 0)
            client.session.Disconnect();
    };
    base::MemoryStream target;
    EXPECT_THROW(client.session.Retrieve("big3.bin", target), remote::ERemoteError);
    EXPECT_EQ(client.session.State(), remote::ConnectionState::LoggedOut);
    client.session.OnProgress = nullptr;
    base::MemoryStream again;
    client.session.Retrieve("next.txt", again);
    EXPECT_EQ(again.data(), "next");
}

TEST_F(SftpTransferFaultTest, ProgressHandlerThatThrowsEndsTheTransferWithItsException)
{
    server_->write("big2.bin", Pattern(8 * 1024 * 1024));
    server_->write("after.txt", "after");
    for (const bool async : { false, true }) {
        Client client(*server_, async);
        client.session.OnProgress = [](std::int64_t done, std::int64_t) {
            if (done > 0)
                throw std::runtime_error("disk full");
        };
        base::MemoryStream target;
        try {
            client.session.Retrieve("big2.bin", target);
            FAIL() << "no error";
        } catch (const std::runtime_error& e) {
            EXPECT_STREQ(e.what(), "disk full");
        }
        client.session.OnProgress = nullptr;
        base::MemoryStream again;
        client.session.Retrieve("after.txt", again);
        EXPECT_EQ(again.data(), "after") << (async ? "async" : "sync");
    }
}

} // namespace
