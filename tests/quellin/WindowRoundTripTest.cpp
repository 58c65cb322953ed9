// The window's round trip against real vsftpd and pyftpdlib, synchronous and asynchronous:
// open a remote file into the editor, edit, write back, copy both ways, checked on the
// server's disk; and the local browser on a temporary folder tree.
#include "FtpServers.h"
#include "WindowFixture.h"
#include "support/AsPlainUser.h"

#include "richprint/TRECode.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <fstream>
#include <thread>

using namespace testservers;

namespace {

std::string readLocal(const QString& path)
{
    std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
    return { std::istreambuf_iterator<char>(in), {} };
}

void writeLocal(const QString& path, const std::string& bytes)
{
    std::ofstream(QFile::encodeName(path).toStdString(), std::ios::binary) << bytes;
}

// Local browser helpers shared by both fixtures.
class LocalFolderWindow : public QuellinWindow {
protected:
    void showLocal(const QString& folder)
    {
        form->Local->LocalFolder = folder;
        form->SetFiles();
    }
    QStringList localColumn(int column) const
    {
        QStringList texts;
        for (const auto& item : form->LocalItems->items())
            texts << item.texts[static_cast<std::size_t>(column)];
        return texts;
    }
    void selectLocal(const QString& caption) { form->LocalView->setSelectedRow(static_cast<int>(localColumn(0).indexOf(caption))); }

    QTemporaryDir temp;
    QString local = temp.path() + "/";
};

struct ServerMode {
    FtpServerKind kind;
    bool async;
    FtpSecurity security = FtpSecurity::Plain;
};
std::string ModeName(const ServerMode& mode)
{
    return std::string(FtpServerName(mode.kind)) + (mode.security == FtpSecurity::Tls ? "Tls" : "")
           + (mode.async ? "Async" : "Sync");
}
void PrintTo(const ServerMode& mode, std::ostream* os)
{
    *os << ModeName(mode);
}

class WindowRoundTrip : public LocalFolderWindow, public ::testing::WithParamInterface<ServerMode> {
protected:
    void SetUp() override
    {
        server = StartFtpServer(GetParam().kind, 120, GetParam().security);
        server->makeFolder("www");
        const bool tls = GetParam().security == FtpSecurity::Tls;
        // The fixture's own CA, as a user with a private CA names it in the settings.
        if (tls)
            writeSettings("[TLS]\nCAFile=" + server->caFile() + "\n");
        open();
        if (tls)
            form->CBProtocol->setCurrentIndex(static_cast<int>(quellin::RemoteProtocol::Ftps));
        if (GetParam().async)
            form->chk_async->click();
        showLocal(local);
    }
    void connect()
    {
        connectTo(server->port(), QString::fromStdString(server->user()), QString::fromStdString(server->password()),
                  QStringLiteral("/www"));
        ASSERT_EQ(shownError(), QString());
    }
    void openRemote(const std::string& name)
    {
        select(name);
        command([&] { form->FTPViewDblClick(); });
    }
    void writeBack() { command([&] { form->SBZurueckClick(); }); }

    std::unique_ptr<FtpServer> server;
};

TEST_P(WindowRoundTrip, AnEditIsWrittenBackAndClosingAsksNothing)
{
    server->write("www/index.html", "<html>\n</html>\n");
    connect();
    openRemote("index.html");
    EXPECT_EQ(form->EditTempName->text(), QStringLiteral("index.html"));
    EXPECT_EQ(form->Memo->lineText(1), QStringLiteral("</html>"));
    EXPECT_FALSE(form->Memo->modified());
    EXPECT_EQ(form->Status->panelText(0), QStringLiteral("15 of 15 Bytes received"));
    dialogs.answerSave(local + "copy.html");
    command([&] { form->SBSpeichernClick(); });
    EXPECT_EQ(readLocal(local + "copy.html"), "<html>\n</html>\n") << "a local Save keeps the remote file's shape";

    form->Memo->setLine(0, "<html><p>edited</p>");
    ASSERT_TRUE(form->Memo->modified());
    writeBack();
    EXPECT_EQ(shownError(), QString());
    EXPECT_EQ(server->read("www/index.html"), "<html><p>edited</p>\n</html>\n") << "LF lines stay LF";
    EXPECT_FALSE(form->Memo->modified());
    EXPECT_TRUE(form->close()) << "no \"Text changed\" question after a successful write-back";
}

TEST_P(WindowRoundTrip, UnchangedTextComesBackByteForByteAndARenameIsASecondFile)
{
    const std::string original = "caf\xe9\r\nno final break";
    server->write("www/a.htm", original);
    connect();
    openRemote("a.htm");
    writeBack();
    EXPECT_EQ(server->read("www/a.htm"), original);

    form->EditTempName->setText(QStringLiteral("b.htm"));
    form->Memo->setLine(1, "changed");
    writeBack();
    EXPECT_EQ(server->read("www/b.htm"), "caf\xe9\r\nchanged");
    EXPECT_NE(rowOf("b.htm"), -1) << "the remote view was listed again";
    EXPECT_EQ(server->read("www/a.htm"), original);

    // Opening over an unsaved edit asks; No keeps the edit and its name.
    form->Memo->setLine(1, "unsaved");
    dialogs.answerMessage(platform::gui::No);
    openRemote("a.htm");
    EXPECT_EQ(form->Memo->lineText(1), QStringLiteral("unsaved"));
    EXPECT_EQ(form->EditTempName->text(), QStringLiteral("b.htm"));
}

TEST_P(WindowRoundTrip, CopiesBothWaysKeepEveryByte)
{
    std::string binary;
    for (int i = 0; i < 3 * 256; ++i)
        binary += static_cast<char>(i % 256);
    server->write("www/image.bin", binary);
    writeLocal(local + "up.bin", binary + "\r\n\n");
    connect();

    select("image.bin");
    command([&] { form->CopyToLocal1->trigger(); });
    EXPECT_EQ(readLocal(local + "image.bin"), binary);
    EXPECT_TRUE(localColumn(0).contains(QStringLiteral("image.bin"))) << "the local view was listed again";

    // An existing local file is replaced only when the user says so.
    writeLocal(local + "image.bin", "mine");
    dialogs.answerMessage(platform::gui::No);
    command([&] { form->CopyToLocal1->trigger(); });
    EXPECT_EQ(dialogs.last().message.text, QStringLiteral("Replace the local file \"%1\"?").arg(local + "image.bin"));
    EXPECT_EQ(readLocal(local + "image.bin"), "mine");
    dialogs.answerMessage(platform::gui::Yes);
    command([&] { form->CopyToLocal1->trigger(); });
    EXPECT_EQ(readLocal(local + "image.bin"), binary);

    form->SetFiles();
    selectLocal(QStringLiteral("up.bin"));
    const std::size_t asked = dialogs.asked().size();
    command([&] { form->CopyToFTP1->trigger(); });
    EXPECT_EQ(dialogs.asked().size(), asked) << "no error shown";
    EXPECT_EQ(server->read("www/up.bin"), binary + "\r\n\n");
    EXPECT_NE(rowOf("up.bin"), -1) << "the remote view was listed again";
}

TEST_P(WindowRoundTrip, MixedLineBreaksComeBackByteForByteAndAFileThatIsNoTextIsNotOpened)
{
    const std::string mixed = "<p>a</p>\n<p>b</p>\r\n<p>c</p>\r<p>d</p>\r\n\n";
    server->write("www/mixed.html", mixed);
    server->write("www/photo.jpg", std::string("\xff\xd8\xff\xe0\0\x10JFIF\0", 12));
    server->write("www/latin.txt", "\x81\x8d not UTF-8, not Windows-1252");
    connect();
    openRemote("mixed.html");
    writeBack();
    EXPECT_EQ(shownError(), QString());
    EXPECT_EQ(server->read("www/mixed.html"), mixed) << "unchanged, so every break as it was";

    for (const char* name : { "photo.jpg", "latin.txt" }) {
        SCOPED_TRACE(name);
        expectError();
        openRemote(name);
        EXPECT_NE(shownError().indexOf(QStringLiteral("is not a text file")), -1) << shownError().toStdString();
        EXPECT_NE(shownError().indexOf(QStringLiteral("use Copy To Local")), -1);
        EXPECT_EQ(form->EditTempName->text(), QStringLiteral("mixed.html")) << "the editor keeps its file";
        EXPECT_EQ(form->Memo->lineText(0), QStringLiteral("<p>a</p>"));
    }
}

// Typing characters Windows-1252 lacks into a Windows-1252 page: the whole file becomes UTF-8, or
// nothing is sent; never a file that mixes the two.
TEST_P(WindowRoundTrip, CharactersTheFilesEncodingLacksAreNamedAndConvertOrGoBack)
{
    const std::string original = "caf\xe9\r\n";
    server->write("www/page.htm", original);
    connect();
    openRemote("page.htm");
    ASSERT_EQ(form->Memo->encoding(), platform::core::TextEncoding::Windows1252);
    form->Memo->setSelection(4, 0);
    form->Memo->replaceSelection(QStringLiteral(" \u03a9\u2192\u03a9 \u20ac"));

    dialogs.answerMessage(platform::gui::No);
    writeBack();
    EXPECT_EQ(dialogs.last().message.text,
              QStringLiteral("These characters cannot be written in Windows-1252, the encoding of \"page.htm\": "
                             "\u03a9 \u2192\n\nYes: convert the whole file to UTF-8 and write it back.\nNo: go back "
                             "and edit it."));
    EXPECT_EQ(server->read("www/page.htm"), original) << "No sends nothing";
    EXPECT_TRUE(form->Memo->modified());

    dialogs.answerMessage(platform::gui::Yes);
    writeBack();
    EXPECT_EQ(server->read("www/page.htm"), "caf\xc3\xa9 \xce\xa9\xe2\x86\x92\xce\xa9 \xe2\x82\xac\r\n")
        << "the whole file in UTF-8";
    EXPECT_FALSE(form->Memo->modified());
    EXPECT_EQ(form->Memo->encoding(), platform::core::TextEncoding::Utf8);
    writeBack();
    EXPECT_EQ(server->read("www/page.htm"), "caf\xc3\xa9 \xce\xa9\xe2\x86\x92\xce\xa9 \xe2\x82\xac\r\n")
        << "and stays UTF-8, without asking again";
}

// The file goes back to the folder it came from, whether the user walked elsewhere or the
// server logged the session out; F2 in the editor writes back as the button does.
TEST_P(WindowRoundTrip, AWriteBackGoesToTheFolderTheFileCameFrom)
{
    server->makeFolder("www/nested/level2");
    server->write("www/nested/level2/index.html", "deep\n");
    server->write("www/index.html", "home\n");
    connect();
    select("nested");
    command([&] { form->FTPViewDblClick(); });
    select("level2");
    command([&] { form->FTPViewDblClick(); });
    openRemote("index.html");
    ASSERT_EQ(form->Memo->lineText(0), QStringLiteral("deep"));

    command([&] { form->btn_upClick(); });
    command([&] { form->btn_upClick(); });
    ASSERT_EQ(shownNames().front(), "nested") << "back in /www";
    form->Memo->setLine(0, "deep, edited");
    form->Memo->setFocus();
    form->Writeback1->trigger();
    EXPECT_EQ(shownError(), QString());
    EXPECT_EQ(server->read("www/nested/level2/index.html"), "deep, edited\n");
    EXPECT_EQ(server->read("www/index.html"), "home\n") << "the home page is untouched";
    EXPECT_FALSE(form->Memo->modified());

    // A log-out behind the window's back: the next write-back logs in again, same folder.
    form->remote().Disconnect();
    form->Memo->setLine(0, "deep, again");
    command([&] { form->SBZurueckClick(); });
    EXPECT_EQ(shownError(), QString());
    EXPECT_EQ(server->read("www/nested/level2/index.html"), "deep, again\n");
    EXPECT_EQ(server->read("www/index.html"), "home\n");
}

INSTANTIATE_TEST_SUITE_P(Servers, WindowRoundTrip,
                         ::testing::Values(ServerMode{ FtpServerKind::Vsftpd, false }, ServerMode{ FtpServerKind::Vsftpd, true },
                                           ServerMode{ FtpServerKind::Pyftpdlib, false },
                                           ServerMode{ FtpServerKind::Pyftpdlib, true },
                                           ServerMode{ FtpServerKind::Vsftpd, false, FtpSecurity::Tls },
                                           ServerMode{ FtpServerKind::Pyftpdlib, true, FtpSecurity::Tls }),
                         [](const auto& info) { return ModeName(info.param); });

// The server's idle timeout (vsftpd says "421 Timeout." and closes) while the user edits: the
// write-back logs in again, goes back to the folder and writes; one status line says so.
class WindowReconnect : public LocalFolderWindow, public ::testing::WithParamInterface<bool> {};

TEST_P(WindowReconnect, AWriteBackAfterTheServersIdleTimeoutLogsInAgainAndSaysSo)
{
    auto server = StartFtpServer(FtpServerKind::Vsftpd, 1);
    server->makeFolder("www/sub");
    server->write("www/sub/page.htm", "old\n");
    open();
    if (GetParam())
        form->chk_async->click();
    connectTo(server->port(), QString::fromStdString(server->user()), QString::fromStdString(server->password()),
              QStringLiteral("/www/sub"));
    ASSERT_EQ(shownError(), QString());
    select("page.htm");
    command([&] { form->FTPViewDblClick(); });
    form->Memo->setLine(0, "new");
    // The server's idle timer: sleep past it (the test waits on the server, not on the window).
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    command([&] { form->SBZurueckClick(); });
    EXPECT_EQ(shownError(), QString()) << "no error box";
    EXPECT_EQ(server->read("www/sub/page.htm"), "new\n");
    EXPECT_FALSE(form->Memo->modified());
    EXPECT_EQ(form->Status->panelText(0), QStringLiteral("Reconnected: the server had closed the connection (Timeout.); "
                                                         "logged in again and back in /www/sub"));
}

INSTANTIATE_TEST_SUITE_P(Modes, WindowReconnect, ::testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "Async" : "Sync"); });

class WindowLocalBrowser : public LocalFolderWindow {
protected:
    void SetUp() override
    {
        open();
        QDir(local).mkpath(QStringLiteral("b folder/deep"));
        QDir(local).mkpath(QStringLiteral("A folder"));
        writeLocal(local + "empty.txt", "");
        writeLocal(local + "one.txt", "1");
        writeLocal(local + "Mega.bin", std::string(1048576, 'm'));
        writeLocal(local + ".hidden", "h");
        showLocal(local);
    }
};

TEST_F(WindowLocalBrowser, FoldersFirstThenNamesWithTheirSizes)
{
    EXPECT_EQ(localColumn(0), (QStringList{ "A folder", "b folder", ".hidden", "empty.txt", "Mega.bin", "one.txt" }));
    EXPECT_EQ(localColumn(1), (QStringList{ "", "", "1 KB", "0 KB", "1024 KB", "1 KB" }));
    EXPECT_TRUE(form->SBUp->isEnabled());
    EXPECT_TRUE(form->CBDrive->currentText().startsWith('T'));
    EXPECT_TRUE(form->CBDrive->currentText().endsWith(local));
}

TEST_F(WindowLocalBrowser, DoubleClicksUpAndTheViewMessages)
{
    selectLocal(QStringLiteral("b folder"));
    QTest::keyClick(form->LocalView->currentView(), Qt::Key_Return);
    EXPECT_EQ(localColumn(0), QStringList{ "deep" });
    form->SBUpClick();
    EXPECT_EQ(localColumn(0).size(), 6);

    selectLocal(QStringLiteral("one.txt"));
    dialogs.answerMessage(platform::gui::Ok);
    form->LocalViewDblClick();
    EXPECT_EQ(shownError(), local + "one.txt file");
    dialogs.answerMessage(platform::gui::Ok);
    form->LocalViewColumnClick(1);
    EXPECT_EQ(shownError(), QStringLiteral("This could start a sorting routine."));

    QFile::setPermissions(local, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther);
    QFile::setPermissions(local + "A folder", {});
    selectLocal(QStringLiteral("A folder"));
    dialogs.answerMessage(platform::gui::Ok);
    {
        const AsPlainUser user;
        form->LocalViewDblClick();
    }
    EXPECT_EQ(shownError(), "No access to " + local + "A folder/.");
    EXPECT_EQ(localColumn(0).size(), 6) << "the list stays";
}

TEST_F(WindowLocalBrowser, DeleteRenameAndCreateThroughTheInputBoxes)
{
    dialogs.answerInput(QStringLiteral("made"));
    command([&] { form->verzeichnisanlegen1Click(1); });
    EXPECT_TRUE(QDir(local + "made").exists());
    EXPECT_EQ(dialogs.last().input.caption, QStringLiteral("Create Dir"));

    selectLocal(QStringLiteral("one.txt"));
    dialogs.answerInput(QStringLiteral("two.txt"));
    command([&] { form->Umbennen1Click(1); });
    EXPECT_EQ(dialogs.last().input.text, QStringLiteral("one.txt"));
    EXPECT_EQ(readLocal(local + "two.txt"), "1");

    selectLocal(QStringLiteral("two.txt"));
    command([&] { form->Loeschen1Click(1); });
    EXPECT_FALSE(QFile::exists(local + "two.txt"));
    EXPECT_EQ(localColumn(0), (QStringList{ "A folder", "b folder", "made", ".hidden", "empty.txt", "Mega.bin" }));

}

TEST_F(WindowLocalBrowser, AFolderThatIsGoneIsRefusedInTheComboAndTheListStays)
{
    const QString folder = local + "b folder/";
    showLocal(folder + "deep/");
    QDir().rename(folder, local + "moved");
    int item = -1;
    for (int i = 0; i < form->CBDrive->count(); ++i)
        if (quellin::ParseDriveComboItem(form->CBDrive->itemText(i)).path == folder)
            item = i;
    ASSERT_GE(item, 0);
    form->CBDrive->setCurrentIndex(item);
    dialogs.answerMessage(platform::gui::Ok);
    form->CBDriveChange();
    EXPECT_EQ(shownError(), "No access to " + folder + ".");
    EXPECT_EQ(form->Local->LocalFolder, folder + "deep/");
    EXPECT_TRUE(form->CBDrive->currentText().startsWith('T')) << "the combo is rebuilt on the current folder";
}

} // namespace
