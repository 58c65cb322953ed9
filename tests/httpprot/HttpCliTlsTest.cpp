// THttpCli over https: real nginx with certificates of its own CA, tinyproxy tunnels, and
// scripted servers that break the handshake.
#include "ClientHarness.h"
#include "HttpServers.h"
#include "ScriptedServer.h"

#include <QTimer>
#include <gtest/gtest.h>

using namespace httpprot;
using namespace httptest;
using namespace testservers::script;
using std::chrono::milliseconds;

namespace {

const std::string kPage = "<html><body><a href=\"a.html\">A</a></body></html>\n";

enum class Via { Direct, Proxy };

struct TlsCase {
    const char* name;
    std::string (*url)(const testservers::NginxTls& web);
    bool trustTestCa;
    Via via;
    const char* reason; // "OK", or why the request failed
};

void PrintTo(const TlsCase& c, std::ostream* out)
{
    *out << c.name;
}

class HttpCliTls : public testing::TestWithParam<TlsCase> {
protected:
    static void SetUpTestSuite()
    {
        web = new testservers::NginxTls();
        web->write("page.html", kPage);
        proxy = new testservers::TinyProxy();
    }
    static void TearDownTestSuite()
    {
        delete proxy;
        delete web;
    }

    static testservers::NginxTls* web;
    static testservers::TinyProxy* proxy;
    THttpCli client;
    Recorder recorder{client};
};

testservers::NginxTls* HttpCliTls::web = nullptr;
testservers::TinyProxy* HttpCliTls::proxy = nullptr;

TEST_P(HttpCliTls, FetchesOrRefusesWithTheReason)
{
    const TlsCase& c = GetParam();
    if (c.trustTestCa)
        client.SetCaCertFile(web->caFile());
    if (c.via == Via::Proxy)
        client.SetProxy("127.0.0.1:" + std::to_string(proxy->port()));
    client.SetURL(c.url(*web));
    const Outcome o = recorder.run([&] { client.GetASync(); });
    ASSERT_TRUE(o.done);
    EXPECT_EQ(o.reason, c.reason);
    if (std::string(c.reason) == "OK") {
        EXPECT_EQ(o.status, 200);
        EXPECT_EQ(o.body, kPage);
    } else {
        EXPECT_EQ(o.status, 404);
        EXPECT_TRUE(o.body.empty()) << "nothing may arrive in plain text";
    }
    if (c.via == Via::Proxy) {
        EXPECT_NE(proxy->log().find("CONNECT 127.0.0.1:"), std::string::npos) << proxy->log();
    }
}

INSTANTIATE_TEST_SUITE_P(RealServers, HttpCliTls, testing::Values(
    TlsCase{"PageOverHttps", [](auto& w) { return w.url("/page.html"); }, true, Via::Direct, "OK"},
    TlsCase{"HttpToHttps", [](auto& w) { return w.plainUrl("/to-https"); }, true, Via::Direct, "OK"},
    TlsCase{"HttpsToHttp", [](auto& w) { return w.url("/to-http"); }, true, Via::Direct, "OK"},
    TlsCase{"ByHostName", [](auto& w) { return "https://localhost:" + std::to_string(w.port()) + "/page.html"; },
            true, Via::Direct, "OK"},
    TlsCase{"SelfSigned", [](auto& w) { return w.url("/page.html", w.selfSignedPort()); }, true, Via::Direct,
            "certificate verify failed: self-signed certificate"},
    TlsCase{"OtherHostsCertificate", [](auto& w) { return w.url("/page.html", w.otherNamePort()); }, true,
            Via::Direct, "certificate verify failed: host name mismatch"},
    TlsCase{"UnknownCa", [](auto& w) { return w.url("/page.html"); }, false, Via::Direct,
            "certificate verify failed: unable to get local issuer certificate"},
    TlsCase{"PlainHttpServer", [](auto& w) { return "https://127.0.0.1:" + std::to_string(w.plainPort()) + "/"; },
            true, Via::Direct, "TLS handshake failed: wrong version number"},
    TlsCase{"TunnelThroughProxy", [](auto& w) { return w.url("/page.html"); }, true, Via::Proxy, "OK"},
    TlsCase{"HttpToHttpsThroughProxy", [](auto& w) { return w.plainUrl("/to-https"); }, true, Via::Proxy, "OK"},
    TlsCase{"SelfSignedThroughProxy", [](auto& w) { return w.url("/page.html", w.selfSignedPort()); }, true,
            Via::Proxy, "certificate verify failed: self-signed certificate"}),
    [](const testing::TestParamInfo<TlsCase>& info) { return std::string(info.param.name); });

// Servers that never finish the handshake: the request ends with the reason, or by Abort.
struct BrokenHandshakeCase {
    const char* name;
    testservers::Script script;
    int abortAfterMs; // 0: no Abort
    const char* reason;
};

void PrintTo(const BrokenHandshakeCase& c, std::ostream* out)
{
    *out << c.name;
}

class HttpCliBrokenHandshake : public testing::TestWithParam<BrokenHandshakeCase> {};

TEST_P(HttpCliBrokenHandshake, EndsTheRequest)
{
    const BrokenHandshakeCase& c = GetParam();
    testservers::ScriptedServer server(c.script);
    THttpCli client;
    Recorder recorder{client};
    client.SetURL("https://127.0.0.1:" + std::to_string(server.port()) + "/");
    const Outcome o = recorder.run([&] {
        client.GetASync();
        if (c.abortAfterMs > 0)
            QTimer::singleShot(c.abortAfterMs, &client, [&] { client.Abort(); });
    });
    ASSERT_TRUE(o.done);
    EXPECT_EQ(o.status, 404);
    EXPECT_EQ(o.reason, c.reason);
}

INSTANTIATE_TEST_SUITE_P(Scripted, HttpCliBrokenHandshake, testing::Values(
    BrokenHandshakeCase{"ClosesMidHandshake", {accept(), expectBytes(5), close()}, 0,
                        "connection closed during the TLS handshake"},
    BrokenHandshakeCase{"ResetsMidHandshake", {accept(), expectBytes(5), reset()}, 0,
                        "connection closed during the TLS handshake"},
    BrokenHandshakeCase{"AnswersGarbage", {accept(), expectBytes(5), send("HELLO\r\n"), stall(milliseconds(5000))}, 0,
                        "TLS handshake failed: wrong version number"},
    BrokenHandshakeCase{"Stalls", {accept(), stall(milliseconds(8000))}, 300, "Connection aborted on request"}),
    [](const testing::TestParamInfo<BrokenHandshakeCase>& info) { return std::string(info.param.name); });

// The tunnel request as a proxy sees it, and a proxy that refuses: nothing goes to the origin.
TEST(HttpCliTunnel, AsksForTheTunnelWithCredentialsAndStopsWhenRefused)
{
    testservers::ScriptedServer proxy({accept(), expectUntil("\r\n\r\n"),
                                       send("HTTP/1.0 403 Forbidden\r\nContent-Length: 0\r\n\r\n"), expectClose()});
    THttpCli client;
    Recorder recorder{client};
    client.SetProxy("127.0.0.1:" + std::to_string(proxy.port()));
    client.SetProxyUsername("joe");
    client.SetProxyPassword("pw");
    client.SetURL("https://secure.invalid/page.html");
    const Outcome o = recorder.run([&] { client.GetASync(); });
    EXPECT_TRUE(proxy.finish()) << proxy.failure();
    EXPECT_EQ(proxy.transcript(), "CONNECT secure.invalid:443 HTTP/1.0\r\nHost: secure.invalid:443\r\n"
                                  "Proxy-Authorization: Basic am9lOnB3\r\n\r\n");
    EXPECT_EQ(o.status, 404);
    EXPECT_EQ(o.reason, "the proxy refused the tunnel to secure.invalid:443: HTTP/1.0 403 Forbidden");
    EXPECT_TRUE(o.header.empty()) << "the proxy's answer is not the document's";
}

} // namespace
