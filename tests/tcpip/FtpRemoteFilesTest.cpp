// Plain FTP through the remote-files interface against real vsftpd and pyftpdlib, synchronous
// and asynchronous, held to the same cases as every other implementation.
#include "FtpServers.h"
#include "../remote/RemoteContractCases.h"
#include "tcpip/FtpRemoteFiles.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <chrono>

using namespace testservers;
using remotecontract::Pattern;

namespace {

using namespace std::chrono_literals;

struct Setup {
    FtpServerKind kind;
    bool async;
};

class FtpRemoteFilesTest : public ::testing::TestWithParam<Setup> {
protected:
    void SetUp() override
    {
        server_ = StartFtpServer(GetParam().kind);
        files_.Site = { "127.0.0.1", server_->port(), server_->user(), server_->password() };
        files_.Async = GetParam().async;
        files_.setSilenceTimeout(20s);
        files_.OnTrace = [this](const std::string& text, remote::TraceLevel level) {
            if (level == remote::TraceLevel::Command)
                commands_.push_back(text);
        };
    }
    std::vector<std::string> names()
    {
        std::vector<std::string> out;
        for (const auto& entry : files_.List("."))
            out.push_back(entry.name);
        std::sort(out.begin(), out.end());
        return out;
    }
    std::unique_ptr<FtpServer> server_;
    tcpip::FtpRemoteFiles files_;
    std::vector<std::string> commands_;
};

TEST_P(FtpRemoteFilesTest, RetrieveGivesTheFileByteForByte)
{
    for (const auto& size : remotecontract::kTransferSizes) {
        SCOPED_TRACE(size.label);
        const std::string bytes = Pattern(size.size);
        server_->write("down.bin", bytes);
        base::MemoryStream target;
        std::int64_t lastDone = -1;
        files_.OnProgress = [&](std::int64_t done, std::int64_t) { lastDone = done; };
        files_.Retrieve("down.bin", target);
        EXPECT_TRUE(target.data() == bytes) << "got " << target.size() << " of " << bytes.size() << " bytes";
        EXPECT_EQ(lastDone, static_cast<std::int64_t>(bytes.size()));
    }
}

TEST_P(FtpRemoteFilesTest, StoreWritesTheFileByteForByte)
{
    for (const auto& size : remotecontract::kTransferSizes) {
        SCOPED_TRACE(size.label);
        const std::string bytes = Pattern(size.size);
        server_->write("up.bin", std::string(3 * 1024 * 1024, 'x')); // longer: must be cut, not overlaid
        base::MemoryStream source;
        source.write("skipped");
        source.write(bytes);
        source.setPosition(7); // from the stream's position on
        files_.Store(source, "up.bin");
        EXPECT_TRUE(server_->read("up.bin") == bytes) << "stored " << server_->read("up.bin").size() << " bytes";
    }
}

TEST_P(FtpRemoteFilesTest, ListingKeepsBlanksInNamesAndGivesKindsAndSizes)
{
    server_->write("page one.html", "12345");
    server_->write(" lead and trail ", "x");
    server_->makeFolder("sub folder");
    const std::string file = server_->root() + "/page one.html";
    utimbuf times{ 1600000000, 1600000000 }; // 2020-09-13 12:26:40 UTC: listed by day only
    ASSERT_EQ(::utime(file.c_str(), &times), 0);
    const auto entries = files_.List("");
    ASSERT_EQ(names(), (std::vector<std::string>{ " lead and trail ", "page one.html", "sub folder" }));
    for (const auto& e : entries) {
        if (e.name == "page one.html") {
            EXPECT_EQ(e, (remote::RemoteEntry{ "page one.html", 5, remote::EntryKind::File, 1599955200 }));
        } else if (e.name == "sub folder") {
            EXPECT_EQ(e.kind, remote::EntryKind::Folder);
        }
    }
}

// A server may send control characters in names as they are (pyftpdlib) or as "?" (vsftpd):
// either way no name with one reaches the caller, and each one left out is traced.
TEST_P(FtpRemoteFilesTest, ListingLeavesOutNamesWithControlCharacters)
{
    const std::vector<std::string> hostile = { "esc\x1B[2J", "tab\there", "del\x7F", "bell\x07" };
    for (const auto& name : hostile)
        server_->write(name, "x");
    server_->write("fine name.txt", "x");
    std::size_t leftOut = 0;
    files_.OnTrace = [&](const std::string& text, remote::TraceLevel) {
        leftOut += text.rfind("Left out an unusable name", 0) == 0 ? 1 : 0;
    };
    const auto entries = files_.List(".");
    for (const auto& e : entries)
        EXPECT_EQ(remote::EntryNameProblem(e.name), "") << remote::Printable(e.name);
    EXPECT_EQ(entries.size() + leftOut, hostile.size() + 1);
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [](const auto& e) { return e.name == "fine name.txt"; }));
}

// Asynchronous waits turn the event loop, and what runs there cannot start a second operation;
// synchronous waits leave the event loop alone.
TEST_P(FtpRemoteFilesTest, OnlyAsynchronousWaitsTurnTheEventLoop)
{
    server_->write("big.bin", Pattern(std::size_t{ 4 } << 20));
    files_.Connect();
    bool retrieving = false;
    bool ranInside = false;
    bool refused = false;
    QTimer::singleShot(0, [&] {
        if (!retrieving)
            return;
        ranInside = true;
        try {
            files_.Delete("big.bin");
        } catch (const remote::ERemoteBusy&) {
            refused = true;
        }
    });
    base::MemoryStream target;
    retrieving = true;
    files_.Retrieve("big.bin", target);
    retrieving = false;
    QCoreApplication::processEvents();
    EXPECT_EQ(ranInside, GetParam().async);
    EXPECT_EQ(refused, GetParam().async);
    EXPECT_TRUE(server_->exists("big.bin"));
    EXPECT_EQ(target.size(), std::int64_t{ 4 } << 20);
}

TEST_P(FtpRemoteFilesTest, RenameReplacesAnExistingFile)
{
    server_->write("new.txt", "new");
    server_->write("old.txt", "old and longer");
    files_.Rename("new.txt", "old.txt");
    EXPECT_FALSE(server_->exists("new.txt"));
    EXPECT_EQ(server_->read("old.txt"), "new");
}

TEST_P(FtpRemoteFilesTest, FoldersAreMadeEnteredLeftAndRemoved)
{
    files_.MakeFolder("made here");
    EXPECT_TRUE(server_->exists("made here"));
    files_.ChangeFolder("made here");
    EXPECT_EQ(files_.CurrentFolder(), "/made here");
    base::MemoryStream source;
    source.write("inside");
    source.setPosition(0);
    files_.Store(source, "in.txt");
    EXPECT_EQ(server_->read("made here/in.txt"), "inside");
    files_.Delete("in.txt");
    EXPECT_FALSE(server_->exists("made here/in.txt"));
    files_.ChangeFolder("..");
    EXPECT_EQ(files_.CurrentFolder(), "/");
    files_.RemoveFolder("made here");
    EXPECT_FALSE(server_->exists("made here"));
}

TEST_P(FtpRemoteFilesTest, StatGivesSizeAndExactTime)
{
    server_->write("stat me.txt", "1234567");
    const std::string file = server_->root() + "/stat me.txt";
    utimbuf times{ 1600000000, 1600000000 };
    ASSERT_EQ(::utime(file.c_str(), &times), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    EXPECT_EQ(files_.Stat("stat me.txt"), (remote::RemoteEntry{ "stat me.txt", 7, remote::EntryKind::File, 1600000000, 0640 }));
}

TEST_P(FtpRemoteFilesTest, MissingFileFailsAndTheSessionGoesOn)
{
    server_->write("there.txt", "here");
    base::MemoryStream target;
    EXPECT_THROW(files_.Retrieve("missing.txt", target), remote::ERemoteError);
    EXPECT_THROW(files_.Stat("missing.txt"), remote::ERemoteError);
    EXPECT_EQ(files_.State(), remote::ConnectionState::Idle);
    files_.Retrieve("there.txt", target);
    EXPECT_EQ(target.data(), "here");
}

TEST_P(FtpRemoteFilesTest, WrongPasswordIsRefusedAsAuthentication)
{
    files_.Site.password = "not the password";
    EXPECT_THROW(files_.Connect(), remote::EAuthenticationFailed);
    EXPECT_EQ(files_.State(), remote::ConnectionState::LoggedOut);
}

TEST_P(FtpRemoteFilesTest, CancelFromProgressEndsTheDownloadAndTheSessionGoesOn)
{
    server_->write("big.bin", Pattern(std::size_t{ 8 } << 20));
    server_->write("small.txt", "small");
    base::MemoryStream target;
    files_.OnProgress = [&](std::int64_t, std::int64_t) { files_.Cancel(); };
    EXPECT_THROW(files_.Retrieve("big.bin", target), remote::ERemoteCancelled);
    files_.OnProgress = nullptr;
    base::MemoryStream small;
    files_.Retrieve("small.txt", small);
    EXPECT_EQ(small.data(), "small");
}

// Every operation that takes a name, each with every hostile name: refused, nothing sent, not
// even a log-in.
TEST_P(FtpRemoteFilesTest, HostileNamesAreRefusedBeforeAnythingIsSent)
{
    remotecontract::ExpectEveryHostileNameRefused(files_);
    EXPECT_TRUE(commands_.empty()) << commands_.front();
    EXPECT_EQ(files_.State(), remote::ConnectionState::LoggedOut);
}

INSTANTIATE_TEST_SUITE_P(Servers, FtpRemoteFilesTest,
                         ::testing::Values(Setup{ FtpServerKind::Vsftpd, false }, Setup{ FtpServerKind::Vsftpd, true },
                                           Setup{ FtpServerKind::Pyftpdlib, false },
                                           Setup{ FtpServerKind::Pyftpdlib, true }),
                         [](const auto& info) {
                             return std::string(FtpServerName(info.param.kind)) + (info.param.async ? "_async" : "_sync");
                         });

} // namespace
