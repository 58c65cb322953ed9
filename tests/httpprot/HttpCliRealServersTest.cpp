// THttpCli against real servers on loopback: nginx, and tinyproxy in front of it.
#include "ClientHarness.h"
#include "HttpServers.h"

#include "base/Streams.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>

using namespace httpprot;
using namespace httptest;

namespace {

const std::string kPage = "<html><body><a href=\"a.html\">A</a>\n<a href=\"b.html\">B</a></body></html>\n";

class HttpCliRealServers : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        web = new testservers::Nginx();
        web->write("page.html", kPage);
        std::string binary(20u << 20, '\0');
        for (std::size_t i = 0; i < binary.size(); ++i)
            binary[i] = static_cast<char>((i * 2654435761u) >> 13);
        web->write("data.bin", binary);
        proxy = new testservers::TinyProxy();
    }
    static void TearDownTestSuite()
    {
        delete proxy;
        delete web;
    }

    Outcome Fetch(const std::string& url)
    {
        client.SetURL(url);
        return recorder.run([&] { client.GetASync(); });
    }

    static testservers::Nginx* web;
    static testservers::TinyProxy* proxy;
    THttpCli client;
    Recorder recorder{client};
};

testservers::Nginx* HttpCliRealServers::web = nullptr;
testservers::TinyProxy* HttpCliRealServers::proxy = nullptr;

TEST_F(HttpCliRealServers, FetchesAnHtmlPage)
{
    const Outcome o = Fetch(web->url("/page.html"));
    EXPECT_EQ(o.status, 200) << o.reason;
    EXPECT_EQ(o.reason, "OK");
    EXPECT_EQ(o.contentType, "text/html");
    EXPECT_EQ(o.contentLength, static_cast<std::int64_t>(kPage.size()));
    EXPECT_EQ(o.body, kPage);
    EXPECT_EQ(o.documentName, "page.html");
    EXPECT_EQ(o.header.at(0), "HTTP/1.1 200 OK");
}

TEST_F(HttpCliRealServers, Fetches20MBytesIntoAFileExactly)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("data.bin").toStdString();
    {
        base::FileStream file(path, base::FileStream::Create);
        client.SetDocumentStream(&file);
        const Outcome o = Fetch(web->url("/data.bin"));
        EXPECT_EQ(o.status, 200) << o.reason;
        client.SetDocumentStream(nullptr);
    }
    EXPECT_TRUE(base::ReadWholeFile(path) == base::ReadWholeFile(web->root() + "/data.bin"));
}

TEST_F(HttpCliRealServers, MissingPageRaisesWithTheServersReasonPhrase)
{
    client.SetURL(web->url("/missing.html"));
    try {
        client.Get();
        FAIL() << "Get must raise";
    } catch (const EHttpException& e) {
        EXPECT_EQ(e.ErrorCode(), 404);
        EXPECT_STREQ(e.what(), "Not Found");
    }
    EXPECT_EQ(client.StatusCode(), 404);
}

TEST_F(HttpCliRealServers, FollowsARedirect)
{
    const Outcome o = Fetch(web->url("/old.html"));
    EXPECT_EQ(o.status, 200) << o.reason;
    EXPECT_EQ(o.body, kPage);
    EXPECT_EQ(o.header.at(0), "HTTP/1.1 301 Moved Permanently");
    EXPECT_NE(std::find(o.header.begin(), o.header.end(), "Location: " + web->url("/page.html")), o.header.end());
    EXPECT_EQ(std::count(o.events.begin(), o.events.end(), "location"), 1);
}

TEST_F(HttpCliRealServers, AbortEndsAnEndlessRedirect)
{
    int hops = 0;
    client.SetURL(web->url("/loop"));
    const Outcome o = recorder.run([&] {
        client.OnLocationChange = [&](THttpCli* c) {
            if (++hops == 10)
                c->Abort();
        };
        client.GetASync();
    });
    EXPECT_EQ(hops, 10);
    EXPECT_EQ(o.reason, "Connection aborted on request");
}

TEST_F(HttpCliRealServers, GoesThroughTheProxyWithTheAbsoluteUri)
{
    client.SetProxy("127.0.0.1:" + std::to_string(proxy->port()));
    const Outcome o = Fetch(web->url("/page.html"));
    EXPECT_EQ(o.status, 200) << o.reason;
    EXPECT_EQ(o.body, kPage);
    EXPECT_NE(proxy->log().find("GET " + web->url("/page.html") + " HTTP/1.0"), std::string::npos) << proxy->log();
}

TEST_F(HttpCliRealServers, RedirectAndMissingPageThroughTheProxy)
{
    client.SetProxy("127.0.0.1");
    client.SetProxyPort(std::to_string(proxy->port()));
    Outcome o = Fetch(web->url("/old.html"));
    EXPECT_EQ(o.status, 200) << o.reason;
    EXPECT_EQ(o.body, kPage);
    o = Fetch(web->url("/missing.html"));
    EXPECT_EQ(o.status, 404);
}

} // namespace
