// Write-backs from the window when someone changed the file on the server after it was opened,
// answered each way, and a write-back of an unchanged server copy: against vsftpd, pyftpdlib and
// sshd, checked on the server's disk and in the local folder.
#include "FtpServers.h"
#include "ServerProcess.h"
#include "SshServer.h"
#include "WindowFixture.h"

#include "base/Streams.h"
#include "remote/ServerStamp.h"
#include "richprint/TRECode.h"

#include <sys/stat.h>
#include <utime.h>

#include <filesystem>

using namespace testservers;

namespace {

const std::string kOpened = "<p>opened</p>\n";
const std::string kTheirs = "<p>their change, longer than what was opened</p>\n";
const std::string kMine = "<p>mine</p>\n";

enum class Protocol { Vsftpd, Pyftpdlib, Sftp };

struct Case {
    const char* label;
    bool changedOnServer;
    platform::gui::MessageButton answer; // NoButton: no question expected
    std::string serverAfter;
    std::string keptCopy; // "": none
    bool modifiedAfter;
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.label;
}

using Param = std::tuple<Protocol, Case>;

class WindowConflict : public QuellinWindow, public ::testing::WithParamInterface<Param> {
protected:
    void SetUp() override
    {
        // An SFTP session's ~/.ssh is the test's own.
        savedHome_ = qgetenv("HOME");
        qputenv("HOME", QByteArray::fromStdString(home.path()));
        qunsetenv("SSH_AUTH_SOCK");
        if (std::get<Protocol>(GetParam()) == Protocol::Sftp) {
            sshServer = StartSshServer();
        } else {
            ftpServer = StartFtpServer(std::get<Protocol>(GetParam()) == Protocol::Vsftpd ? FtpServerKind::Vsftpd
                                                                                           : FtpServerKind::Pyftpdlib);
            ftpServer->makeFolder("www");
        }
    }
    void TearDown() override
    {
        QuellinWindow::TearDown();
        qputenv("HOME", savedHome_);
    }

    // The site's folder on the server's disk (vsftpd's chroot itself is not writable).
    std::string root() const { return sshServer ? sshServer->root() : ftpServer->root() + "/www"; }
    std::string onServer(const std::string& name) const { return root() + "/" + name; }
    // Written by the server's user, as if it had stored the file.
    void writeOnServer(const std::string& bytes, std::time_t modified) const
    {
        if (sshServer)
            sshServer->write("page.html", bytes);
        else
            ftpServer->write("www/page.html", bytes);
        utimbuf times{ modified, modified };
        ASSERT_EQ(::utime(onServer("page.html").c_str(), &times), 0);
    }
    int modeOnServer() const
    {
        struct stat status{};
        return ::stat(onServer("page.html").c_str(), &status) == 0 ? static_cast<int>(status.st_mode & 07777) : -1;
    }
    std::vector<std::string> namesOn(const std::string& folder) const
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    void connect()
    {
        if (sshServer) {
            writeSettings("[FTP-Accounts]\n1=sftp://" + SshServer::passwordUser() + ":" + SshServer::password()
                          + "@127.0.0.1:" + std::to_string(sshServer->port()) + sshServer->root() + "\n");
            open();
            dialogs.answerMessage(platform::gui::Yes); // the unknown host key
            form->CBSites->setCurrentIndex(0);
            form->CBSitesChange();
            form->remote().setSilenceTimeout(std::chrono::seconds(10));
            command([&] { form->btn_connectClick(); });
        } else {
            open();
            connectTo(ftpServer->port(), QString::fromStdString(ftpServer->user()),
                      QString::fromStdString(ftpServer->password()), QStringLiteral("/www"));
        }
        form->Local->LocalFolder = QString::fromStdString(local.path() + "/");
        form->SetFiles();
    }

    TempFolder home;
    TempFolder local;
    std::unique_ptr<FtpServer> ftpServer;
    std::unique_ptr<SshServer> sshServer;

private:
    QByteArray savedHome_;
};

TEST_P(WindowConflict, WritesBackAsAnsweredAndKeepsTheModeWithNoTemporaryFileLeft)
{
    const Case& c = std::get<Case>(GetParam());
    const std::time_t opened = std::time(nullptr) - 3600;
    writeOnServer(kOpened, opened);
    ASSERT_EQ(::chmod(onServer("page.html").c_str(), 0640), 0);
    local.write("page (mine).html", "an older kept text");
    connect();
    ASSERT_NE(rowOf("page.html"), -1);
    select("page.html");
    command([&] { form->FTPViewDblClick(); });
    ASSERT_EQ(form->Memo->text(), "<p>opened</p>\r\n");
    form->Memo->setLine(0, "<p>mine</p>");
    if (c.changedOnServer)
        writeOnServer(kTheirs, opened + 60);
    const std::size_t askedBefore = dialogs.asked().size();
    if (c.answer != platform::gui::NoButton)
        dialogs.answerMessage(c.answer);
    command([&] { form->SBZurueckClick(); });

    ASSERT_EQ(dialogs.asked().size(), askedBefore + (c.answer != platform::gui::NoButton ? 1 : 0));
    if (c.answer != platform::gui::NoButton) {
        EXPECT_TRUE(dialogs.last().message.text.startsWith(QLatin1String(remote::kServerCopyChanged)))
            << dialogs.last().message.text.toStdString();
    }
    EXPECT_EQ(base::ReadWholeFile(onServer("page.html")), c.serverAfter);
    EXPECT_EQ(modeOnServer(), 0640);
    EXPECT_EQ(namesOn(root()), std::vector<std::string>{ "page.html" }) << "no temporary file left";
    EXPECT_EQ(form->Memo->modified(), c.modifiedAfter);
    std::vector<std::string> localNames = { "page (mine).html" };
    if (!c.keptCopy.empty()) {
        localNames.push_back("page (mine 2).html");
        EXPECT_EQ(base::ReadWholeFile(local.file("page (mine 2).html")), c.keptCopy);
        EXPECT_EQ(form->Memo->text(), "<p>their change, longer than what was opened</p>\r\n");
        EXPECT_NE(form->Status->panelText(0).indexOf(QStringLiteral("page (mine 2).html")), -1)
            << form->Status->panelText(0).toStdString();
        ASSERT_NE(rowOf("page.html"), -1);
        EXPECT_EQ(form->RemoteItems->item(rowOf("page.html")).size, static_cast<std::int64_t>(c.serverAfter.size()))
            << "the remote view shows the server's copy as it now is";
    }
    std::sort(localNames.begin(), localNames.end());
    EXPECT_EQ(namesOn(local.path()), localNames);
}

const Case kCases[] = {
    { "Unchanged", false, platform::gui::NoButton, kMine, "", false },
    { "ChangedOverwritten", true, platform::gui::Yes, kMine, "", false },
    { "ChangedKeptLocally", true, platform::gui::No, kTheirs, kMine, false },
    { "ChangedCancelled", true, platform::gui::Cancel, kTheirs, "", true },
};

std::string NameOf(const ::testing::TestParamInfo<Param>& info)
{
    const char* const protocols[] = { "vsftpd", "pyftpdlib", "sshd" };
    return std::string(protocols[static_cast<int>(std::get<Protocol>(info.param))]) + "_" + std::get<Case>(info.param).label;
}

INSTANTIATE_TEST_SUITE_P(Servers, WindowConflict,
                         ::testing::Combine(::testing::Values(Protocol::Vsftpd, Protocol::Pyftpdlib, Protocol::Sftp),
                                            ::testing::ValuesIn(kCases)),
                         NameOf);

} // namespace
