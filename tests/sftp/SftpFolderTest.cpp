// Listing and folder commands through a real sshd.
#include "SftpTestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <algorithm>

namespace {

using sftptest::Client;

class SftpFolderTest : public ::testing::Test {
protected:
    void SetUp() override { server_ = testservers::StartSshServer(); }
    std::vector<std::string> names(const std::vector<remote::RemoteEntry>& entries)
    {
        std::vector<std::string> out;
        for (const auto& e : entries)
            out.push_back(e.name);
        std::sort(out.begin(), out.end());
        return out;
    }
    std::unique_ptr<testservers::SshServer> server_;
};

TEST_F(SftpFolderTest, ListingGivesKindsSizesAndTimes)
{
    server_->write("page one.html", "12345");
    server_->makeFolder("sub folder");
    const std::string file = server_->root() + "/page one.html";
    utimbuf times{ 1600000000, 1600000000 };
    ASSERT_EQ(::utime(file.c_str(), &times), 0);
    ::symlink("page one.html", (server_->root() + "/link").c_str());
    Client client(*server_);
    const auto entries = client.session.List(".");
    ASSERT_EQ(names(entries), (std::vector<std::string>{ "link", "page one.html", "sub folder" }));
    for (const auto& e : entries) {
        if (e.name == "page one.html") {
            EXPECT_EQ(e, (remote::RemoteEntry{ "page one.html", 5, remote::EntryKind::File, 1600000000 }));
        } else if (e.name == "sub folder") {
            EXPECT_EQ(e.kind, remote::EntryKind::Folder);
        } else {
            EXPECT_EQ(e.kind, remote::EntryKind::Link);
        }
    }
}

TEST_F(SftpFolderTest, NamesWithControlCharactersAreLeftOutAndTraced)
{
    const std::vector<std::string> hostile = { "line\nbreak", "ret\rurn", "esc\x1B[2J", "del\x7F", "tab\there" };
    for (const auto& name : hostile)
        server_->write(name, "x");
    server_->write("fine name.txt", "x");
    Client client(*server_);
    std::vector<std::string> traces;
    client.session.OnTrace = [&](const std::string& text, remote::TraceLevel) { traces.push_back(text); };
    EXPECT_EQ(names(client.session.List("")), (std::vector<std::string>{ "fine name.txt" }));
    const auto leftOut = std::count_if(traces.begin(), traces.end(), [](const std::string& t) {
        return t.rfind("Left out an unusable name", 0) == 0;
    });
    EXPECT_EQ(leftOut, static_cast<long>(hostile.size()));
    for (const auto& t : traces)
        EXPECT_EQ(std::count_if(t.begin(), t.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }), 0)
            << "a control character reached the trace";
}

TEST_F(SftpFolderTest, FolderIsListedByRelativeOrAbsolutePathWithoutChangingTheCurrentOne)
{
    server_->makeFolder("a/b");
    server_->write("a/b/in-b.txt", "x");
    Client client(*server_);
    EXPECT_EQ(names(client.session.List("a/b")), (std::vector<std::string>{ "in-b.txt" }));
    EXPECT_EQ(names(client.session.List(server_->root() + "/a")), (std::vector<std::string>{ "b" }));
    EXPECT_EQ(client.session.CurrentFolder(), server_->root());
    EXPECT_THROW(client.session.List("no such folder"), remote::ERemoteError);
}

TEST_F(SftpFolderTest, TwentyThousandEntriesAreListed)
{
    server_->makeFolder("many");
    for (int i = 0; i < 20000; ++i)
        ::close(::open((server_->root() + "/many/f" + std::to_string(i)).c_str(), O_CREAT | O_WRONLY, 0644));
    Client client(*server_);
    EXPECT_EQ(client.session.List("many").size(), 20000U);
}

TEST_F(SftpFolderTest, MakeRenameAndDeleteChangeTheServersFiles)
{
    server_->write("old.txt", "content");
    server_->write("replaced.txt", "to be replaced");
    Client client(*server_);
    client.session.MakeFolder("new folder");
    EXPECT_TRUE(server_->exists("new folder"));
    client.session.Rename("old.txt", "renamed.txt");
    EXPECT_FALSE(server_->exists("old.txt"));
    EXPECT_EQ(server_->read("renamed.txt"), "content");
    client.session.Rename("renamed.txt", "replaced.txt");
    EXPECT_EQ(server_->read("replaced.txt"), "content");
    client.session.Delete("replaced.txt");
    EXPECT_FALSE(server_->exists("replaced.txt"));
    client.session.RemoveFolder("new folder");
    EXPECT_FALSE(server_->exists("new folder"));
}

TEST_F(SftpFolderTest, FailedCommandsSayWhy)
{
    Client client(*server_);
    const auto message = [&](const std::function<void()>& command) {
        try {
            command();
        } catch (const remote::ERemoteError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_NE(message([&] { client.session.Delete("missing"); }).find("No such file"), std::string::npos);
    EXPECT_NE(message([&] { client.session.ChangeFolder("missing"); }).find("Cannot change to missing"),
              std::string::npos);
    server_->makeFolder("full");
    server_->write("full/x", "x");
    EXPECT_NE(message([&] { client.session.RemoveFolder("full"); }).find("Cannot remove the folder full"),
              std::string::npos);
}

TEST_F(SftpFolderTest, ChangeFolderMovesTheCurrentFolderAndBack)
{
    server_->makeFolder("a/b");
    server_->write("a/b/deep.txt", "deep");
    Client client(*server_);
    client.session.Connect();
    const std::string start = client.session.CurrentFolder();
    EXPECT_EQ(start, server_->root());
    client.session.ChangeFolder("a/b");
    EXPECT_EQ(client.session.CurrentFolder(), server_->root() + "/a/b");
    base::MemoryStream target;
    client.session.Retrieve("deep.txt", target);
    EXPECT_EQ(target.data(), "deep");
    client.session.ChangeFolder("..");
    client.session.ChangeFolder("..");
    EXPECT_EQ(client.session.CurrentFolder(), start);
    server_->write("plain.txt", "x");
    EXPECT_THROW(client.session.ChangeFolder("plain.txt"), remote::ERemoteError);
    EXPECT_EQ(client.session.CurrentFolder(), start);
}

TEST_F(SftpFolderTest, StatGivesSizeAndModificationTime)
{
    server_->write("s.txt", "1234567");
    utimbuf times{ 1700000000, 1700000000 };
    ASSERT_EQ(::utime((server_->root() + "/s.txt").c_str(), &times), 0);
    ASSERT_EQ(::chmod((server_->root() + "/s.txt").c_str(), 0640), 0);
    Client client(*server_);
    EXPECT_EQ(client.session.Stat("s.txt"), (remote::RemoteEntry{ "s.txt", 7, remote::EntryKind::File, 1700000000, 0640 }));
}

TEST_F(SftpFolderTest, HostileNamesAreRefusedBeforeAnythingIsSent)
{
    Client client(*server_);
    base::MemoryStream stream;
    const std::string bad = "x\ny";
    EXPECT_THROW(client.session.Retrieve(bad, stream), remote::ERemoteNameRefused);
    EXPECT_THROW(client.session.Store(stream, bad), remote::ERemoteNameRefused);
    EXPECT_THROW(client.session.Delete("../escape"), remote::ERemoteNameRefused);
    EXPECT_THROW(client.session.Rename("ok", std::string("a\0b", 3)), remote::ERemoteNameRefused);
    EXPECT_THROW(client.session.MakeFolder(std::string(300, 'm')), remote::ERemoteNameRefused);
    EXPECT_THROW(client.session.ChangeFolder("a\rb"), remote::ERemoteNameRefused);
    EXPECT_THROW(client.session.Stat(".."), remote::ERemoteNameRefused);
    remotecontract::ExpectEveryHostileNameRefused(client.session);
    EXPECT_EQ(client.session.State(), remote::ConnectionState::LoggedOut) << "something reached the server";
}

} // namespace
