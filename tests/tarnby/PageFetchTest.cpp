// The fetch shared by Tarnby's window and batch mode, headless: its log lines in their order,
// the document file in the current folder, the failure lines.
#include "tarnby/PageFetch.h"

#include "HttpServers.h"
#include "ScriptedServer.h"
#include "base/Exception.h"
#include "httpprot/HttpCli.h"

#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>

using namespace testservers::script;
using testservers::ScriptedServer;

namespace {

const std::string kEnd = "\r\n\r\n";

// Each test has a fresh cache folder, where the documents land, and works in it.
class PageFetchTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        qputenv("XDG_CACHE_HOME", folder.path().toLocal8Bit());
        QDir(folder.path()).mkdir("tarnby");
        previous = QDir::currentPath();
        QDir::setCurrent(folder.filePath("tarnby"));
        fetch.OnLog = [this](const std::string& line) { log.push_back(line); };
        fetch.OnRequestDone = [this] { log.push_back("(request done)"); };
    }
    void TearDown() override
    {
        QDir::setCurrent(previous);
        qunsetenv("XDG_CACHE_HOME");
    }

    // Fetch, then let the request-done event arrive.
    bool FetchAndSettle(const std::string& url)
    {
        const bool ok = fetch.Fetch(url);
        QEventLoop loop;
        QTimer::singleShot(100, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
        return ok;
    }

    std::string Cached(const std::string& name) const { return folder.filePath("tarnby").toStdString() + "/" + name; }

    std::string Url(const ScriptedServer& server, const std::string& path)
    {
        return "http://127.0.0.1:" + std::to_string(server.port()) + path;
    }

    QTemporaryDir folder;
    QString previous;
    httpprot::THttpCli client;
    tarnby::PageFetch fetch{client};
    std::vector<std::string> log;
};

TEST_F(PageFetchTest, SetsTheWindowsClientSettings)
{
    EXPECT_EQ(client.Agent(), "Tarnby v1.1c");
    EXPECT_EQ(client.ProxyPort(), "80");
    EXPECT_FALSE(client.NoCache());
    EXPECT_EQ(client.ContentTypePost(), "application/x-www-form-urlencoded");
    EXPECT_FALSE(client.MultiThreaded());
}

TEST_F(PageFetchTest, TheWorkedExampleLog)
{
    ScriptedServer server({accept(), expectUntil(kEnd),
                           send("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<A HREF=x>X</A>"), close()});
    ASSERT_TRUE(FetchAndSettle(Url(server, "/site/index.html")));
    EXPECT_EQ(log, (std::vector<std::string>{"text/html => index.html", "Document = " + Cached("index.html"), "StatusCode = 200",
                                             "hdr>HTTP/1.0 200 OK", "hdr>Content-Type: text/html",
                                             "(request done)", "Request Done Error = 0"}));
    EXPECT_EQ(fetch.ReadDocument(), "<A HREF=x>X</A>");
    EXPECT_EQ(base::ReadWholeFile(Cached("index.html")), "<A HREF=x>X</A>");
    ASSERT_TRUE(server.finish()) << server.failure();
    EXPECT_EQ(server.transcript(), "GET /site/index.html HTTP/1.0\r\nUser-Agent: Tarnby v1.1c\r\nHost: 127.0.0.1\r\n\r\n");
}

TEST_F(PageFetchTest, ANewFetchOfTheSameNameOverwritesTheFile)
{
    base::WriteWholeFile("page.html", std::string(5000, 'o'));
    ScriptedServer server({accept(), expectUntil(kEnd), send("HTTP/1.0 200 OK\r\n\r\nnew"), close()});
    ASSERT_TRUE(FetchAndSettle(Url(server, "/page.html")));
    EXPECT_EQ(base::ReadWholeFile("page.html"), "new");
}

TEST_F(PageFetchTest, AFailureLogsItsThreeLines)
{
    ScriptedServer server({accept(), expectUntil(kEnd), send("HTTP/1.0 404 Not Found\r\n"), expectClose()});
    EXPECT_FALSE(FetchAndSettle(Url(server, "/missing.html")));
    EXPECT_EQ(log, (std::vector<std::string>{"GET Failed !", "StatusCode   = 404", "ReasonPhrase = Not Found",
                                             "(request done)", "Request Done Error = 0"}));
}

TEST_F(PageFetchTest, AFailureAfterTheBodyBeganLeavesTheEarlierDocumentAsItWas)
{
    base::WriteWholeFile("cut.html", "earlier");
    ScriptedServer server({accept(), expectUntil(kEnd),
                           send("HTTP/1.0 200 OK\r\nContent-Length: 10\r\nContent-Type: text/html\r\n\r\npart"), close()});
    EXPECT_FALSE(FetchAndSettle(Url(server, "/cut.html")));
    EXPECT_EQ(log.at(4), "ReasonPhrase = document truncated: 4 of 10 bytes arrived");
    EXPECT_EQ(client.DocumentStream(), nullptr);
    EXPECT_EQ(base::ReadWholeFile("cut.html"), "earlier");
    EXPECT_EQ(QDir::current().entryList(QDir::Files), QStringList{"cut.html"}) << "no partial file is left";
}

TEST_F(PageFetchTest, NoBodyMeansNoDocumentEvenWhenAnOldFileHasTheName)
{
    base::WriteWholeFile("empty.html", "stale page of an earlier fetch");
    ScriptedServer server({accept(), expectUntil(kEnd), send("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n"), close()});
    ASSERT_TRUE(FetchAndSettle(Url(server, "/empty.html")));
    EXPECT_THROW(fetch.ReadDocument(), base::EFileError);
    EXPECT_EQ(base::ReadWholeFile("empty.html"), "stale page of an earlier fetch") << "left alone";
}

TEST_F(PageFetchTest, ServerPathsNeverWriteOutsideTheCacheFolder)
{
    QDir::current().mkdir("sub");
    ScriptedServer up({accept(), expectUntil(kEnd), send("HTTP/1.0 200 OK\r\n\r\nup"), close()});
    ASSERT_TRUE(FetchAndSettle(Url(up, "/a/..")));
    EXPECT_EQ(client.DocumentName(), "document.htm");
    EXPECT_EQ(base::ReadWholeFile("document.htm"), "up");

    // A name that is a folder here: the file cannot be created, the folder is untouched.
    ScriptedServer folderName({accept(), expectUntil(kEnd), send("HTTP/1.0 200 OK\r\n\r\nbody"), stall(std::chrono::milliseconds(3000))});
    EXPECT_FALSE(FetchAndSettle(Url(folderName, "/sub/")));
    EXPECT_NE(log.back().find("Request Done"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_directory(Cached("sub")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Cached("sub")),
                            std::filesystem::directory_iterator()), 0);
    const auto parent = std::filesystem::path(Cached("")).parent_path().parent_path();
    EXPECT_FALSE(std::filesystem::exists(parent / "document.htm"));
}

TEST_F(PageFetchTest, ThroughARealProxyToARealServer)
{
    testservers::Nginx web;
    web.write("index.html", "<a href=\"one.html\">One</a>\n");
    testservers::TinyProxy proxy;
    client.SetProxy("127.0.0.1:" + std::to_string(proxy.port()));
    ASSERT_TRUE(FetchAndSettle(web.url("/index.html")));
    EXPECT_EQ(log.at(0), "text/html => index.html");
    EXPECT_EQ(log.at(2), "StatusCode = 200");
    EXPECT_EQ(fetch.ReadDocument(), "<a href=\"one.html\">One</a>\n");
}

} // namespace
