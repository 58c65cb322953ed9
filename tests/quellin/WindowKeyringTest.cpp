// The main window on an X server with a real keyring (gnome-keyring-daemon on a private bus)
// and a real FTP server (pyftpdlib): a site stored without its password logs in with the
// keyring's, or asks once and remembers.
#include "FtpServers.h"
#include "KeyringSession.h"
#include "WindowFixture.h"

#include "platform/keyring/SecretServiceStore.h"
#include "quellin/SitePassword.h"
#include "quellin/WindowPasswords.h"

#include <algorithm>

using namespace testservers;

namespace {

class WindowKeyring : public QuellinWindow {
protected:
    static void SetUpTestSuite()
    {
        session_ = std::make_unique<KeyringSession>();
        session_->useInThisProcess();
    }
    static void TearDownTestSuite() { session_.reset(); }

    void SetUp() override
    {
        server = StartFtpServer(FtpServerKind::Pyftpdlib);
        server->write("www/index.html", "<html></html>\n");
        writeSettings("[FTP-Accounts]\n1=" + server->user() + ":@127.0.0.1/www\n");
        key = quellin::KeyringKey({ "ftp", server->user(), "127.0.0.1", server->port(), "" });
        open();
    }

    void connectFromSite()
    {
        form->CBSites->setCurrentIndex(0);
        form->CBSitesChange();
        form->EditPort->setValue(server->port());
        form->remote().setSilenceTimeout(std::chrono::seconds(10));
        command([&] { form->btn_connectClick(); });
    }

    std::size_t passwordQuestions() const
    {
        return static_cast<std::size_t>(std::count_if(dialogs.asked().begin(), dialogs.asked().end(), [](const auto& q) {
            return q.kind == platform::gui::ScriptedDialogs::Kind::Password;
        }));
    }

    std::unique_ptr<FtpServer> server;
    std::string key;
    platform::keyring::SecretServiceStore keyring{ QLatin1String(quellin::kKeyringService), std::chrono::seconds(20) };
    static std::unique_ptr<KeyringSession> session_;
};
std::unique_ptr<KeyringSession> WindowKeyring::session_;

TEST_F(WindowKeyring, ASiteWithoutPasswordLogsInWithTheKeyringsPassword)
{
    ASSERT_EQ(keyring.Write(key, server->password()).status, platform::keyring::KeyringStatus::Ok) << session_->output();
    connectFromSite();
    EXPECT_EQ(shownError(), QString());
    EXPECT_EQ(shownNames(), std::vector<std::string>{ "index.html" });
    EXPECT_EQ(passwordQuestions(), 0U);
    EXPECT_TRUE(form->EditPasswort->text().isEmpty()) << "the keyring's password stays out of the window";
}

TEST_F(WindowKeyring, ARememberedAnswerIsStoredAndTheNextConnectDoesNotAsk)
{
    dialogs.answerPassword(platform::gui::PasswordResult{ QString::fromStdString(server->password()), true });
    connectFromSite();
    EXPECT_EQ(shownError(), QString());
    ASSERT_EQ(passwordQuestions(), 1U);
    EXPECT_TRUE(dialogs.last().password.offerRemember);
    EXPECT_EQ(keyring.Read(key).password, server->password());

    connectFromSite();
    EXPECT_EQ(shownNames(), std::vector<std::string>{ "index.html" });
    EXPECT_EQ(passwordQuestions(), 1U);
}

TEST_F(WindowKeyring, ARefusedKeyringPasswordAsksOnceAndIsReplaced)
{
    ASSERT_EQ(keyring.Write(key, "outdated").status, platform::keyring::KeyringStatus::Ok);
    dialogs.answerPassword(platform::gui::PasswordResult{ QString::fromStdString(server->password()), true });
    connectFromSite();
    EXPECT_EQ(shownError(), QString());
    EXPECT_EQ(shownNames(), std::vector<std::string>{ "index.html" });
    ASSERT_EQ(passwordQuestions(), 1U);
    EXPECT_TRUE(dialogs.last().password.remember) << "the user kept a password for this site before";
    EXPECT_EQ(keyring.Read(key).password, server->password());
}

} // namespace
