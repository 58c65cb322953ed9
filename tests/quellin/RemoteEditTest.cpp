// The remote edit round trip against real vsftpd and pyftpdlib (synchronous and asynchronous)
// and the scripted server: files come back byte for byte, progress texts, copies both ways,
// refused names, and a write-back that fails losing nothing.
#include "FtpServers.h"
#include "platform/core/PrivateTempFolder.h"
#include "quellin/RemoteEdit.h"
#include "quellin/EditableText.h"
#include "quellin/SafeNames.h"
#include "tcpip/FtpRemoteFiles.h"
#include "tcpip/FtpTestSupport.h"
#include "WriteBackScript.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fstream>
#include <random>
#include <regex>

using namespace quellin;
using namespace tcpip;
using namespace tcpiptest;
using namespace testservers;
using namespace testservers::script;
using namespace quellintest;

namespace {

constexpr auto kStored = std::optional(remote::WriteBackOutcome::Stored);

std::string readFile(const QString& path)
{
    std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const QString& path, const std::string& bytes)
{
    std::ofstream(QFile::encodeName(path).toStdString(), std::ios::binary) << bytes;
}

// What the editor's pane gives back for the bytes it was given: every line break (CR LF, LF or
// CR) as CR LF, a final break kept, the bytes of each line unchanged.
std::string paneText(const std::string& bytes)
{
    return std::regex_replace(bytes, std::regex("\r\n|\r|\n"), "\r\n");
}

// The edit of the golden cases: the line "<p>added</p>" appended at the end.
std::string appendLine(const std::string& pane)
{
    if (pane.empty())
        return "<p>added</p>";
    if (pane.size() >= 2 && pane.compare(pane.size() - 2, 2, "\r\n") == 0)
        return pane + "<p>added</p>\r\n";
    return pane + "\r\n<p>added</p>";
}

std::string bigPage()
{
    std::string page = "<html>\n<body>\n";
    for (int i = 0; page.size() < 5 * 1024 * 1024; ++i)
        page += "<p>Paragraph " + std::to_string(i) + " of a long page, with some text to fill it.</p>\n";
    return page + "</body>\n</html>\n";
}

// The scripted log-in's user and password (kLoginTranscript) at port.
void pointAt(FtpRemoteFiles& files, std::uint16_t port)
{
    files.Site = { "127.0.0.1", port, "ftp", "guestx@noplace" };
    files.setSilenceTimeout(5s);
}

struct Setup {
    FtpServerKind kind;
    bool async;
};

class RealRoundTrip : public ::testing::TestWithParam<Setup> {
protected:
    void SetUp() override
    {
        server = StartFtpServer(GetParam().kind);
        files.Site = { "127.0.0.1", server->port(), server->user(), server->password() };
        files.Async = GetParam().async;
        files.setSilenceTimeout(std::chrono::seconds(20));
        edit.LocalFolder = local.path() + "/";
        edit.OnOpened = [this](const std::string&, std::string_view bytes) { opened = bytes; };
    }
    // Open a remote file and write the pane's text back under the same name.
    void openAndWriteBack(const std::string& name, const std::function<std::string(const std::string&)>& action)
    {
        ASSERT_TRUE(edit.Open(name));
        ASSERT_EQ(edit.WriteBack(action(paneText(opened))), kStored);
    }
    std::unique_ptr<FtpServer> server;
    FtpRemoteFiles files;
    QTemporaryDir temp;
    QTemporaryDir local;
    RemoteEdit edit{ files, temp.path() + "/" };
    std::string opened;
};

std::string nameOf(const ::testing::TestParamInfo<Setup>& info)
{
    return std::string(FtpServerName(info.param.kind)) + (info.param.async ? "_async" : "_sync");
}

} // namespace

TEST_P(RealRoundTrip, GoldenFilesComeBackByteForByteAndEditsKeepTheirStyle)
{
    const QDir golden(QString(TEST_DATA_DIR) + "/quellin/roundtrip");
    const QStringList inputs = golden.entryList({ "*.input" }, QDir::Files, QDir::Name);
    ASSERT_EQ(inputs.size(), 6);
    for (const QString& input : inputs) {
        const std::string name = input.chopped(6).toStdString() + ".html";
        SCOPED_TRACE(name);
        const std::string bytes = readFile(golden.filePath(input));
        server->write(name, bytes);
        openAndWriteBack(name, [](const std::string& pane) { return pane; });
        EXPECT_TRUE(server->read(name) == bytes) << "unchanged";
        openAndWriteBack(name, appendLine);
        EXPECT_TRUE(server->read(name) == readFile(golden.filePath(input.chopped(6) + ".edited"))) << "edited";
    }
    const std::string big = bigPage();
    server->write("big.html", big);
    openAndWriteBack("big.html", [](const std::string& pane) { return pane; });
    EXPECT_TRUE(server->read("big.html") == big) << "5 MB page";
}

TEST_P(RealRoundTrip, RenamedTextIsASecondFileAndWriteBacksStayInTheFolderTheFileCameFrom)
{
    server->write("index.html", "<p>first</p>\n");
    server->makeFolder("other");
    ASSERT_TRUE(edit.Open("index.html"));
    EXPECT_EQ(edit.EditTempName, "index.html");
    EXPECT_EQ(readFile(edit.DownloadFile("index.html")), opened);
    edit.EditTempName = "copy.html";
    ASSERT_EQ(edit.WriteBack("<p>second</p>\r\n"), kStored);
    EXPECT_EQ(server->read("copy.html"), "<p>second</p>\n");
    EXPECT_EQ(server->read("index.html"), "<p>first</p>\n");
    // Walking elsewhere (or a new log-in) does not move where the file goes back to.
    files.ChangeFolder("other");
    ASSERT_EQ(edit.WriteBack("<p>third</p>\r\n"), kStored);
    EXPECT_EQ(server->read("copy.html"), "<p>third</p>\n");
    EXPECT_FALSE(server->exists("other/copy.html"));
    EXPECT_EQ(files.CurrentFolder(), "/other") << "the session stays where the user went";
}

// 210 MB of leftovers after one session: each copy goes once it is no longer needed.
TEST_P(RealRoundTrip, NoTemporaryCopyOutlivesItsUse)
{
    server->write("a.html", "a\n");
    server->write("b.html", "b\n");
    server->makeFolder("sub");
    const auto leftovers = [&] { return QDir(temp.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries); };
    {
        RemoteEdit session(files, temp.path() + "/");
        ASSERT_TRUE(session.Open("a.html"));
        ASSERT_EQ(session.WriteBack("a, edited\r\n"), kStored);
        EXPECT_EQ(leftovers(), QStringList{ "a.html.DOWNLOAD" }) << "the upload copy went after the write-back";
        session.EditTempName = "gone/x.html";
        EXPECT_THROW(session.WriteBack("x\r\n"), EUnsafeName);
        ASSERT_TRUE(session.Open("b.html"));
        EXPECT_EQ(leftovers(), QStringList{ "b.html.DOWNLOAD" }) << "the next open replaced the last one's copy";
        session.EditTempName = "sub";
        EXPECT_THROW(session.WriteBack("b, edited\r\n"), EWriteBackFailed) << "a folder in the way";
        EXPECT_EQ(leftovers(), QStringList{ "b.html.DOWNLOAD" }) << "a failed write-back leaves no upload copy";
    }
    EXPECT_EQ(leftovers(), QStringList{}) << "nothing left at the end";
}

TEST_P(RealRoundTrip, CopiesBothWaysKeepEveryByte)
{
    std::string binary(256 * 1024, '\0');
    std::mt19937 random(3);
    for (auto& b : binary)
        b = static_cast<char>(random());
    binary += "\r\n\n\r";
    server->write("data.bin", binary);
    writeFile(edit.LocalFolder + "data.bin", "the old local file");
    ASSERT_TRUE(edit.CopyToLocal("data.bin"));
    EXPECT_TRUE(readFile(edit.LocalFolder + "data.bin") == binary);
    EXPECT_EQ(files.session().DataStream.size(), 0) << "a copy goes to its file, not into memory";
    ASSERT_TRUE(edit.CopyToFtp(edit.LocalFolder + "data.bin", "back.bin"));
    EXPECT_TRUE(server->read("back.bin") == binary);
}

// Only an asynchronous listing lets a command run inside it.
class RealRoundTripAsync : public RealRoundTrip {};

TEST_P(RealRoundTripAsync, WriteBackWhileAListingRunsDoesNothing)
{
    server->write("index.html", "<p>kept</p>\n");
    ASSERT_TRUE(edit.Open("index.html"));
    int refused = 0;
    files.session().OnDataReceived = [&](QObject*, t_ftp_mode mode, std::int64_t) {
        if (mode == tftp_getdir && edit.WriteBack("<p>changed</p>\r\n") != kStored)
            ++refused;
    };
    files.List(".");
    EXPECT_GE(refused, 1);
    EXPECT_EQ(server->read("index.html"), "<p>kept</p>\n");
}

INSTANTIATE_TEST_SUITE_P(Servers, RealRoundTrip,
                         ::testing::Values(Setup{ FtpServerKind::Vsftpd, false }, Setup{ FtpServerKind::Vsftpd, true },
                                           Setup{ FtpServerKind::Pyftpdlib, false },
                                           Setup{ FtpServerKind::Pyftpdlib, true }),
                         nameOf);

INSTANTIATE_TEST_SUITE_P(Servers, RealRoundTripAsync,
                         ::testing::Values(Setup{ FtpServerKind::Vsftpd, true }, Setup{ FtpServerKind::Pyftpdlib, true }),
                         nameOf);

namespace {

class ScriptedRoundTrip : public ::testing::Test {
protected:
    void start(Script steps)
    {
        server = std::make_unique<ScriptedServer>(std::move(steps));
        pointAt(files, server->port());
        edit.OnProgress = [this](const std::string& text) { progress.push_back(text); };
        edit.OnOpened = [this](const std::string&, std::string_view bytes) { opened = bytes; };
    }
    std::unique_ptr<ScriptedServer> server;
    FtpRemoteFiles files;
    QTemporaryDir temp;
    RemoteEdit edit{ files, temp.path() + "/" };
    std::vector<std::string> progress;
    std::string opened;
};

// The stamp unknown and PWD (where the first log-in stands), SIZE answered with sizeReply, a
// passive RETR of data.
Script openSteps(const std::string& sizeReply, const std::string& data)
{
    return join(join(loginSteps(), UnknownStat(true)),
                { expectLine(), send("257 \"/\" is the current folder\r\n"), expectLine(), send(sizeReply), listenData(),
                  expectLine(), send("227 ({pasv})\r\n"), expectLine(), acceptData(), send("150 go\r\n"),
                  dataSendSlowly(data, 1000, std::chrono::milliseconds(1)), dataClose(), send("226 done\r\n") });
}

} // namespace

TEST_F(ScriptedRoundTrip, ProgressTextsWithAndWithoutSize)
{
    const struct {
        const char* sizeReply;
        const char* last;
    } cases[] = { { "213 2048\r\n", "2048 of 2048 Bytes received" }, { "550 SIZE not allowed\r\n", "2048 Bytes received" } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sizeReply);
        progress.clear();
        start(openSteps(c.sizeReply, std::string(2048, 'x')));
        ASSERT_TRUE(edit.Open("index.html"));
        ASSERT_GE(progress.size(), 2u);
        EXPECT_EQ(progress.back(), c.last);
        EXPECT_EQ(progress[progress.size() - 2], c.last) << "the final read of 0 bytes adds nothing";
        EXPECT_EQ(opened.size(), 2048u);
        EXPECT_TRUE(server->finish()) << server->failure();
        files.Disconnect();
    }
}

// A server cannot fill the editor's memory: an open past the limit ends as soon as the SIZE
// answer or the bytes received pass it; Copy To Local streams the same file to disk.
TEST_F(ScriptedRoundTrip, OpeningPastTheLimitIsRefusedAndCopyToLocalHasNoLimit)
{
    const struct {
        const char* name;
        const char* sizeReply;
        bool async;
    } cases[] = {
        { "SIZE tells, sync", "213 10485760\r\n", false },
        { "SIZE tells, async", "213 10485760\r\n", true },
        { "no SIZE, the bytes tell, sync", "550 no size\r\n", false },
        { "no SIZE, the bytes tell, async", "550 no size\r\n", true },
    };
    // Small enough to sit whole in the socket's buffer: the server's send never sees our close.
    const std::string data(32 * 1024, 'x');
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FtpRemoteFiles session;
        QTemporaryDir folder;
        RemoteEdit limited(session, folder.path() + "/");
        limited.OpenLimit = 4096;
        bool opened = false;
        limited.OnOpened = [&](const std::string&, std::string_view) { opened = true; };
        Script steps = join(join(loginSteps(), UnknownStat(true)), { expectLine(), send("257 \"/\"\r\n"), expectLine(), send(c.sizeReply), listenData(), expectLine(),
                                            send("227 ({pasv})\r\n"), expectLine(), acceptData(), send("150 go\r\n"),
                                            dataSend(data), dataClose(), send("226 done\r\n") });
        steps = join(steps, { expectLine(), send(c.sizeReply), listenData(), expectLine(), send("227 ({pasv})\r\n"),
                              expectLine(), acceptData(), send("150 go\r\n"), dataSend(data), dataClose(),
                              send("226 done\r\n") });
        ScriptedServer server(steps);
        pointAt(session, server.port());
        session.Async = c.async;
        try {
            limited.Open("big.bin");
            FAIL() << "opened past the limit";
        } catch (const EFileTooLarge& e) {
            EXPECT_EQ(e.message(), "\"big.bin\" is larger than 4096 bytes, too large to open in the editor; use Copy To Local "
                                   "to save it to disk.");
        }
        EXPECT_FALSE(opened);
        EXPECT_EQ(limited.EditTempName, "");
        EXPECT_NE(session.State(), remote::ConnectionState::Busy);
        EXPECT_FALSE(QFile::exists(limited.DownloadFile("big.bin")));

        QTemporaryDir local;
        limited.LocalFolder = local.path() + "/";
        ASSERT_TRUE(limited.CopyToLocal("big.bin"));
        EXPECT_EQ(readFile(limited.LocalFolder + "big.bin"), data);
        EXPECT_TRUE(server.finish()) << server.failure();
    }
}

// The server goes away while a file of /nested/level2 is open; a log-in fails while it is still
// away. The write-back that finally logs in goes back to /nested/level2, or is refused when that
// folder is gone: never into the log-in folder, where an index.html would overwrite the home page.
TEST_F(ScriptedRoundTrip, AWriteBackAfterTheServerWasAwayGoesToTheFolderTheFileCameFromOrNowhere)
{
    const Script loggedIn = join(loginSteps(), { expectLine(), send("250 ok\r\n"), expectLine(), send("257 \"/nested\"\r\n"),
                                               expectLine(), send("250 ok\r\n"), expectLine(),
                                               send("257 \"/nested/level2\"\r\n") });
    const Script opened = join(join(loggedIn, UnknownStat(true)), { expectLine(), send("213 4\r\n"),
                                               listenData(), expectLine(), send("227 ({pasv})\r\n"), expectLine(),
                                               acceptData(), send("150 go\r\n"), dataSend("mid\n"), dataClose(),
                                               send("226 done\r\n"), close(), accept(), close(), accept(), close() });
    const std::string openedTranscript =
        kLoginTranscript + "CWD /nested\r\nPWD\r\nCWD level2\r\nPWD\r\n" + UnknownStatSent("mid.html", true)
        + "SIZE mid.html\r\nPASV\r\nRETR mid.html\r\n";
    const struct {
        const char* name;
        Script back;
        std::string transcript;
        const char* failure;
    } cases[] = {
        { "the folder is there",
          join(join({ expectLine(), send("250 back\r\n") }, UnknownStat(true)), WholeStore()),
          "CWD /nested/level2\r\n" + UnknownStatSent("mid.html", true) + WholeStoreSent("mid.html"), nullptr },
        { "the folder is gone",
          { expectLine(), send("550 No such directory.\r\n"), expectClose() },
          "CWD /nested/level2\r\n",
          "Logged in again, but the folder \"/nested/level2\" cannot be reached: No such directory." },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FtpRemoteFiles session;
        QTemporaryDir folder;
        RemoteEdit roundTrip(session, folder.path() + "/");
        ScriptedServer s(join(join(opened, loginSteps()), c.back));
        pointAt(session, s.port());
        session.ChangeFolder("/nested");
        session.ChangeFolder("level2");
        ASSERT_TRUE(roundTrip.Open("mid.html"));
        EXPECT_EQ(roundTrip.EditFolder(), "/nested/level2");
        for (int attempt = 0; attempt < 2; ++attempt)
            EXPECT_THROW(roundTrip.WriteBack("changed\r\n"), EWriteBackFailed) << "the server is away";
        if (!c.failure) {
            EXPECT_EQ(roundTrip.WriteBack("changed\r\n"), kStored);
        } else {
            try {
                roundTrip.WriteBack("changed\r\n");
                FAIL() << "written somewhere";
            } catch (const EWriteBackFailed& e) {
                EXPECT_NE(e.message().find(c.failure), std::string::npos) << e.message();
            }
            EXPECT_EQ(session.State(), remote::ConnectionState::LoggedOut);
        }
        EXPECT_TRUE(s.finish()) << s.failure();
        EXPECT_EQ(TemporaryNamed(s.transcript()), openedTranscript + kLoginTranscript + c.transcript);
        EXPECT_EQ(s.dataReceived(), c.failure ? "" : "changed\n");
    }
}

TEST_F(ScriptedRoundTrip, ServerClosingDuringStorLosesNothingAndTheNextWriteBackWorks)
{
    Script steps = join(openSteps("213 6\r\n", "hello\n"), UnknownStat());
    steps = join(steps, { listenData(), expectLine(), send("227 ({pasv})\r\n"), expectLine(), acceptData(),
                          send("150 go\r\n"), dataClose(), close() });
    // The temporary file is removed after logging in again; the new log-in is asked FEAT again.
    steps = join(join(join(steps, loginSteps()), { expectLine(), send("250 deleted\r\n") }), join(UnknownStat(true), WholeStore()));
    start(steps);
    ASSERT_TRUE(edit.Open("page.html"));
    try {
        edit.WriteBack("changed\r\n");
        FAIL() << "a lost write-back reported as success";
    } catch (const EWriteBackFailed& e) {
        EXPECT_NE(std::string(e.what()).find("\"page.html\" was not written"), std::string::npos) << e.what();
    }
    EXPECT_NE(files.State(), remote::ConnectionState::Busy);
    ASSERT_EQ(edit.WriteBack("changed\r\n"), kStored);
    EXPECT_TRUE(server->finish()) << server->failure();
    EXPECT_EQ(server->dataReceived(), "changed\n");
}

TEST_F(ScriptedRoundTrip, HostileNamesAreRefusedBeforeAnythingIsSentOrWritten)
{
    start(loginSteps());
    QTemporaryDir localFolder;
    edit.LocalFolder = localFolder.path() + "/";
    for (const std::string& name : std::initializer_list<std::string>{ "../evil.html", "a/b.html", "a\\b.html", ".", "..", "", "note.txt\r\nDELE index.html",
                                    "a\nb", "tab\there", std::string("nul\0x", 5), "esc\x1b", "del\x7f", "\x01" }) {
        SCOPED_TRACE(name);
        EXPECT_THROW(edit.Open(name), EUnsafeName);
        EXPECT_THROW(edit.CopyToLocal(name), EUnsafeName);
        EXPECT_THROW(edit.CopyToFtp(localFolder.path() + "/x", name), EUnsafeName);
        edit.EditTempName = name;
        if (!name.empty()) {
            EXPECT_THROW(edit.WriteBack("text"), EUnsafeName);
        }
    }
    EXPECT_EQ(files.State(), remote::ConnectionState::LoggedOut) << "nothing was sent";
    EXPECT_EQ(QDir(temp.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(), 0);
}

TEST(EditableText, TextInEitherEncodingYesNulOrBytesUndefinedInBothNo)
{
    const struct {
        const char* name;
        std::string bytes;
        bool editable;
    } cases[] = {
        { "empty", "", true },
        { "ASCII with every line break", "a\nb\r\nc\rd\te\f", true },
        { "UTF-8", "caf\xc3\xa9 \xe2\x86\x92", true },
        { "UTF-8 byte order mark", "\xef\xbb\xbfx", true },
        { "Windows-1252", "caf\xe9 \x80 \x9f", true },
        { "a NUL", std::string("ab\0c", 4), false },
        { "UTF-16", std::string("\xff\xfe<\0p\0", 6), false },
        { "undefined in Windows-1252, invalid UTF-8", "\xe9\x81", false },
        { "the five undefined bytes", "\x8d\x8f\x90\x9d", false },
        { "a valid UTF-8 character holding such a byte", "\xc2\x81", true },
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsEditableText(c.bytes), c.editable) << c.name;
}

TEST(EditableText, CharactersWindows1252LacksAreNamedOnceEach)
{
    EXPECT_EQ(CharactersOutsideWindows1252(QStringLiteral("caf\u00e9 \u20ac \u0160 \u2122")), QString());
    EXPECT_EQ(CharactersOutsideWindows1252(QStringLiteral("\u03a9\u2192\u03a9x\u2192")), QStringLiteral("\u03a9\u2192"));
    EXPECT_EQ(CharactersOutsideWindows1252(QString::fromUtf8("a\xf0\x9f\x98\x80" "b")), QString::fromUtf8("\xf0\x9f\x98\x80"))
        << "a character outside the first plane is one character";
    EXPECT_EQ(CharactersOutsideWindows1252(QString(QChar(0xD800)) + "x"), QString(QChar(0xD800))) << "a lone surrogate";
    QString many;
    for (char16_t c = 0x0400; c < 0x0500; ++c)
        many += QChar(c);
    EXPECT_EQ(CharactersOutsideWindows1252(many, 20).size(), 20);
}

TEST(SafeNames, TheMessageShowsControlCharactersSoTheyCannotFakeALine)
{
    try {
        RequireSafeFileName("note.txt\r\nDELE index.html");
        FAIL();
    } catch (const EUnsafeName& e) {
        EXPECT_EQ(e.message(), "The name \"note.txt<0D><0A>DELE index.html\" cannot be used as a file name: a name must "
                               "not hold control characters (line breaks, tabs, bytes below 32 or 127). Nothing was "
                               "transferred.");
    }
}

TEST_F(ScriptedRoundTrip, FailedCopyToLocalLeavesTheOldFileAsItWas)
{
    start(join(loginSteps(), { expectLine(), send("213 100\r\n"), listenData(),
                               expectLine(), send("227 ({pasv})\r\n"), expectLine(), acceptData(), send("150 go\r\n"),
                               dataSend("partial"), dataClose(), send("426 aborted\r\n") }));
    QTemporaryDir localFolder;
    edit.LocalFolder = localFolder.path() + "/";
    writeFile(edit.LocalFolder + "a.bin", "old content");
    EXPECT_THROW(edit.CopyToLocal("a.bin"), remote::ERemoteError);
    EXPECT_EQ(readFile(edit.LocalFolder + "a.bin"), "old content");
    EXPECT_EQ(QDir(localFolder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{ "a.bin" });
}

TEST(PrivateTempFolder, IsThisUsersAloneAndRefusesAnotherKind)
{
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    const QString folder = platform::core::PrivateTempFolder("quellin");
    EXPECT_EQ(folder, runtime.path() + "/quellin/");
    EXPECT_EQ(QFile::permissions(folder), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                              | QFile::ReadUser | QFile::WriteUser | QFile::ExeUser);
    QDir(runtime.path()).rmdir("quellin");
    QFile::link("/tmp", runtime.path() + "/quellin");
    EXPECT_THROW(platform::core::PrivateTempFolder("quellin"), base::EFileError) << "a link is refused";
    qunsetenv("XDG_RUNTIME_DIR");
}
