// Write-backs against real servers (vsftpd, pyftpdlib, sshd), each checked on the server's disk:
// the conflict check with each answer, whole-file stores that keep the mode and leave no
// temporary file, and a store cut off half-way.
#include "FtpServers.h"
#include "SshServer.h"
#include "../sftp/SftpTestSupport.h"
#include "remote/WriteBack.h"
#include "tcpip/FtpRemoteFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <filesystem>
#include <functional>
#include <memory>

using namespace testservers;
using namespace std::chrono_literals;

namespace {

const std::string kPage = "page.html";
const std::string kTheirs = "<p>their change, longer than the text that was opened</p>";
const std::string kMine = "<p>my text</p>";

// One server and a session on it, logged in as the user who owns the server's folder.
class Site {
public:
    virtual ~Site() = default;
    virtual remote::RemoteFiles& files() = 0;
    virtual std::string root() const = 0;

    std::string path(const std::string& name) const { return root() + "/" + name; }
    std::string read(const std::string& name) const { return base::ReadWholeFile(path(name)); }
    void write(const std::string& name, const std::string& bytes, std::time_t modified) const
    {
        base::WriteWholeFile(path(name), bytes);
        utimbuf times{ modified, modified };
        ASSERT_EQ(::utime(path(name).c_str(), &times), 0);
    }
    int mode(const std::string& name) const
    {
        struct stat status{};
        return ::stat(path(name).c_str(), &status) == 0 ? static_cast<int>(status.st_mode & 07777) : -1;
    }
    // Names in the folder that are not name: temporary files left behind.
    std::vector<std::string> othersThan(const std::string& name) const
    {
        std::vector<std::string> others;
        for (const auto& entry : std::filesystem::directory_iterator(root()))
            if (entry.path().filename() != name)
                others.push_back(entry.path().filename());
        return others;
    }
};

class FtpSite : public Site {
public:
    explicit FtpSite(FtpServerKind kind) : server_(StartFtpServer(kind))
    {
        files_.Site = { "127.0.0.1", server_->port(), server_->user(), server_->password() };
        files_.setSilenceTimeout(20s);
    }
    remote::RemoteFiles& files() override { return files_; }
    std::string root() const override { return server_->root(); }

private:
    std::unique_ptr<FtpServer> server_;
    tcpip::FtpRemoteFiles files_;
};

class SshSite : public Site {
public:
    SshSite() : server_(StartSshServer()), client_(*server_) {}
    remote::RemoteFiles& files() override { return client_.session; }
    std::string root() const override { return server_->root(); }
    const SshServer& server() const { return *server_; }

private:
    std::unique_ptr<SshServer> server_;
    sftptest::Client client_;
};

struct Backend {
    const char* label;
    std::function<std::unique_ptr<Site>()> start;
};

void PrintTo(const Backend& backend, std::ostream* out)
{
    *out << backend.label;
}

class WriteBackOnServer : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override
    {
        site_ = GetParam().start();
        site_->write(kPage, "<p>opened</p>", 1600000000);
        ASSERT_EQ(::chmod(site_->path(kPage).c_str(), 0640), 0);
        stamp_ = remote::TakeStamp(site_->files(), kPage);
    }
    remote::WriteBackResult writeBack(const remote::ConflictHandler& ask)
    {
        base::MemoryStream source;
        source.write(kMine);
        source.setPosition(0);
        return remote::WriteBack(site_->files(), source, kPage, stamp_, ask);
    }
    std::unique_ptr<Site> site_;
    remote::ServerStamp stamp_;
};

const remote::ConflictHandler kNeverAsked = [](const std::string&) {
    ADD_FAILURE() << "asked although the server copy had not changed";
    return remote::ConflictAnswer::Cancel;
};

TEST_P(WriteBackOnServer, UnchangedCopyIsReplacedWholeKeepingItsModeAndNothingElse)
{
    const auto result = writeBack(kNeverAsked);
    EXPECT_EQ(result.outcome, remote::WriteBackOutcome::Stored);
    EXPECT_FALSE(result.direct);
    EXPECT_FALSE(result.stampNotReported);
    EXPECT_EQ(result.statusLine, "");
    EXPECT_EQ(site_->read(kPage), kMine);
    EXPECT_EQ(site_->mode(kPage), 0640);
    EXPECT_EQ(site_->othersThan(kPage), std::vector<std::string>{});
    EXPECT_EQ(result.stamp, remote::TakeStamp(site_->files(), kPage)) << "the next write-back's base";
    stamp_ = result.stamp;
    EXPECT_EQ(writeBack(kNeverAsked).outcome, remote::WriteBackOutcome::Stored) << "a second write-back is no conflict";
}

struct AnswerCase {
    remote::ConflictAnswer answer;
    remote::WriteBackOutcome outcome;
    bool mineOnDisk;
};

TEST_P(WriteBackOnServer, ChangedCopyIsAskedAboutAndEachAnswerIsFollowed)
{
    for (const AnswerCase& c : { AnswerCase{ remote::ConflictAnswer::Overwrite, remote::WriteBackOutcome::Stored, true },
                                 AnswerCase{ remote::ConflictAnswer::KeepMineOpenTheirs,
                                             remote::WriteBackOutcome::KeepMineOpenTheirs, false },
                                 AnswerCase{ remote::ConflictAnswer::Cancel, remote::WriteBackOutcome::Cancelled, false } }) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        site_->write(kPage, kTheirs, 1700000000);
        std::vector<std::string> asked;
        const auto result = writeBack([&](const std::string& name) {
            asked.push_back(name);
            return c.answer;
        });
        EXPECT_EQ(asked, std::vector<std::string>{ kPage });
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(site_->read(kPage), c.mineOnDisk ? kMine : kTheirs);
        EXPECT_EQ(site_->othersThan(kPage), std::vector<std::string>{});
    }
}

TEST_P(WriteBackOnServer, CopyDeletedSinceOpeningCountsAsChanged)
{
    std::filesystem::remove(site_->path(kPage));
    int questions = 0;
    const auto result = writeBack([&](const std::string&) {
        ++questions;
        return remote::ConflictAnswer::Overwrite;
    });
    EXPECT_EQ(questions, 1);
    EXPECT_EQ(result.outcome, remote::WriteBackOutcome::Stored);
    EXPECT_EQ(site_->read(kPage), kMine);
}

INSTANTIATE_TEST_SUITE_P(
    Servers, WriteBackOnServer,
    ::testing::Values(Backend{ "vsftpd", [] { return std::make_unique<FtpSite>(FtpServerKind::Vsftpd); } },
                      Backend{ "pyftpdlib", [] { return std::make_unique<FtpSite>(FtpServerKind::Pyftpdlib); } },
                      Backend{ "sshd", [] { return std::make_unique<SshSite>(); } }),
    [](const auto& info) { return std::string(info.param.label); });

// sshd's sessions end in the middle of the store, as a broken network would end them.
TEST(WriteBackCutOff, OldFileStaysAndTheTemporaryFileIsRemovedAfterLoggingInAgain)
{
    SshSite site;
    site.write(kPage, "<p>opened</p>", 1600000000);
    const auto stamp = remote::TakeStamp(site.files(), kPage);
    const std::string big = remotecontract::Pattern(8 << 20);
    base::MemoryStream source;
    source.write(big);
    source.setPosition(0);
    bool cut = false;
    site.files().OnProgress = [&](std::int64_t done, std::int64_t total) {
        if (!cut && done > 0 && done < total) {
            cut = true;
            site.server().endSessions();
        }
    };
    try {
        remote::WriteBack(site.files(), source, kPage, stamp, kNeverAsked);
        ADD_FAILURE() << "stored although the connection ended";
    } catch (const remote::ERemoteError& e) {
        EXPECT_NE(e.message().find("was not stored"), std::string::npos) << e.message();
        EXPECT_EQ(e.message().find("could not be removed"), std::string::npos) << e.message();
    }
    EXPECT_TRUE(cut);
    EXPECT_EQ(site.read(kPage), "<p>opened</p>");
    EXPECT_EQ(site.othersThan(kPage), std::vector<std::string>{});
}

} // namespace
