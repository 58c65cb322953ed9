// The session against real vsftpd and pyftpdlib, synchronous and asynchronous, passive and
// active: what a user does with Quellin, compared on the server's disk.
#include "FtpServers.h"
#include "FtpTestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>

#include <sys/time.h>

#include <algorithm>
#include <random>

using namespace tcpip;
using namespace tcpiptest;
using namespace testservers;

namespace {

struct Setup {
    FtpServerKind kind;
    bool async;
    bool passive;
};

std::string nameOf(const Setup& s)
{
    return std::string(FtpServerName(s.kind)) + (s.async ? "_async" : "_sync") + (s.passive ? "_passive" : "_active");
}

std::string randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (auto& b : bytes)
        b = static_cast<char>(random());
    return bytes;
}

void setOldTime(const std::string& path)
{
    const timeval times[2] = { { 911476800, 0 }, { 911476800, 0 } }; // 1998-11-19 12:00 UTC
    ::lutimes(path.c_str(), times);
}

class Session {
public:
    Session(const FtpServer& server, bool async, bool passive)
    {
        pointAt(ftp, server.port());
        ftp.Username = server.user();
        ftp.Password = server.password();
        ftp.Async = async;
        ftp.Passive = passive;
        ftp.setSilenceTimeout(20s);
    }
    std::vector<std::pair<std::string, int>> list(const std::string& folder = ".")
    {
        ftp.ListDirectory(folder);
        std::vector<std::pair<std::string, int>> found;
        for (;;) {
            t_filedata e;
            ftp.GetDirEntry(e);
            if (e.type == ft_none) {
                std::sort(found.begin(), found.end());
                return found;
            }
            found.emplace_back(e.name, e.type);
            entries.push_back(e);
        }
    }
    void store(const std::string& name, const std::string& bytes)
    {
        ftp.DataStream.clear();
        ftp.DataStream.write(bytes);
        ftp.URI = name;
        ftp.Store();
    }
    std::string retrieve(const std::string& name)
    {
        ftp.URI = name;
        ftp.Retrieve();
        return std::string(ftp.DataStream.data());
    }
    T_FTP ftp;
    std::vector<t_filedata> entries;
};

class RealFtp : public ::testing::TestWithParam<Setup> {
protected:
    void SetUp() override
    {
        server = StartFtpServer(GetParam().kind);
        session = std::make_unique<Session>(*server, GetParam().async, GetParam().passive);
    }
    std::unique_ptr<FtpServer> server;
    std::unique_ptr<Session> session;
};

} // namespace

TEST_P(RealFtp, LogInChangeFolderAndListFilesFoldersAndLinks)
{
    server->write("www/index.html", "<html></html>\n");
    server->write("www/target.html", "t");
    server->makeFolder("www/sub");
    server->symlink("target.html", "www/current");
    server->write("www/old.txt", "12345");
    setOldTime(server->root() + "/www/old.txt");

    T_FTP& ftp = session->ftp;
    ftp.Connect();
    EXPECT_TRUE(ftp.Connected());
    ftp.ChangeDir("www");
    EXPECT_EQ(ftp.ReplyCode, 250);
    const auto found = session->list();
    const std::vector<std::pair<std::string, int>> expected = {
        { "current", ft_link }, { "index.html", ft_file }, { "old.txt", ft_file },
        { "sub", ft_directory }, { "target.html", ft_file },
    };
    EXPECT_EQ(found, expected);
    const auto old = std::find_if(session->entries.begin(), session->entries.end(),
                                  [](const t_filedata& e) { return e.name == "old.txt"; });
    ASSERT_NE(old, session->entries.end());
    EXPECT_EQ(old->size, 5);
    EXPECT_EQ(DateTime(old->date).date(), (CivilDate{ 1998, 11, 19 }));
    const auto index = std::find_if(session->entries.begin(), session->entries.end(),
                                    [](const t_filedata& e) { return e.name == "index.html"; });
    EXPECT_EQ(index->size, 14);
    EXPECT_FALSE(ftp.Busy());
    ftp.Disconnect();
    EXPECT_FALSE(ftp.Connected());
}

TEST_P(RealFtp, RetrieveTextAndBinaryEveryByte)
{
    const std::string binary = randomBytes(300 * 1024 + 3, 7);
    server->write("data.bin", binary);
    server->write("page.htm", "<p>one</p>\n<p>two</p>\n");
    T_FTP& ftp = session->ftp;
    EXPECT_EQ(session->retrieve("data.bin"), binary);
    EXPECT_EQ(ftp.TransferSize, static_cast<std::int64_t>(binary.size())) << "SIZE answered";
    ftp.SendLine("TYPE A");
    ftp.ReadReply();
    EXPECT_EQ(session->retrieve("page.htm"), "<p>one</p>\r\n<p>two</p>\r\n") << "text mode converts line ends";
    ftp.SendLine("TYPE I");
    ftp.ReadReply();
    EXPECT_EQ(session->retrieve("page.htm"), "<p>one</p>\n<p>two</p>\n");
}

TEST_P(RealFtp, StoreEmptyOneByteAndOneMegabyte)
{
    const std::string mega = randomBytes(1024 * 1024, 11);
    session->store("empty.txt", "");
    session->store("one.txt", "x");
    session->store("mega.bin", mega);
    EXPECT_TRUE(server->exists("empty.txt"));
    EXPECT_EQ(server->read("empty.txt"), "");
    EXPECT_EQ(server->read("one.txt"), "x");
    EXPECT_TRUE(server->read("mega.bin") == mega);
    EXPECT_EQ(session->ftp.TransferSize, 1024 * 1024);
}

// A stream loaded from a file is sent from the file itself until it is changed; a file cut
// short meanwhile is a clean failure that leaves the session usable.
TEST_P(RealFtp, StoreFromALoadedFileItsChangesAndAFileCutShort)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("up.bin").toStdString();
    const std::string mega = randomBytes(1024 * 1024, 12);
    base::WriteWholeFile(path, mega);
    auto storeFile = [&](const std::string& name, auto&& change) {
        session->ftp.DataStream.loadFromFile(path);
        change();
        session->ftp.URI = name;
        session->ftp.Store();
    };
    storeFile("same.bin", [] {});
    EXPECT_TRUE(server->read("same.bin") == mega);
    storeFile("changed.bin", [&] { session->ftp.DataStream.write("HEAD"); });
    EXPECT_TRUE(server->read("changed.bin") == "HEAD" + mega.substr(4));
    EXPECT_THROW(storeFile("cut.bin", [&] { std::filesystem::resize_file(path, 1000); }), ETcpIpError);
    session->store("after.txt", "x");
    EXPECT_EQ(server->read("after.txt"), "x");
}

TEST_P(RealFtp, FolderAndFileOperationsAndA550)
{
    server->write("old.html", "old");
    T_FTP& ftp = session->ftp;
    ftp.MakeDir("newdir");
    EXPECT_TRUE(server->exists("newdir"));
    ftp.RenameFile("old.html", "new.html");
    EXPECT_FALSE(server->exists("old.html"));
    EXPECT_EQ(server->read("new.html"), "old");
    ftp.DeleteFile("new.html");
    EXPECT_FALSE(server->exists("new.html"));
    ftp.RemoveDir("newdir");
    EXPECT_FALSE(server->exists("newdir"));
    try {
        ftp.DeleteFile("missing.html");
        FAIL() << "no error";
    } catch (const EProtocolError& e) {
        EXPECT_EQ(e.ReplyCode, 550);
        EXPECT_EQ(e.Protocol, "FTP");
        EXPECT_EQ(e.message(), ftp.ReplyText);
        EXPECT_FALSE(e.message().empty());
    }
    ftp.ChangeDir("/");
    EXPECT_EQ(ftp.ReplyCode, 250) << "the session goes on after an error";
}

INSTANTIATE_TEST_SUITE_P(Matrix, RealFtp,
                         ::testing::Values(Setup{ FtpServerKind::Vsftpd, false, true }, Setup{ FtpServerKind::Vsftpd, false, false },
                                           Setup{ FtpServerKind::Vsftpd, true, true }, Setup{ FtpServerKind::Vsftpd, true, false },
                                           Setup{ FtpServerKind::Pyftpdlib, false, true },
                                           Setup{ FtpServerKind::Pyftpdlib, false, false },
                                           Setup{ FtpServerKind::Pyftpdlib, true, true },
                                           Setup{ FtpServerKind::Pyftpdlib, true, false }),
                         [](const auto& info) { return nameOf(info.param); });

class RealFtpAsync : public RealFtp {};

TEST_P(RealFtpAsync, BusyRefusalDuringATransfer)
{
    server->write("big.bin", randomBytes(4 * 1024 * 1024, 3));
    T_FTP& ftp = session->ftp;
    int refused = 0;
    ftp.OnDataReceived = [&](QObject*, t_ftp_mode mode, std::int64_t) {
        EXPECT_EQ(mode, tftp_download);
        try {
            ftp.ChangeDir("/");
        } catch (const EProtocolBusy&) {
            ++refused;
        }
    };
    EXPECT_EQ(session->retrieve("big.bin").size(), 4u * 1024 * 1024);
    EXPECT_GE(refused, 1);
    EXPECT_FALSE(ftp.Busy());
    ftp.OnDataReceived = nullptr;
    ftp.ChangeDir("/");
}

INSTANTIATE_TEST_SUITE_P(Servers, RealFtpAsync,
                         ::testing::Values(Setup{ FtpServerKind::Vsftpd, true, true }, Setup{ FtpServerKind::Vsftpd, true, false },
                                           Setup{ FtpServerKind::Pyftpdlib, true, true },
                                           Setup{ FtpServerKind::Pyftpdlib, true, false }),
                         [](const auto& info) { return nameOf(info.param); });

class RealFtpLarge : public RealFtp {};

TEST_P(RealFtpLarge, StoreFiftyMegabytes)
{
    const std::string big = randomBytes(50 * 1024 * 1024, 5);
    session->store("fifty.bin", big);
    EXPECT_TRUE(server->read("fifty.bin") == big);
}

// Once per server, in different modes, to keep the suite quick.
INSTANTIATE_TEST_SUITE_P(Servers, RealFtpLarge,
                         ::testing::Values(Setup{ FtpServerKind::Vsftpd, true, true }, Setup{ FtpServerKind::Pyftpdlib, false, false }),
                         [](const auto& info) { return nameOf(info.param); });

class RealFtpNames : public RealFtp {};

// Names with blanks and "->" are listed whole, and opening one opens that file, not another.
TEST_P(RealFtpNames, BlanksAndArrowsInNamesAreKept)
{
    const std::vector<std::pair<std::string, int>> names = {
        { " leading.txt", ft_file }, { "a  b   c.txt", ft_file }, { "a -> b.txt", ft_file },
        { "index.html", ft_file },   { "old index.html", ft_file }, { "sub dir", ft_directory },
    };
    for (const auto& [name, type] : names) {
        if (type == ft_directory)
            server->makeFolder(name);
        else
            server->write(name, "content of " + name);
    }
    server->symlink("index.html", "link name");
    auto expected = names;
    expected.emplace_back("link name", ft_link);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(session->list(), expected);
    EXPECT_EQ(session->retrieve("old index.html"), "content of old index.html");
    session->ftp.ChangeDir("sub dir");
    EXPECT_EQ(session->ftp.ReplyCode, 250);
}

INSTANTIATE_TEST_SUITE_P(Servers, RealFtpNames,
                         ::testing::Values(Setup{ FtpServerKind::Vsftpd, false, true },
                                           Setup{ FtpServerKind::Pyftpdlib, false, true }),
                         [](const auto& info) { return nameOf(info.param); });
