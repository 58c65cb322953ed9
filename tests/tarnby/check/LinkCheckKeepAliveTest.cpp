// Connections kept alive between checks, against scripted servers: which requests go on which
// connection (the script accepts a connection only where a new one is due), what closes one,
// and a 429 that holds back the other links to its host.
#include "CheckHarness.h"
#include "ScriptedServer.h"

#include <gtest/gtest.h>


using namespace tarnby::check;
using namespace testservers::script;
using testservers::ScriptedServer;
using std::chrono::milliseconds;

namespace {

const std::string kEnd = "\r\n\r\n";
const std::string kFine = "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n";

std::string Request(const char* method, const std::string& path, std::uint16_t port)
{
    return std::string(method) + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port)
        + "\r\nUser-Agent: Tarnby v1.1c (link check)\r\n\r\n";
}

struct KeepAliveCase {
    const char* name;
    testservers::Script script;
    std::vector<std::string> results;          // of /a and /b
    std::vector<std::pair<const char*, const char*>> requests; // method and path, in order
};

void PrintTo(const KeepAliveCase& c, std::ostream* out)
{
    *out << c.name;
}

class LinkCheckKeepAlive : public testing::TestWithParam<KeepAliveCase> {};

TEST_P(LinkCheckKeepAlive, SendsEachRequestOnTheConnectionItMust)
{
    const KeepAliveCase& c = GetParam();
    ScriptedServer server(c.script, std::chrono::seconds(8));
    CheckSettings settings;
    settings.timeoutSeconds = 5;
    settings.concurrency = 1;
    const std::string base = "http://127.0.0.1:" + std::to_string(server.port());
    const checktest::CheckResult r = checktest::RunChecker(settings, [&](LinkChecker& checker) {
        checker.addLinks({{base + "/a", "a"}, {base + "/b", "b"}});
    });
    ASSERT_TRUE(r.finished);
    ASSERT_EQ(r.links.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        std::string expected = c.results[i];
        if (const std::size_t at = expected.find("{port}"); at != std::string::npos)
            expected.replace(at, 6, std::to_string(server.port()));
        EXPECT_EQ(r.links[i].result, expected);
    }
    EXPECT_TRUE(server.finish(milliseconds(3000))) << server.failure();
    std::string transcript;
    for (const auto& [method, path] : c.requests)
        transcript += Request(method, path, server.port());
    EXPECT_EQ(server.transcript(), transcript);
}

INSTANTIATE_TEST_SUITE_P(Connections, LinkCheckKeepAlive, testing::Values(
    KeepAliveCase{"TwoRequestsOnOneConnection",
                  {accept(), expectUntil(kEnd), send(kFine), expectUntil(kEnd),
                   send("HTTP/1.1 404 Not Found\r\nContent-Length: 5\r\n\r\n")},
                  {"200", "404"}, {{"HEAD", "/a"}, {"HEAD", "/b"}}},
    KeepAliveCase{"ServerClosesAfterTheFirstAnswer",
                  {accept(), expectUntil(kEnd), send(kFine), close(), accept(), expectUntil(kEnd), send(kFine)},
                  {"200", "200"}, {{"HEAD", "/a"}, {"HEAD", "/b"}}},
    KeepAliveCase{"ConnectionCloseIsHonoured",
                  {accept(), expectUntil(kEnd), send("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 0\r\n\r\n"),
                   accept(), expectUntil(kEnd), send(kFine)},
                  {"200", "200"}, {{"HEAD", "/a"}, {"HEAD", "/b"}}},
    KeepAliveCase{"AnHttp10AnswerEndsTheConnection",
                  {accept(), expectUntil(kEnd), send("HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n"), accept(),
                   expectUntil(kEnd), send(kFine)},
                  {"200", "200"}, {{"HEAD", "/a"}, {"HEAD", "/b"}}},
    KeepAliveCase{"HeadRefusedThenASmallBodyReadOutAndTheConnectionKept",
                  {accept(), expectUntil(kEnd), send("HTTP/1.1 405 Not Allowed\r\nContent-Length: 0\r\n\r\n"),
                   expectUntil(kEnd), send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n0123456789"), expectUntil(kEnd),
                   send(kFine)},
                  {"200", "200"}, {{"HEAD", "/a"}, {"GET", "/a"}, {"HEAD", "/b"}}},
    KeepAliveCase{"ChunkedAnswersOneAfterAnother",
                  {accept(), expectUntil(kEnd), send("HTTP/1.1 405 No\r\nContent-Length: 0\r\n\r\n"), expectUntil(kEnd),
                   send("HTTP/1.1 301 Moved\r\nLocation: /c\r\nTransfer-Encoding: chunked\r\n\r\n3;x=y\r\nabc\r\n0\r\nT: 1\r\n\r\n"),
                   expectUntil(kEnd), send(kFine), expectUntil(kEnd), send(kFine)},
                  {"redirect 301 -> http://127.0.0.1:{port}/c", "200"},
                  {{"HEAD", "/a"}, {"GET", "/a"}, {"GET", "/c"}, {"HEAD", "/b"}}}),
    [](const testing::TestParamInfo<KeepAliveCase>& info) { return std::string(info.param.name); });

// A GET whose chunked body announces a gigabyte chunk: the status is the answer at once, and
// the connection is not kept for the rest.
TEST(LinkCheckKeepAliveBodies, AHugeChunkIsNotDownloaded)
{
    ScriptedServer server({accept(), expectUntil(kEnd), send("HTTP/1.1 501 No\r\nContent-Length: 0\r\n\r\n"), expectUntil(kEnd),
                           send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n40000000\r\n" + std::string(256 * 1024, 'x')),
                           stall(milliseconds(6000))},
                          std::chrono::seconds(8));
    CheckSettings settings;
    settings.timeoutSeconds = 5;
    const checktest::CheckResult r = checktest::CheckOne(settings, "http://127.0.0.1:" + std::to_string(server.port()) + "/big");
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.links.at(0).result, "200");
    EXPECT_LT(r.took, milliseconds(3000));
}

// The page's charset from the Content-Type decodes its links, as the batch mode's do.
TEST(LinkCheckKeepAliveBodies, APageIsReadInTheCharsetItIsServedWith)
{
    const std::string page = "<a href=\"/n\">caf\xe9</a>";
    ScriptedServer server({accept(), expectUntil(kEnd),
                           send("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=windows-1252\r\nContent-Length: "
                                + std::to_string(page.size()) + "\r\n\r\n" + page),
                           expectUntil(kEnd), send(kFine)});
    CheckSettings settings;
    settings.timeoutSeconds = 5;
    settings.recursive = true;
    const std::string base = "http://127.0.0.1:" + std::to_string(server.port());
    const checktest::CheckResult r = checktest::RunChecker(settings, [&](LinkChecker& c) { c.addPageUrl(base + "/"); });
    ASSERT_TRUE(r.finished);
    ASSERT_EQ(r.links.size(), 1u);
    EXPECT_EQ(r.links[0].text, "caf\xc3\xa9");
    EXPECT_EQ(r.links[0].result, "200");
}

// /a is answered 429 with Retry-After: 1 while /b is still under way; /c, which would go
// once /b is done, waits with /a's retry until the second has passed.
TEST(LinkCheckPoliteness, ATooManyRequestsAnswerHoldsBackTheOtherLinksToTheHost)
{
    const std::string closing = "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 0\r\n\r\n";
    ScriptedServer server({accept(), expectUntil(kEnd),
                           send("HTTP/1.1 429 Too Many\r\nRetry-After: 1\r\nConnection: close\r\nContent-Length: 0\r\n\r\n"), close(),
                           accept(), expectUntil(kEnd), stall(milliseconds(300)), send(closing), close(),
                           accept(), expectUntil(kEnd), send(closing), close(),
                           accept(), expectUntil(kEnd), send(closing), close()});
    CheckSettings settings;
    settings.timeoutSeconds = 5;
    settings.concurrency = 2;
    settings.perHost = 2;
    const std::string base = "http://127.0.0.1:" + std::to_string(server.port());
    const checktest::CheckResult r = checktest::RunChecker(settings, [&](LinkChecker& c) {
        c.addLinks({{base + "/a", "a"}, {base + "/b", "b"}, {base + "/c", "c"}});
    });
    ASSERT_TRUE(r.finished);
    ASSERT_EQ(r.doneAt.size(), 3u);
    for (const CheckedLink& link : r.links)
        EXPECT_EQ(link.result, "200") << link.url;
    EXPECT_LT(r.doneAt[0], milliseconds(900)) << "/b is not held: it was under way";
    EXPECT_GE(r.doneAt[1], milliseconds(950)) << "/c must wait for the pause to end";
    EXPECT_TRUE(server.finish(milliseconds(3000))) << server.failure();
}

} // namespace
