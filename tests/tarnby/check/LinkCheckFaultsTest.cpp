// The checker against scripted servers, one fault each: what the server answers (and where it
// stalls), the verdict the link must get, and the exact requests the checker must send.
#include "CheckHarness.h"
#include "ScriptedServer.h"

#include <gtest/gtest.h>

using namespace tarnby::check;
using namespace testservers::script;
using checktest::CheckOne;
using testservers::ScriptedServer;
using std::chrono::milliseconds;

namespace {

const std::string kEnd = "\r\n\r\n";

// {port}: the scripted server's.
std::string Request(const char* method, const std::string& path)
{
    return std::string(method) + " " + path + " HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\nUser-Agent: Tarnby v1.1c (link check)\r\n\r\n";
}

std::string Head(const std::string& path) { return Request("HEAD", path); }
std::string Get(const std::string& path) { return Request("GET", path); }

// One exchange: accept, read the request, answer, close.
std::vector<testservers::Step> Answer(const std::string& response)
{
    return {accept(), expectUntil(kEnd), send(response), close()};
}

testservers::Script Join(std::initializer_list<std::vector<testservers::Step>> parts)
{
    testservers::Script script;
    for (const auto& part : parts)
        script.insert(script.end(), part.begin(), part.end());
    return script;
}

struct FaultCase {
    const char* name;
    testservers::Script script;
    std::string result;      // {base}: "http://127.0.0.1:PORT"
    Verdict verdict;
    std::string transcript;  // the requests, in order
    int timeoutSeconds = 5;
    int maxRedirects = 20;
};

void PrintTo(const FaultCase& c, std::ostream* out)
{
    *out << c.name;
}

std::string Replaced(std::string text, const std::string& placeholder, const std::string& value)
{
    for (std::size_t at; (at = text.find(placeholder)) != std::string::npos;)
        text.replace(at, placeholder.size(), value);
    return text;
}

std::string WithBase(const std::string& text, const std::string& base)
{
    return Replaced(text, "{base}", base);
}

class LinkCheckFault : public testing::TestWithParam<FaultCase> {};

TEST_P(LinkCheckFault, GetsItsVerdictFromTheRequestsItMust)
{
    const FaultCase& c = GetParam();
    ScriptedServer server(c.script, std::chrono::seconds(8));
    CheckSettings settings;
    settings.timeoutSeconds = c.timeoutSeconds;
    settings.maxRedirects = c.maxRedirects;
    const std::string base = "http://127.0.0.1:" + std::to_string(server.port());
    const checktest::CheckResult r = CheckOne(settings, base + "/a");
    ASSERT_TRUE(r.finished);
    ASSERT_EQ(r.links.size(), 1u);
    EXPECT_EQ(r.links[0].result, WithBase(c.result, base));
    EXPECT_EQ(r.links[0].verdict, c.verdict);
    server.finish(milliseconds(3000));
    EXPECT_EQ(server.transcript(), Replaced(c.transcript, "{port}", std::to_string(server.port())));
}

INSTANTIATE_TEST_SUITE_P(Statuses, LinkCheckFault, testing::Values(
    FaultCase{"Fine", Answer("HTTP/1.0 200 OK\r\n\r\n"), "200", Verdict::Fine, Head("/a")},
    FaultCase{"NotFound", Answer("HTTP/1.0 404 Not Found\r\n\r\n"), "404", Verdict::Broken, Head("/a")},
    FaultCase{"Gone", Answer("HTTP/1.1 410 Gone\r\nConnection: close\r\n\r\n"), "410", Verdict::Broken, Head("/a")},
    FaultCase{"ServerError", Answer("HTTP/1.0 500 Internal Server Error\r\n\r\n"), "500", Verdict::Broken, Head("/a")},
    FaultCase{"HeadNotAllowed",
              Join({Answer("HTTP/1.0 405 Method Not Allowed\r\n\r\n"), Answer("HTTP/1.0 200 OK\r\n\r\nbody")}),
              "200", Verdict::Fine, Head("/a") + Get("/a")},
    FaultCase{"HeadNotImplemented",
              Join({Answer("HTTP/1.0 501 Not Implemented\r\n\r\n"), Answer("HTTP/1.0 404 Not Found\r\n\r\n")}),
              "404", Verdict::Broken, Head("/a") + Get("/a")},
    FaultCase{"HeadAnsweredWithGarbage",
              Join({Answer("SSH-2.0-nonsense\r\n\r\n"), Answer("HTTP/1.0 200 OK\r\n\r\n")}),
              "200", Verdict::Fine, Head("/a") + Get("/a")},
    FaultCase{"HeadClosedWithoutAnswer",
              Join({{accept(), expectUntil(kEnd), close()}, Answer("HTTP/1.0 200 OK\r\n\r\n")}),
              "200", Verdict::Fine, Head("/a") + Get("/a")}),
    [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Redirects, LinkCheckFault, testing::Values(
    FaultCase{"Chain",
              Join({Answer("HTTP/1.0 301 Moved\r\nLocation: /b\r\n\r\n"), Answer("HTTP/1.0 302 Found\r\nLocation: c\r\n\r\n"),
                    Answer("HTTP/1.0 200 OK\r\n\r\n")}),
              "redirect 301 -> {base}/c", Verdict::Redirected, Head("/a") + Head("/b") + Head("/c")},
    FaultCase{"ToABrokenPage",
              Join({Answer("HTTP/1.0 308 Permanent\r\nLocation: /b\r\n\r\n"), Answer("HTTP/1.0 404 Not Found\r\n\r\n")}),
              "404 after redirect 308 -> {base}/b", Verdict::Broken, Head("/a") + Head("/b")},
    FaultCase{"Loop",
              Join({Answer("HTTP/1.0 302 Found\r\nLocation: /b\r\n\r\n"), Answer("HTTP/1.0 302 Found\r\nLocation: /a\r\n\r\n")}),
              "redirect loop at {base}/a", Verdict::Broken, Head("/a") + Head("/b")},
    FaultCase{"PastTheLimit",
              Join({Answer("HTTP/1.0 302 Found\r\nLocation: /b\r\n\r\n"), Answer("HTTP/1.0 302 Found\r\nLocation: /c\r\n\r\n"),
                    Answer("HTTP/1.0 302 Found\r\nLocation: /d\r\n\r\n")}),
              "more than 2 redirects", Verdict::Broken, Head("/a") + Head("/b") + Head("/c"), 5, 2},
    FaultCase{"ToAnotherScheme", Answer("HTTP/1.0 302 Found\r\nLocation: ftp://127.0.0.1:21/\r\n\r\n"),
              "relocation not followed: only http and https addresses are, not \"ftp://127.0.0.1:21/\"", Verdict::Broken,
              Head("/a")}),
    [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(SlowAndPolite, LinkCheckFault, testing::Values(
    FaultCase{"TooManyRequestsRetriedAfterItsWait",
              Join({Answer("HTTP/1.0 429 Too Many Requests\r\nRetry-After: 1\r\n\r\n"), Answer("HTTP/1.0 200 OK\r\n\r\n")}),
              "200", Verdict::Fine, Head("/a") + Head("/a")},
    FaultCase{"TooManyRequestsWithAWaitPastTheTimeout",
              Answer("HTTP/1.0 429 Too Many Requests\r\nRetry-After: 3600\r\n\r\n"), "429", Verdict::Broken, Head("/a")},
    FaultCase{"TooManyRequestsWithADateIsNotWaitedFor",
              Answer("HTTP/1.0 429 Too Many Requests\r\nRetry-After: Wed, 21 Oct 2015 07:28:00 GMT\r\n\r\n"), "429",
              Verdict::Broken, Head("/a")},
    FaultCase{"AnswerSlowerThanTheTimeout",
              {accept(), expectUntil(kEnd), stall(milliseconds(2500)), send("HTTP/1.0 200 OK\r\n\r\n"), close()},
              "timeout", Verdict::Broken, Head("/a"), 1},
    FaultCase{"AcceptsAndNeverAnswers", {accept(), stall(milliseconds(2500))}, "timeout", Verdict::Broken, "", 1},
    FaultCase{"HeaderThatDripsForEver",
              {accept(), expectUntil(kEnd), sendSlowly("HTTP/1.0 200 OK\r\nX-Drip: " + std::string(400, 'x'), 1, milliseconds(10))},
              "timeout", Verdict::Broken, Head("/a"), 1}),
    [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

// A body of a gigabyte announced: a check reads the header and leaves; neither HEAD's
// refusal nor the GET's body makes it wait for the rest.
TEST(LinkCheckHugeBody, IsNotDownloaded)
{
    const std::string chunk(64 * 1024, 'x');
    ScriptedServer server(Join({Answer("HTTP/1.0 405 Method Not Allowed\r\n\r\n"),
                                {accept(), expectUntil(kEnd), send("HTTP/1.0 200 OK\r\nContent-Length: 1073741824\r\n\r\n" + chunk),
                                 stall(milliseconds(6000))}}),
                          std::chrono::seconds(8));
    CheckSettings settings;
    settings.timeoutSeconds = 5;
    const checktest::CheckResult r = CheckOne(settings, "http://127.0.0.1:" + std::to_string(server.port()) + "/big");
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.links.at(0).result, "200");
    EXPECT_LT(r.took, milliseconds(3000)) << "the check must end with the header, not wait for the body";
}

// A page walked for its links stops reading at the page limit, and its links are still read.
TEST(LinkCheckHugeBody, APageToWalkIsReadUpToItsLimit)
{
    const std::string page = "<a href=\"/next\">next</a>" + std::string(kMaxPageBytes + 1024 * 1024, ' ');
    ScriptedServer server({accept(), expectUntil(kEnd), send("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + page),
                           stall(milliseconds(6000))},
                          std::chrono::seconds(8));
    CheckSettings settings;
    settings.timeoutSeconds = 5;
    settings.recursive = true;
    settings.concurrency = 1;
    const std::string base = "http://127.0.0.1:" + std::to_string(server.port());
    const checktest::CheckResult r = checktest::RunChecker(settings, [&](LinkChecker& c) { c.addPageUrl(base + "/"); });
    ASSERT_TRUE(r.finished);
    ASSERT_EQ(r.links.size(), 1u);
    EXPECT_EQ(r.links[0].url, base + "/next");
    EXPECT_TRUE(r.pageFailures.empty());
}

TEST(LinkCheckTls, AServerThatDoesNotSpeakTlsIsBrokenWithTheReason)
{
    ScriptedServer server({accept(), expectBytes(5), send("HELLO\r\n"), stall(milliseconds(3000))});
    CheckSettings settings;
    settings.timeoutSeconds = 5;
    const checktest::CheckResult r = CheckOne(settings, "https://127.0.0.1:" + std::to_string(server.port()) + "/");
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.links.at(0).result, "TLS handshake failed: wrong version number");
    EXPECT_EQ(r.links.at(0).verdict, Verdict::Broken);
}

TEST(LinkCheckFailures, RefusedAndUnknownNames)
{
    CheckSettings settings;
    settings.timeoutSeconds = 5;
    const checktest::CheckResult r = checktest::RunChecker(settings, [](LinkChecker& c) {
        c.addLinks({{"http://127.0.0.1:1/", "refused"}, {"http://no-such-host.invalid/", "unknown"}});
    });
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.links.at(0).result, "refused");
    EXPECT_EQ(r.links.at(1).result, "name not found");
    EXPECT_EQ(r.summary.broken, 2);
}

} // namespace
