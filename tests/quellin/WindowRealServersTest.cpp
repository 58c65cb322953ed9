// The main window against real vsftpd and pyftpdlib: a stored site, connecting, the listing in
// the view, walking folders and the remote commands, checked on the server's disk.
#include "FtpServers.h"
#include "WindowFixture.h"

#include <QHeaderView>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <sys/time.h>

using namespace testservers;

namespace {

void setTime(const std::string& path, long seconds)
{
    const timeval times[2] = { { seconds, 0 }, { seconds, 0 } };
    ::lutimes(path.c_str(), times);
}

class RealServer : public QuellinWindow, public ::testing::WithParamInterface<FtpServerKind> {
protected:
    void SetUp() override
    {
        server = StartFtpServer(GetParam());
        server->write("www/index.html", "<html></html>\n");
        server->write("www/nine.txt", "123456789");
        server->write("www/ten.txt", "1234567890");
        server->write("www/README", "r");
        server->makeFolder("www/sub/deeper");
        server->write("www/sub/deeper/page.htm", "p");
        setTime(server->root() + "/www/nine.txt", 911476800);  // 1998
        setTime(server->root() + "/www/ten.txt", 1230768000);  // 2009
        writeSettings("[FTP-Accounts]\n1=other:pw@example.invalid/\n2=" + server->user() + ":" + server->password()
                      + "@127.0.0.1/www\n");
        open();
    }

    void connectFromSite()
    {
        form->CBSites->setCurrentIndex(1);
        form->CBSitesChange();
        form->EditPort->setValue(server->port());
        form->remote().setSilenceTimeout(std::chrono::seconds(10));
        command([&] { form->btn_connectClick(); });
    }

    std::unique_ptr<FtpServer> server;
};

TEST_P(RealServer, ConnectsFromAStoredSiteAndShowsTheFolderSorted)
{
    ASSERT_EQ(form->CBSites->count(), 2);
    EXPECT_EQ(form->CBSites->itemText(1).toStdString(), server->user() + "@127.0.0.1/www") << "no password on screen";
    connectFromSite();
    EXPECT_EQ(form->EditName->text().toStdString(), server->user());
    EXPECT_EQ(form->EditPfad->text(), QStringLiteral("/www"));
    EXPECT_EQ(shownError(), QString());
    EXPECT_EQ(shownNames(), (std::vector<std::string>{ "sub", "index.html", "nine.txt", "README", "ten.txt" }));
    EXPECT_EQ(cell(0, 2), QStringLiteral("Directory"));
    EXPECT_EQ(cell(rowOf("nine.txt"), 1), QStringLiteral("9"));
    EXPECT_EQ(cell(rowOf("nine.txt"), 2), QStringLiteral("File"));
    EXPECT_FALSE(cell(rowOf("nine.txt"), 3).isEmpty());
    // Folder icon, the generic document for a name without extension, extension icons otherwise.
    const auto& items = form->RemoteItems->items();
    EXPECT_EQ(items[0].imageIndex, quellin::kImageFolder);
    EXPECT_EQ(items[static_cast<std::size_t>(rowOf("README"))].imageIndex, quellin::kImageDocument);
    EXPECT_GT(items[static_cast<std::size_t>(rowOf("index.html"))].imageIndex, quellin::kImageDocument);
    EXPECT_EQ(form->icons_small->count(), form->icons_large->count());
    EXPECT_EQ(pathItems(), QStringList{ QStringLiteral("127.0.0.1") });
    // The trace shows the last command or reply.
    EXPECT_FALSE(form->Status->panelText(0).isEmpty());

    QHeaderView* header = form->FTPView->reportView()->header();
    const auto clickColumn = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(column) + 5, 5));
    };
    clickColumn(quellin::kSizeColumn);
    EXPECT_EQ(shownNames(), (std::vector<std::string>{ "sub", "README", "nine.txt", "ten.txt", "index.html" }));
    clickColumn(quellin::kDateColumn);
    EXPECT_LT(rowOf("ten.txt"), rowOf("nine.txt")) << "newest first";
    EXPECT_EQ(shownNames().front(), "sub");
}

TEST_P(RealServer, EntersTwoFoldersAndComesBackThroughThePathCombo)
{
    connectFromSite();
    select("sub");
    command([&] { form->FTPViewDblClick(); });
    select("deeper");
    QTest::keyClick(form->FTPView->currentView(), Qt::Key_Return);
    EXPECT_EQ(shownNames(), std::vector<std::string>{ "page.htm" });
    EXPECT_EQ(pathItems(), (QStringList{ QStringLiteral("127.0.0.1"), QStringLiteral("sub"), QStringLiteral("deeper") }));
    EXPECT_EQ(form->cbx_path->currentIndex(), 2);

    int changes = 0;
    int listings = 0;
    form->remote().OnTrace = [&](const std::string& text, remote::TraceLevel level) {
        changes += level == remote::TraceLevel::Command && text == "CWD ..";
        listings += level == remote::TraceLevel::Command && text.rfind("LIST", 0) == 0;
    };
    form->cbx_path->setCurrentIndex(0);
    command([&] { form->cbx_pathDblClick(); });
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(listings, 1);
    EXPECT_EQ(pathItems(), QStringList{ QStringLiteral("127.0.0.1") });
    EXPECT_EQ(shownNames().front(), "sub");

    // Up at the top: the server stays at its root, the host item goes too.
    command([&] { form->btn_upClick(); });
    QTest::keyClick(form->FTPView->currentView(), Qt::Key_Backspace);
    EXPECT_EQ(shownError(), QString());
    EXPECT_EQ(shownNames(), std::vector<std::string>{ "www" });
    EXPECT_TRUE(pathItems().isEmpty());
}

TEST_P(RealServer, RemoteCommandsChangeTheServersDisk)
{
    connectFromSite();
    select("README");
    dialogs.answerMessage(platform::gui::No);
    command([&] { form->Loeschen1Click(0); });
    EXPECT_EQ(dialogs.last().message.text, QStringLiteral("Delete the file \"README\" on the server?"));
    EXPECT_TRUE(server->exists("www/README")) << "No keeps the file";
    dialogs.answerMessage(platform::gui::Yes);
    command([&] { form->Loeschen1Click(0); });
    EXPECT_FALSE(server->exists("www/README"));

    select("nine.txt");
    dialogs.answerInput(QStringLiteral("neun.txt"));
    command([&] { form->Umbennen1Click(0); });
    EXPECT_EQ(dialogs.last().input.caption, QStringLiteral("Rename"));
    EXPECT_EQ(dialogs.last().input.prompt, QStringLiteral("Name:"));
    EXPECT_EQ(dialogs.last().input.text, QStringLiteral("nine.txt"));
    EXPECT_EQ(server->read("www/neun.txt"), "123456789");

    // Cancel sends nothing: no RNFR, no MKD, no empty command line.
    std::vector<std::string> sent;
    form->remote().OnTrace = [&](const std::string& text, remote::TraceLevel level) {
        if (level == remote::TraceLevel::Command)
            sent.push_back(text);
    };
    select("neun.txt");
    dialogs.answerInput(std::nullopt);
    command([&] { form->Umbennen1Click(0); });
    dialogs.answerInput(std::nullopt);
    command([&] { form->verzeichnisanlegen1Click(0); });
    dialogs.answerInput(std::nullopt);
    command([&] { form->SendCommand1Click(); });
    EXPECT_EQ(sent, std::vector<std::string>{});
    EXPECT_EQ(server->read("www/neun.txt"), "123456789");
    form->remote().OnTrace = [window = form.get()](const std::string& text, remote::TraceLevel level) {
        window->ftp_trace(text, level);
    };

    dialogs.answerInput(QStringLiteral("made"));
    command([&] { form->verzeichnisanlegen1Click(0); });
    EXPECT_TRUE(server->exists("www/made"));
    EXPECT_EQ(form->RemoteItems->item(rowOf("made")).type, tcpip::ft_directory);

    select("made");
    dialogs.answerMessage(platform::gui::Yes);
    command([&] { form->Loeschen1Click(0); });
    EXPECT_EQ(dialogs.last().message.text, QStringLiteral("Delete the folder \"made\" on the server?"));
    EXPECT_FALSE(server->exists("www/made"));

    dialogs.answerInput(QStringLiteral("MKD bycommand"));
    command([&] { form->SendCommand1Click(); });
    EXPECT_EQ(dialogs.last().input.caption, QStringLiteral("FTP"));
    EXPECT_TRUE(server->exists("www/bycommand"));
    EXPECT_EQ(rowOf("bycommand"), -1) << "Send Command does not refresh";
    EXPECT_NE(dialogs.last().kind, platform::gui::ScriptedDialogs::Kind::Message) << "no error was shown";
}

TEST_P(RealServer, LogInErrorAndMissingFolderAreShownAndTheWindowStaysAsItWas)
{
    connectFromSite();
    const auto before = shownNames();
    expectError();
    connectTo(server->port(), QString::fromStdString(server->user()), QStringLiteral("wrong"), QStringLiteral("/www"));
    EXPECT_FALSE(shownError().isEmpty());
    EXPECT_EQ(shownNames(), before);
    EXPECT_EQ(pathItems(), QStringList{ QStringLiteral("127.0.0.1") });

    expectError();
    connectTo(server->port(), QString::fromStdString(server->user()), QString::fromStdString(server->password()),
              QStringLiteral("/missing"));
    EXPECT_FALSE(shownError().isEmpty());
    EXPECT_EQ(shownNames(), before);
    EXPECT_EQ(pathItems(), QStringList{ QStringLiteral("127.0.0.1") });
}

// A second site: the path list starts afresh with the second host, nothing of the first's
// folders above it.
TEST_P(RealServer, ASecondSiteStartsThePathListAfresh)
{
    connectFromSite();
    select("sub");
    command([&] { form->FTPViewDblClick(); });
    ASSERT_EQ(pathItems(), (QStringList{ QStringLiteral("127.0.0.1"), QStringLiteral("sub") }));

    auto second = StartFtpServer(GetParam() == FtpServerKind::Vsftpd ? FtpServerKind::Pyftpdlib : FtpServerKind::Vsftpd);
    second->makeFolder("site");
    second->write("site/other.htm", "o");
    form->EditHostname->setText(QStringLiteral("localhost"));
    form->EditName->setText(QString::fromStdString(second->user()));
    form->EditPasswort->setText(QString::fromStdString(second->password()));
    form->EditPfad->setText(QStringLiteral("/site"));
    form->EditPort->setValue(second->port());
    command([&] { form->btn_connectClick(); });
    EXPECT_EQ(shownError(), QString());
    EXPECT_EQ(shownNames(), std::vector<std::string>{ "other.htm" });
    EXPECT_EQ(pathItems(), QStringList{ QStringLiteral("localhost") });
    EXPECT_EQ(form->cbx_path->currentText(), QStringLiteral("localhost"));
}

// A plain FTP site on the server's own port, as its entry names it: nothing else to set.
TEST_P(RealServer, AStoredSiteIsReachedOnThePortItNames)
{
    const std::string port = std::to_string(server->port());
    writeSettings("[FTP-Accounts]\n1=" + server->user() + ":" + server->password() + "@127.0.0.1:" + port + "/www\n");
    open();
    EXPECT_EQ(form->CBSites->itemText(0).toStdString(), "ftp://" + server->user() + "@127.0.0.1:" + port + "/www");
    form->CBSites->setCurrentIndex(0);
    form->CBSitesChange();
    EXPECT_EQ(form->CBProtocol->currentText(), QStringLiteral("FTP"));
    EXPECT_EQ(form->EditPort->value(), server->port());
    command([&] { form->btn_connectClick(); });
    EXPECT_EQ(shownError(), QString());
    EXPECT_EQ(shownNames(), (std::vector<std::string>{ "sub", "index.html", "nine.txt", "README", "ten.txt" }));
}

INSTANTIATE_TEST_SUITE_P(Servers, RealServer, ::testing::Values(FtpServerKind::Vsftpd, FtpServerKind::Pyftpdlib),
                         [](const auto& info) { return std::string(FtpServerName(info.param)); });

} // namespace
