// The link checker's parts that need no network: the codes --accept takes, what an address
// asks for, the site a walk stays in, file addresses, the report formats, the options.
#include "tarnby/BatchOptions.h"
#include "tarnby/check/CheckReport.h"
#include "tarnby/check/CheckSettings.h"
#include "tarnby/check/LinkTarget.h"

#include <gtest/gtest.h>

using namespace tarnby;
using namespace tarnby::check;

namespace {

struct CodesCase {
    std::string text;
    std::vector<int> accepted;
    std::vector<int> refused;
};

class AcceptedCodesParse : public testing::TestWithParam<CodesCase> {};

TEST_P(AcceptedCodesParse, AcceptsWhatItSays)
{
    const AcceptedCodes codes = AcceptedCodes::Parse(GetParam().text);
    for (int code : GetParam().accepted)
        EXPECT_TRUE(codes.accepts(code)) << code;
    for (int code : GetParam().refused)
        EXPECT_FALSE(codes.accepts(code)) << code;
}

INSTANTIATE_TEST_SUITE_P(Cases, AcceptedCodesParse, testing::Values(
    CodesCase{"200", {200}, {201, 199, 0}},
    CodesCase{"200-299,403", {200, 250, 299, 403}, {300, 404, 199}},
    CodesCase{"100-599", {100, 599}, {600, 99}}));

TEST(AcceptedCodes, DefaultIsTheSuccessfulOnes)
{
    const AcceptedCodes codes;
    EXPECT_TRUE(codes.accepts(204));
    EXPECT_FALSE(codes.accepts(301));
    EXPECT_FALSE(codes.accepts(0));
}

class AcceptedCodesRefused : public testing::TestWithParam<std::string> {};

TEST_P(AcceptedCodesRefused, WithAMessage)
{
    EXPECT_THROW(AcceptedCodes::Parse(GetParam()), std::invalid_argument);
}

INSTANTIATE_TEST_SUITE_P(Hostile, AcceptedCodesRefused, testing::Values(
    "", ",", "200,", "2000", "20", "099", "600", "abc", "299-200", "200-", "-200", "200--300",
    std::string("200\0", 4), "200\r\n", "99999999999999999999", std::string(100000, '2'), " 200"));

struct LinkCase {
    const char* address;
    LinkKind kind;
    const char* resource;
    const char* fragment;
};

class LinkClassification : public testing::TestWithParam<LinkCase> {};

TEST_P(LinkClassification, ByItsScheme)
{
    const LinkTarget t = ClassifyLink(GetParam().address);
    EXPECT_EQ(t.kind, GetParam().kind);
    EXPECT_EQ(t.resource, GetParam().resource);
    EXPECT_EQ(t.fragment, GetParam().fragment);
}

INSTANTIATE_TEST_SUITE_P(Cases, LinkClassification, testing::Values(
    LinkCase{"http://h/a#x", LinkKind::Http, "http://h/a", "x"},
    LinkCase{"HTTPS://h/a", LinkKind::Http, "HTTPS://h/a", ""},
    LinkCase{"http:relative", LinkKind::Skipped, "http:relative", ""},
    LinkCase{"file:///tmp/a.html#b", LinkKind::File, "file:///tmp/a.html", "b"},
    LinkCase{"a.html", LinkKind::File, "a.html", ""},
    LinkCase{"mailto:me@example.org", LinkKind::Skipped, "mailto:me@example.org", ""},
    LinkCase{"tel:+4912345", LinkKind::Skipped, "tel:+4912345", ""},
    LinkCase{"javascript:void(0)", LinkKind::Skipped, "javascript:void(0)", ""},
    LinkCase{"ftp://h/x", LinkKind::Skipped, "ftp://h/x", ""},
    LinkCase{"http://h/a##b", LinkKind::Http, "http://h/a", "#b"}));

struct ScopeCase {
    const char* start;
    const char* resource;
    bool inside;
};

class SiteScopeCases : public testing::TestWithParam<ScopeCase> {};

TEST_P(SiteScopeCases, SameSchemeHostPortBelowTheStartFolder)
{
    EXPECT_EQ(SiteScope(GetParam().start).contains(GetParam().resource), GetParam().inside)
        << GetParam().start << " / " << GetParam().resource;
}

INSTANTIATE_TEST_SUITE_P(Cases, SiteScopeCases, testing::Values(
    ScopeCase{"http://h/docs/index.html", "http://h/docs/a/b.html", true},
    ScopeCase{"http://h/docs/index.html", "http://H:80/docs/x", true},
    ScopeCase{"http://h/docs/index.html", "http://h/docsx/a", false},
    ScopeCase{"http://h/docs/index.html", "http://h/other.html", false},
    ScopeCase{"http://h/docs/index.html", "https://h/docs/a", false},
    ScopeCase{"http://h/docs/index.html", "http://h:8080/docs/a", false},
    ScopeCase{"http://h/docs/index.html", "http://g/docs/a", false},
    ScopeCase{"http://h/docs/index.html", "http://h@g/docs/a", false},
    ScopeCase{"http://h", "http://h/any/where", true},
    ScopeCase{"https://h/", "https://h:443/x", true},
    ScopeCase{"http://h/docs/index.html", "http://h/docs?x=/docs/", false}));

struct FileCase {
    const char* url;
    std::string path;
};

class FilePaths : public testing::TestWithParam<FileCase> {};

TEST_P(FilePaths, DecodedForTheLocalHostOnly)
{
    EXPECT_EQ(FilePath(GetParam().url), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(Cases, FilePaths, testing::Values(
    FileCase{"file:///tmp/a%20b.html", "/tmp/a b.html"},
    FileCase{"file://localhost/tmp/a.html", "/tmp/a.html"},
    FileCase{"file://server/share/a.html", ""},
    FileCase{"file:///tmp/a.html?q#f", "/tmp/a.html"},
    FileCase{"file:///tmp/100%25.html", "/tmp/100%.html"},
    FileCase{"file:///tmp/bad%zz%", "/tmp/bad%zz%"},
    FileCase{"file:///tmp/nul%00name", std::string("/tmp/nul\0name", 13)},
    FileCase{"relative/a.html", "relative/a.html"}));

TEST(CheckReport, EachFormatKeepsOneRecordPerLinkWhateverTheText)
{
    const std::vector<CheckedLink> links = {
        {"http://h/a|b", "bar | in \"text\", too", "200", Verdict::Fine},
        {"http://h/c", std::string("ctl\x01\ttab\nline"), "404", Verdict::Broken}};
    EXPECT_EQ(FormatResults(links, ReportFormat::Lines),
              "http://h/a%7Cb|bar &#124; in \"text\", too|200\nhttp://h/c|ctl\x01\ttab\nline|404\n");
    EXPECT_EQ(FormatResults(links, ReportFormat::Csv),
              "url,text,result,verdict\nhttp://h/a|b,\"bar | in \"\"text\"\", too\",200,fine\n"
              "http://h/c,\"ctl\x01\ttab\nline\",404,broken\n");
    EXPECT_EQ(FormatResults(links, ReportFormat::Json),
              "[\n{\"url\":\"http://h/a|b\",\"text\":\"bar | in \\\"text\\\", too\",\"result\":\"200\",\"verdict\":\"fine\"},\n"
              "{\"url\":\"http://h/c\",\"text\":\"ctl\\u0001\\u0009tab\\u000aline\",\"result\":\"404\",\"verdict\":\"broken\"}\n]\n");
    EXPECT_EQ(FormatResults({}, ReportFormat::Json), "[\n]\n");
}

TEST(CheckOptions, CheckTakesItsOptionsAndTheSharedOnes)
{
    const BatchOptions o = ParseBatchArguments({"--check", "-r", "--fragments", "--concurrency", "32", "--per-host=2",
                                                "--timeout", "7", "--max-redirects", "3", "--accept", "200-399",
                                                "--format", "json", "--exclude", "^mailto:", "--proxy", "p:3128",
                                                "--cacert", "ca.pem", "http://h/"});
    EXPECT_EQ(o.action, BatchOptions::Action::Check);
    EXPECT_TRUE(o.check.recursive);
    EXPECT_TRUE(o.check.fragments);
    EXPECT_EQ(o.check.concurrency, 32);
    EXPECT_EQ(o.check.perHost, 2);
    EXPECT_EQ(o.check.timeoutSeconds, 7);
    EXPECT_EQ(o.check.maxRedirects, 3);
    EXPECT_TRUE(o.check.accept.accepts(302));
    EXPECT_EQ(o.check.format, ReportFormat::Json);
    EXPECT_EQ(o.check.exclude, "^mailto:");
    EXPECT_EQ(o.check.proxy, "p:3128");
    EXPECT_EQ(o.check.caCertFile, "ca.pem");
    EXPECT_EQ(o.sources, std::vector<std::string>{"http://h/"});
    EXPECT_EQ(ParseBatchArguments({"--check", "x.html"}).check.timeoutSeconds, 30);
}

class CheckOptionsRefused : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(CheckOptionsRefused, AsAWrongCommandLine)
{
    EXPECT_THROW(ParseBatchArguments(GetParam()), BatchUsageError);
}

INSTANTIATE_TEST_SUITE_P(Cases, CheckOptionsRefused, testing::Values(
    std::vector<std::string>{"--check"},
    std::vector<std::string>{"--check", "--links", "a.html"},
    std::vector<std::string>{"--check", "--html-parser", "a.html"},
    std::vector<std::string>{"--check", "--concurrency", "0", "a.html"},
    std::vector<std::string>{"--check", "--concurrency", "1001", "a.html"},
    std::vector<std::string>{"--check", "--concurrency", "99999999999999", "a.html"},
    std::vector<std::string>{"--check", "--per-host", "-1", "a.html"},
    std::vector<std::string>{"--check", "--format", "xml", "a.html"},
    std::vector<std::string>{"--check", "--exclude", "(", "a.html"},
    std::vector<std::string>{"--check", "--accept", "999", "a.html"}));

} // namespace
