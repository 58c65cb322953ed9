// The main window against a scripted server for exact cases: odd listings, a click during an
// asynchronous transfer, connecting out of a failed transfer, closing against a silent server;
// and the window's own start-up, close and layout rules.
#include "ScriptedServer.h"
#include "UnansweredPort.h"
#include "WindowFixture.h"
#include "WriteBackScript.h"

#include "platform/net/FaultInjection.h"
#include "quellin/NoticeLabel.h"
#include "quellin/SettingsFileAccess.h"

#include "quellin/SiteList.h"
#include "quellin/U_about.h"
#include "richprint/TRECode.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QSplitter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <optional>

using namespace testservers;
using namespace testservers::script;
using namespace std::chrono_literals;
using namespace quellintest;

namespace {

// The session's own log-in again after the server hung up: back to its folder, no PWD.
Script relogin()
{
    return { accept(), send("220 ready\r\n"), expectLine(), send("331 password\r\n"), expectLine(),
             send("230 logged in\r\n"), expectLine(), send("200 binary\r\n"), expectLine(), send("250 ok\r\n") };
}
const std::string kRelogin = "USER u\r\nPASS p\r\nTYPE I\r\nCWD /www\r\n";

// Connecting: the log-in, where it stands, then the site's folder and where that is.
Script login()
{
    return { accept(), send("220 ready\r\n"), expectLine(), send("331 password\r\n"), expectLine(),
             send("230 logged in\r\n"), expectLine(), send("200 binary\r\n"), expectLine(),
             send("257 \"/\" is the current folder\r\n"), expectLine(), send("250 ok\r\n"), expectLine(),
             send("257 \"/www\" is the current folder\r\n") };
}
const std::string kLogin = "USER u\r\nPASS p\r\nTYPE I\r\nPWD\r\nCWD /www\r\nPWD\r\n";

Script listing(Script data, const std::string& finalReply = "226 done\r\n")
{
    Script s{ listenData(), expectLine(), send("227 ({pasv})\r\n"), expectLine(), send("200 ascii\r\n"),
              expectLine(), acceptData(), send("150 here it comes\r\n") };
    s.insert(s.end(), data.begin(), data.end());
    s.push_back(dataClose());
    s.push_back(send(finalReply));
    if (finalReply.rfind("226", 0) == 0) {
        s.push_back(expectLine());
        s.push_back(send("200 binary\r\n"));
    }
    return s;
}
const std::string kListing = "PASV\r\nTYPE A\r\nLIST .\r\nTYPE I\r\n";

Script join(Script a, const Script& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class Scripted : public QuellinWindow {
protected:
    void start(Script script)
    {
        server = std::make_unique<ScriptedServer>(std::move(script), 5s);
        if (!form)
            open();
    }
    void connect() { connectTo(server->port(), QStringLiteral("u"), QStringLiteral("p"), QStringLiteral("/www")); }
    std::unique_ptr<ScriptedServer> server;
};

TEST_F(Scripted, EntriesCommandsMustNotActOnAreLeftOut)
{
    start(join(login(), listing({ dataSend("drwxr-xr-x 2 u g 4096 Jan  1  2020 .\r\n"
                                           "drwxr-xr-x 2 u g 4096 Jan  1  2020 ..\r\n"
                                           "-rw-r--r-- 1 u g 10 Jan  1  2020 b.htm\r\n"
                                           "lrwxrwxrwx 1 u g 5 Jan  1  2020 a\r\n"
                                           "-rw-r--r-- 1 u g 10 Jan  1  2020 ../../etc/passwd\r\n"
                                           "01-15-98  02:05PM       <DIR>          cgi-bin\r\n"
                                           "-rw-r--r-- 1 u g 10 Jan  1  2020 .\r\n") })));
    connect();
    EXPECT_EQ(shownError(), QString());
    EXPECT_EQ(shownNames(), (std::vector<std::string>{ "cgi-bin", "b.htm", "a" }));
    EXPECT_EQ(cell(2, 2), QStringLiteral("Link"));
    EXPECT_TRUE(server->finish()) << server->failure();
}

// Control characters in a name would end a command line early and smuggle in a command of
// their own: wherever a name comes from, it is refused before anything is sent.
TEST_F(Scripted, NamesWithControlCharactersAreRefusedWhereverTheyComeFrom)
{
    start(join(login(), listing({ dataSend("-rw-r--r-- 1 u g 10 Jan  1  2020 a\tDELE index.htm\r\n"
                                           "-rw-r--r-- 1 u g 10 Jan  1  2020 x\x1b[2J.htm\r\n"
                                           "-rw-r--r-- 1 u g 10 Jan  1  2020 del\x7f.htm\r\n"
                                           "-rw-r--r-- 1 u g 10 Jan  1  2020 p.htm\r\n") })));
    open();
    expectError();
    connectTo(server->port(), QStringLiteral("u"), QStringLiteral("p"), QStringLiteral("/www\tDELE x"));
    EXPECT_NE(shownError().indexOf(QStringLiteral("\"/www<09>DELE x\" cannot be used")), -1) << shownError().toStdString();
    EXPECT_FALSE(loggedIn()) << "not even connected";

    connect();
    EXPECT_EQ(shownNames(), std::vector<std::string>{ "p.htm" }) << "listed names with control characters";
    EXPECT_EQ(form->Status->panelText(0),
              QStringLiteral("3 entries of the listing left out: their names hold control characters or \"/\" and "
                             "cannot be used safely"));

    const struct {
        const char* name;
        QString typed;
        std::function<void()> run;
    } typed[] = {
        { "create dir", QStringLiteral("new\rDELE p.htm"), [&] { form->verzeichnisanlegen1Click(0); } },
        { "rename", QStringLiteral("q.htm\x01"), [&] { select("p.htm"), form->Umbennen1Click(0); } },
    };
    for (const auto& c : typed) {
        SCOPED_TRACE(c.name);
        dialogs.answerInput(c.typed);
        expectError();
        command(c.run);
        EXPECT_NE(shownError().indexOf(QStringLiteral("must not hold control characters")), -1)
            << shownError().toStdString();
    }
    form->EditTempName->setText(QStringLiteral("p.htm\tDELE index.htm"));
    expectError();
    command([&] { form->SBZurueckClick(); });
    EXPECT_NE(shownError().indexOf(QStringLiteral("\"p.htm<09>DELE index.htm\" cannot be used")), -1)
        << shownError().toStdString();

    EXPECT_TRUE(server->finish()) << server->failure();
    EXPECT_EQ(server->transcript(), kLogin + kListing) << "nothing after the listing was sent";
}

TEST_F(Scripted, AGreetingThatNeverEndsFailsTheConnectWithinTheReplyDeadline)
{
    start({ accept(), sendSlowly("220 " + std::string(400, 'w'), 1, 50ms) });
    ftpSession().setReplyTimeout(300ms);
    QElapsedTimer clock;
    clock.start();
    expectError();
    connect();
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(shownError(), QStringLiteral("The server's reply did not end within 300 ms; the connection was closed"));
    EXPECT_FALSE(loggedIn());
    EXPECT_TRUE(form->btn_connect->isEnabled());
    EXPECT_TRUE(form->close()) << "the window can be closed";
}

TEST_F(QuellinWindow, AFailedConnectGivesItsTrueReason)
{
    std::uint16_t closedPort;
    {
        ScriptedServer probe({});
        closedPort = probe.port();
    }
    open();
    const struct {
        const char* host;
        QString reason;
    } cases[] = {
        { "127.0.0.1", QStringLiteral("Connection refused: nothing answers at 127.0.0.1 port %1").arg(closedPort) },
        { "nowhere.invalid", QStringLiteral("Couldn't resolve hostname nowhere.invalid") },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.host);
        form->EditHostname->setText(QLatin1String(c.host));
        form->EditPfad->setText(QStringLiteral("/"));
        form->EditPort->setValue(closedPort);
        expectError();
        command([&] { form->btn_connectClick(); });
        EXPECT_EQ(shownError(), c.reason);
        EXPECT_FALSE(loggedIn());
    }
}

TEST_F(Scripted, TwentyThousandEntriesAllArrive)
{
    std::string data;
    for (int i = 0; i < 20000; ++i)
        data += "-rw-r--r-- 1 u g " + std::to_string(i) + " Jan  1  2020 f" + std::to_string(i) + ".htm\r\n";
    start(join(login(), listing({ dataSend(data) })));
    connect();
    ASSERT_EQ(form->RemoteItems->rowCount(), 20000);
    EXPECT_EQ(form->RemoteItems->item(0).name, "f0.htm");
    EXPECT_EQ(form->RemoteItems->item(19999).name, "f9999.htm");
    EXPECT_TRUE(server->finish()) << server->failure();
}

TEST_F(Scripted, AClickDuringAnAsynchronousTransferIsRefused)
{
    start(join(login(), listing({ stall(600ms), dataSend("-rw-r--r-- 1 u g 1 Jan  1  2020 x.htm\r\n") })));
    form->chk_async->click();
    ASSERT_TRUE(form->remote().Async);
    bool connectEnabled = true;
    bool sendCommandEnabled = true;
    bool asyncDuringTransfer = false;
    QTimer::singleShot(200, form.get(), [&] {
        connectEnabled = form->btn_connect->isEnabled();
        sendCommandEnabled = form->SendCommand1->isEnabled();
        QTest::mouseClick(form->btn_connect, Qt::LeftButton);
        form->SendCommand1->trigger();
        command([&] { form->Auffrischen1Click(0); });
        form->chk_async->click();
        asyncDuringTransfer = form->remote().Async;
    });
    connect();
    EXPECT_FALSE(connectEnabled);
    EXPECT_FALSE(sendCommandEnabled);
    EXPECT_EQ(shownError(), QString());
    EXPECT_EQ(shownNames(), std::vector<std::string>{ "x.htm" });
    EXPECT_TRUE(form->btn_connect->isEnabled());
    EXPECT_TRUE(form->SendCommand1->isEnabled());
    EXPECT_TRUE(asyncDuringTransfer) << "the running transfer keeps its mode";
    EXPECT_FALSE(form->remote().Async) << "the switch applies after it";
    EXPECT_TRUE(server->finish()) << server->failure();
    EXPECT_EQ(server->transcript(), kLogin + kListing);
}

TEST_F(Scripted, ConnectingAgainLogsOutOfAFailedTransferFirst)
{
    start(join(join(login(), listing({ dataSend("x\r\n") }, "451 local error\r\n")),
               join({ expectLine(), send("225 no transfer\r\n"), expectLine(), send("221 bye\r\n"), expectClose() },
                    join(login(), listing({ dataSend("-rw-r--r-- 1 u g 1 Jan  1  2020 y.htm\r\n") })))));
    expectError();
    connect();
    EXPECT_EQ(shownError(), QStringLiteral("local error"));
    EXPECT_TRUE(remoteBusy());
    connect();
    EXPECT_EQ(shownNames(), std::vector<std::string>{ "y.htm" });
    EXPECT_FALSE(remoteBusy());
    EXPECT_EQ(pathItems(), QStringList{ QStringLiteral("127.0.0.1") }) << "each connect starts the path list afresh";
    EXPECT_TRUE(server->finish()) << server->failure();
    EXPECT_EQ(server->transcript(), kLogin + "PASV\r\nTYPE A\r\nLIST .\r\nABOR\r\nQUIT\r\n" + kLogin + kListing);
}

// The first stat of the log-in, SIZE, a passive RETR of data (opening p.htm).
Script openFile(const std::string& data)
{
    return join(UnknownStat(true),
                { expectLine(), send("213 " + std::to_string(data.size()) + "\r\n"), listenData(), expectLine(),
                  send("227 ({pasv})\r\n"), expectLine(), acceptData(), send("150 go\r\n"), dataSend(data), dataClose(),
                  send("226 done\r\n") });
}
const std::string kOpen = UnknownStatSent("p.htm", true) + "SIZE p.htm\r\nPASV\r\nRETR p.htm\r\n";
const std::string kStore = UnknownStatSent("p.htm") + WholeStoreSent("p.htm");

TEST_F(Scripted, CommandsDuringAnAsynchronousListingDoNothing)
{
    const std::string entry = "-rw-r--r-- 1 u g 1 Jan  1  2020 p.htm\r\n";
    start(join(join(login(), listing({ dataSend(entry) })), listing({ stall(600ms), dataSend(entry) })));
    connect();
    form->chk_async->click();
    form->EditTempName->setText(QStringLiteral("p.htm"));
    select("p.htm");
    QTimer::singleShot(200, form.get(), [&] {
        command([&] { form->SBZurueckClick(); });
        command([&] { form->CopyClick(0); });
        command([&] { form->FTPViewDblClick(); });
    });
    command([&] { form->Auffrischen1Click(0); });
    EXPECT_EQ(shownError(), QString());
    EXPECT_TRUE(server->finish()) << server->failure();
    EXPECT_EQ(server->transcript(), kLogin + kListing + kListing);
}

TEST_F(Scripted, AServerClosingDuringStorLeavesTheEditorAsItWasAndTheNextWriteBackWorks)
{
    const std::string entry = "-rw-r--r-- 1 u g 6 Jan  1  2020 p.htm\r\n";
    Script steps = join(join(join(login(), listing({ dataSend(entry) })), openFile("hello\n")), UnknownStat());
    steps = join(steps, { listenData(), expectLine(), send("227 ({pasv})\r\n"), expectLine(), acceptData(),
                          send("150 go\r\n"), dataClose(), close() });
    // The temporary file is removed after logging in again.
    steps = join(join(join(steps, relogin()), { expectLine(), send("250 deleted\r\n") }), join(UnknownStat(true), WholeStore()));
    steps = join(steps, listing({ dataSend("-rw-r--r-- 1 u g 8 Jan  1  2020 p.htm\r\n") }));
    start(steps);
    connect();
    select("p.htm");
    command([&] { form->FTPViewDblClick(); });
    form->Memo->setLine(0, "changed");
    expectError();
    command([&] { form->SBZurueckClick(); });
    EXPECT_NE(shownError().indexOf(QStringLiteral("\"p.htm\" was not written")), -1) << shownError().toStdString();
    EXPECT_EQ(form->Memo->text(), "changed\r\n");
    EXPECT_TRUE(form->Memo->modified());

    command([&] { form->SBZurueckClick(); });
    EXPECT_FALSE(form->Memo->modified());
    EXPECT_TRUE(server->finish()) << server->failure();
    EXPECT_EQ(server->dataReceived(), "changed\n");
    EXPECT_EQ(TemporaryNamed(server->transcript()), kLogin + kListing + kOpen + UnknownStatSent("p.htm")
                                                        + "PASV\r\nSTOR {temp}\r\n" + kRelogin + "DELE {temp}\r\n"
                                                        + UnknownStatSent("p.htm", true) + WholeStoreSent("p.htm") + kListing);
    EXPECT_EQ(form->RemoteItems->item(0).size, 8) << "the view was listed again after the write-back";
}

// An asynchronous write-back against a server that confirms the store only after a while: what
// was typed meanwhile was not sent, so the editor stays modified; without typing it is saved.
struct UploadTypingCase {
    const char* name;
    QString typed; // during the upload
    bool modifiedAfter;
};

std::ostream& operator<<(std::ostream& out, const UploadTypingCase& c)
{
    return out << c.name;
}

class TypingDuringAnUpload : public Scripted, public ::testing::WithParamInterface<UploadTypingCase> {};

TEST_P(TypingDuringAnUpload, LeavesTheEditorModifiedOnlyWhenTheTextChanged)
{
    const std::string entry = "-rw-r--r-- 1 u g 6 Jan  1  2020 p.htm\r\n";
    Script steps = join(join(join(login(), listing({ dataSend(entry) })), openFile("hello\n")), UnknownStat());
    steps = join(steps, WholeStore({ stall(600ms) }));
    steps = join(steps, listing({ dataSend(entry) }));
    start(steps);
    connect();
    select("p.htm");
    command([&] { form->FTPViewDblClick(); });
    form->Memo->setLine(0, "sent");
    form->chk_async->click();
    ASSERT_TRUE(form->remote().Async);
    bool typedDuringUpload = false;
    if (!GetParam().typed.isEmpty()) {
        QTimer::singleShot(300, form.get(), [&] {
            typedDuringUpload = remoteBusy();
            form->Memo->setFocus();
            QTest::keyClicks(form->Memo, GetParam().typed);
        });
    }
    command([&] { form->SBZurueckClick(); });
    EXPECT_EQ(typedDuringUpload, !GetParam().typed.isEmpty());
    EXPECT_EQ(form->Memo->modified(), GetParam().modifiedAfter);
    EXPECT_TRUE(server->finish()) << server->failure();
    EXPECT_EQ(server->dataReceived(), "sent\n");
}

INSTANTIATE_TEST_SUITE_P(Cases, TypingDuringAnUpload,
                         ::testing::Values(UploadTypingCase{ "NothingTyped", {}, false },
                                           UploadTypingCase{ "TypedMeanwhile", QStringLiteral("x"), true }),
                         [](const auto& info) { return std::string(info.param.name); });

// Counts the paints of a widget that happen while the window's transfer runs.
class PaintsDuringTransfer : public QObject {
public:
    explicit PaintsDuringTransfer(const quellin::Tmainform& form) : form_(form) {}
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::Paint && form_.TransferRunning();
        return false;
    }

private:
    const quellin::Tmainform& form_;
};

TEST_F(Scripted, ProgressIsPaintedWhileASynchronousDownloadRuns)
{
    const std::string entry = "-rw-r--r-- 1 u g 3000 Jan  1  2020 p.htm\r\n";
    Script steps = join(join(login(), listing({ dataSend(entry) })), UnknownStat(true));
    steps = join(steps, { expectLine(), send("213 3000\r\n"), listenData(),
                          expectLine(), send("227 ({pasv})\r\n"), expectLine(), acceptData(), send("150 go\r\n"),
                          dataSendSlowly(std::string(3000, 'x'), 1000, 50ms), dataClose(), send("226 done\r\n") });
    start(steps);
    connect();
    ASSERT_FALSE(form->remote().Async);
    PaintsDuringTransfer paints(*form);
    form->Status->panel(0)->installEventFilter(&paints);
    select("p.htm");
    command([&] { form->FTPViewDblClick(); });
    EXPECT_GE(paints.count, 3) << "one paint per received piece";
    EXPECT_TRUE(server->finish()) << server->failure();
}

TEST_F(Scripted, ClosingAgainstASilentServerEndsWithinTheCloseTimeout)
{
    start(join(login(), join(listing({}), { expectLine(), stall(30s) })));
    connect();
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(form->close());
    EXPECT_LT(clock.elapsed(), quellin::Tmainform::kCloseTimeout.count() * 3);
    EXPECT_FALSE(loggedIn());
}

TEST_F(Scripted, ATraceOfLevelTwoLeavesTheStatusLine)
{
    open();
    form->ftp_trace("220 ready", remote::TraceLevel::Reply);
    form->ftp_trace("Connected socket ID 7", remote::TraceLevel::Connection);
    EXPECT_EQ(form->Status->panelText(0), QStringLiteral("220 ready"));
    form->ftp_trace("USER u", remote::TraceLevel::Command);
    EXPECT_EQ(form->Status->panelText(0), QStringLiteral("USER u"));
}

// A notice as long as "No keyring is running (...)" with its reason must not push the window past
// a 1280-pixel screen: the label shrinks and its tooltip keeps the whole text.
TEST_F(Scripted, ALongNoticeNeverWidensTheWindow)
{
    open();
    const int before = form->minimumSizeHint().width();
    form->Notices->add(QString(400, QLatin1Char('n')));
    EXPECT_LE(form->minimumSizeHint().width(), before + form->Notices->minimumSizeHint().width());
    EXPECT_LT(form->minimumSizeHint().width(), 1280);
    EXPECT_EQ(form->Notices->toolTip(), QString(400, QLatin1Char('n')));
}

struct StartCase {
    QFile::Permissions permissions;
    const char* warning; // nullptr: none
};

class StartUp : public QuellinWindow, public ::testing::WithParamInterface<StartCase> {};

TEST_P(StartUp, WarnsWhenOthersCanReadOrWriteTheSettingsAndTheTraceLeavesTheWarning)
{
    writeSettings("[FTP-Accounts]\n1=u:secret@h/\n", GetParam().permissions);
    open();
    const QString warning = GetParam().warning ? QLatin1String(GetParam().warning) : QString();
    EXPECT_EQ(form->Notices->isVisible(), GetParam().warning != nullptr);
    EXPECT_EQ(form->Notices->notices().size(), GetParam().warning ? 1 : 0);
    EXPECT_TRUE(form->Notices->text().startsWith(warning)) << form->Notices->text().toStdString();
    form->ftp_trace("220 ready", remote::TraceLevel::Reply);
    EXPECT_TRUE(form->Notices->text().startsWith(warning));
    EXPECT_EQ(form->Notices->isVisible(), GetParam().warning != nullptr);
    EXPECT_EQ(form->CBSites->count(), 1);
    EXPECT_TRUE(form->isMaximized());
    // The trace panel reaches to the splitter beside the editor; the local view takes half the
    // left column less 60 pixels.
    EXPECT_EQ(form->Status->panelWidth(0), form->Splitter1->handle(1)->mapTo(form.get(), QPoint(0, 0)).x());
    EXPECT_EQ(form->Splitter2->sizes().at(1), (form->PanelLeft->height() - 60) / 2);
}

INSTANTIATE_TEST_SUITE_P(Modes, StartUp,
                         ::testing::Values(StartCase{ QFile::ReadOwner | QFile::WriteOwner, nullptr },
                                           StartCase{ QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther,
                                                      quellin::kReadableWarning },
                                           StartCase{ QFile::ReadOwner | QFile::WriteOwner | QFile::WriteGroup,
                                                      quellin::kWritableWarning }));

TEST_F(QuellinWindow, MalformedSitesAreNamedOnceAtStartAndLeftOut)
{
    writeSettings("[FTP-Accounts]\n1=anna@host/pub\n2=joe:pw@h.invalid/\n3=\n");
    dialogs.answerMessage(platform::gui::Ok);
    open();
    EXPECT_EQ(dialogs.last().message.text,
              QStringLiteral("Site \"1\" (anna@host/pub) is left out: it has no \":\" between user name and password "
                             "(write user:password@host/path).\nSite \"3\" () is left out: it is empty."));
    ASSERT_EQ(form->CBSites->count(), 1);
    EXPECT_EQ(form->CBSites->itemText(0), QStringLiteral("joe@h.invalid/"));
}

TEST_F(QuellinWindow, WithoutSitesTheWindowSaysHowToAddOne)
{
    for (const char* settings : { "", "[FTP-Accounts]\n", "[Other]\nx=1\n" }) {
        SCOPED_TRACE(settings);
        writeSettings(settings);
        open();
        EXPECT_EQ(form->CBSites->count(), 0);
        EXPECT_EQ(form->Status->panelText(0), QLatin1String(quellin::kNoSitesHint));
        EXPECT_NE(form->CBSites->toolTip().indexOf(QStringLiteral("examples/QUELLIN.INI")), -1);
    }
    QFile::remove(config.file(QStringLiteral("QUELLIN.INI")));
    open();
    EXPECT_EQ(form->Status->panelText(0), QLatin1String(quellin::kNoSitesHint)) << "no file at all";
}

TEST_F(QuellinWindow, TheSiteListWidensWhileItHasTheFocusAndNeverShowsAPassword)
{
    writeSettings("[FTP-Accounts]\n1=joe:hunter2@h.invalid/pub\n");
    open();
    form->activateWindow();
    form->CBSites->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->CBSites->width(), 420);
    EXPECT_EQ(form->CBSites->currentText(), QStringLiteral("joe@h.invalid/pub"));
    EXPECT_EQ(form->CBSites->currentData().toByteArray(), QByteArray("joe:hunter2@h.invalid/pub"));
    form->CBSitesChange();
    EXPECT_EQ(form->EditPasswort->text(), QStringLiteral("hunter2")) << "the entry's bytes stay the item's data";
    form->EditName->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->CBSites->width(), 21);
}

// Choosing a protocol brings its own port, unless the user typed another; a stored site sets
// both, an old entry plain FTP on 21.
TEST_F(QuellinWindow, TheProtocolBringsItsPortUnlessAnotherWasTyped)
{
    writeSettings("[FTP-Accounts]\n1=sftp://anna@h.invalid:2222/\n2=joe:pw@h.invalid/\n");
    open();
    const struct {
        std::function<void()> step;
        const char* protocol;
        int port;
    } steps[] = {
        { [&] { form->CBProtocol->setCurrentIndex(2); }, "SFTP", 22 },
        { [&] { form->CBProtocol->setCurrentIndex(1); }, "FTP over TLS", 21 },
        { [&] { form->EditPort->setValue(990), form->CBProtocol->setCurrentIndex(2); }, "SFTP", 990 },
        { [&] { form->CBSites->setCurrentIndex(0), form->CBSitesChange(); }, "SFTP", 2222 },
        { [&] { form->CBSites->setCurrentIndex(1), form->CBSitesChange(); }, "FTP", 21 },
    };
    for (const auto& s : steps) {
        s.step();
        EXPECT_EQ(form->CBProtocol->currentText(), QLatin1String(s.protocol));
        EXPECT_EQ(form->EditPort->value(), s.port) << s.protocol;
    }
}

struct CloseCase {
    bool modified;
    std::optional<platform::gui::MessageButton> answer;
    bool closes;
};

class Closing : public QuellinWindow, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(Closing, AsksOnlyForAChangedText)
{
    open();
    form->Memo->setModified(GetParam().modified);
    if (GetParam().answer)
        dialogs.answerMessage(*GetParam().answer);
    EXPECT_EQ(form->close(), GetParam().closes);
    if (GetParam().answer) {
        EXPECT_EQ(dialogs.last().message.text, QLatin1String(quellin::kQuitQuestion));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Closing,
                         ::testing::Values(CloseCase{ false, std::nullopt, true },
                                           CloseCase{ true, platform::gui::No, false },
                                           CloseCase{ true, platform::gui::Yes, true }));

TEST_F(QuellinWindow, EveryControlHasAnAccessibleName)
{
    open();
    for (QWidget* w : form->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w)
            || qobject_cast<QComboBox*>(w) || qobject_cast<platform::gui::ListView*>(w) || w == form->Memo;
        if (control) {
            EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
        }
    }
}

TEST_F(QuellinWindow, TheMenuCommandOpensTheEditorsMenuAtTheEditorsCorner)
{
    open();
    form->Menu1Click();
    EXPECT_TRUE(form->PMBefehle->isVisible());
    EXPECT_EQ(form->PMBefehle->pos(), form->PanelEdit->mapToGlobal(QPoint(0, 0)));
    form->PMBefehle->hide();
}

TEST_F(QuellinWindow, TheAboutBoxShowsTheBuildsVersion)
{
    open();
    QString caption;
    QString version;
    QTimer::singleShot(0, form.get(), [&] {
        caption = form->AboutBox->windowTitle();
        version = form->AboutBox->Version->text();
        form->AboutBox->accept();
    });
    form->About1Click();
    EXPECT_EQ(caption, QStringLiteral("Infos"));
    // The four parts of the build's version.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Version \\d+\\.\\d+\\.\\d+\\.\\d+$")).match(version).hasMatch())
        << version.toStdString();
}

TEST_F(QuellinWindow, TheViewStyleCommandsKeepTheButtonsInStep)
{
    open();
    form->mnu_viewClick(form->mnu_view_list);
    EXPECT_EQ(form->FTPView->viewStyle(), platform::gui::ViewStyle::List);
    EXPECT_TRUE(form->btn_list->isChecked());
    form->mnu_viewClick(form->mnu_view_big);
    EXPECT_EQ(form->FTPView->viewStyle(), platform::gui::ViewStyle::Icon);
    EXPECT_TRUE(form->btn_list->isChecked()) << "the icon styles leave the buttons";
    form->btn_detailsClick();
    EXPECT_EQ(form->FTPView->viewStyle(), platform::gui::ViewStyle::Report);
    EXPECT_TRUE(form->btn_details->isChecked());
    EXPECT_FALSE(form->btn_list->isChecked());
}

} // namespace

// Where a connect is left waiting: a greeting that never comes, a TCP connect nobody answers,
// a name look-up that never ends. The box says which step it is at; Escape or its Cancel
// button ends the connect at once, with no error box, and the next connect works.
TEST_F(Scripted, AConnectShowsItsBoxAndEscapeOrCancelEndsItInBothModes)
{
    enum class Stall { Greeting, TcpConnect, LookUp };
    struct Case {
        const char* name;
        Stall stall;
        QString boxText;
        bool escape;
    };
    const Case cases[] = {
        { "greeting never comes", Stall::Greeting, QStringLiteral("Logging in to %1…"), true },
        { "TCP connect never answered", Stall::TcpConnect, QStringLiteral("Connecting to %1…"), false },
        { "name look-up never ends", Stall::LookUp, QStringLiteral("Connecting to %1…"), true },
    };
    open();
    for (const bool async : { false, true }) {
        if (form->chk_async->isChecked() != async)
            form->chk_async->click();
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            SCOPED_TRACE(async ? "asynchronous" : "synchronous");
            std::optional<ScriptedServer> silent;
            std::optional<UnansweredPort> unanswered;
            QString host = QStringLiteral("127.0.0.1");
            std::uint16_t port = 1;
            if (c.stall == Stall::Greeting) {
                silent.emplace(Script{ accept(), expectClose() }, 5s);
                port = silent->port();
            } else if (c.stall == Stall::TcpConnect) {
                unanswered.emplace();
                port = unanswered->port();
            } else {
                host = QStringLiteral("localhost");
                platform::net::faults::delayLookups(5000);
            }
            QString shownText;
            QTimer::singleShot(200, [&] {
                auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                ASSERT_NE(box, nullptr) << "the box is shown while the connect waits";
                shownText = box->findChild<QLabel*>()->text();
                if (c.escape)
                    QTest::keyClick(box, Qt::Key_Escape);
                else
                    box->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
            });
            form->EditHostname->setText(host);
            form->EditPfad->setText(QStringLiteral("/www"));
            form->EditPort->setValue(port);
            QElapsedTimer clock;
            clock.start();
            command([&] { form->btn_connectClick(); });
            platform::net::faults::delayLookups(0);
            EXPECT_LT(clock.elapsed(), 1500);
            EXPECT_EQ(shownText, c.boxText.arg(host));
            EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the box has gone";
            EXPECT_EQ(form->Status->panelText(0), QStringLiteral("Connect cancelled"));
            EXPECT_FALSE(loggedIn());
            EXPECT_EQ(ftpSession().ControlSocket, -1);
            if (silent) {
                EXPECT_TRUE(silent->finish()) << silent->failure();
                EXPECT_EQ(silent->transcript(), "") << "nothing was sent before the cancel";
            }

            start(join(login(), listing({ dataSend("-rw-r--r-- 1 u g 5 Jan 01 2020 a.html\r\n") })));
            connect();
            EXPECT_TRUE(server->finish()) << server->failure();
            EXPECT_EQ(shownNames(), std::vector<std::string>{ "a.html" });
            form->remote().Disconnect();
        }
    }
}
