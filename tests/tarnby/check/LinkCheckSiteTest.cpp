// The checker on a site of generated pages served by nginx: a recursive walk from the start
// page, each page fetched once, the verdicts of every link, the site's limits kept.
#include "CheckHarness.h"
#include "HttpServers.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

using namespace tarnby::check;

namespace {

// docs/p0.html .. p29.html: each links to the next two pages, to the redirect, to one missing
// page of its own, and to a page outside docs/ (checked, not walked); page 7 links to
// itself with a fragment that exists and one that does not.
class LinkCheckSite : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        web = new testservers::Nginx();
        for (int i = 0; i < kPages; ++i) {
            std::string page = "<html><body><h1 id=\"top\">Page " + std::to_string(i) + "</h1>\n";
            for (int next : {i + 1, i + 2})
                if (next < kPages)
                    page += "<a href=\"p" + std::to_string(next) + ".html\">page " + std::to_string(next) + "</a>\n";
            page += "<a href=\"/old.html\">moved</a>\n<a href=\"missing" + std::to_string(i) + ".html\">missing</a>\n";
            page += "<a href=\"../outside.html\">outside</a>\n<a href=\"mailto:me@example.org\">mail</a>\n";
            if (i == 7)
                page += "<a href=\"p7.html#top\">top</a>\n<a href=\"p7.html#nowhere\">nowhere</a>\n";
            page += "</body></html>\n";
            web->write("docs/p" + std::to_string(i) + ".html", page);
        }
        web->write("page.html", "<p>the redirect's target</p>");
        web->write("outside.html", "<a href=\"docs/never-walked.html\">never</a>");
    }
    static void TearDownTestSuite() { delete web; }

    static constexpr int kPages = 30;
    static testservers::Nginx* web;
};

testservers::Nginx* LinkCheckSite::web = nullptr;

TEST_F(LinkCheckSite, ARecursiveCheckWalksThePagesBelowTheStartFolderOnce)
{
    CheckSettings settings;
    settings.recursive = true;
    settings.fragments = true;
    settings.concurrency = 8;
    settings.perHost = 3;
    const checktest::CheckResult r = checktest::RunChecker(settings, [](LinkChecker& c) {
        c.addPageUrl(web->url("/docs/p0.html"));
    });
    ASSERT_TRUE(r.finished);
    EXPECT_TRUE(r.pageFailures.empty());
    EXPECT_EQ(r.summary.pages, kPages) << "every page once, nothing outside docs/";
    std::map<std::string, std::string> byText;
    int missing = 0;
    for (const CheckedLink& link : r.links) {
        byText[link.text] = link.result;
        if (link.text == "missing") {
            ++missing;
            EXPECT_EQ(link.result, "404");
            EXPECT_EQ(link.verdict, Verdict::Broken);
        }
    }
    EXPECT_EQ(missing, kPages);
    EXPECT_EQ(byText["moved"], "redirect 301 -> " + web->url("/page.html"));
    EXPECT_EQ(byText["outside"], "200");
    EXPECT_EQ(byText["mail"], "skipped");
    EXPECT_EQ(byText["top"], "200");
    EXPECT_EQ(byText["nowhere"], "200, no fragment #nowhere");
    EXPECT_EQ(byText.count("never"), 0u) << "a page outside the start folder is not walked";
    EXPECT_EQ(r.summary.broken, kPages + 1);
    EXPECT_EQ(r.summary.redirected, kPages);
    EXPECT_EQ(r.summary.skipped, kPages);
    // page 0 links to 1 and 2 only; pages 1..29 are each linked from the one or two before.
    EXPECT_EQ(r.summary.fine, 2 * kPages - 3 + kPages + 1);
}

// nginx keeps connections alive: the whole walk goes over no more connections than may be
// open to the host at once.
TEST_F(LinkCheckSite, RequestsToOneHostShareKeptAliveConnections)
{
    const std::size_t logged = web->accessLog().size();
    CheckSettings settings;
    settings.recursive = true;
    settings.perHost = 3;
    const checktest::CheckResult r = checktest::RunChecker(settings, [](LinkChecker& c) {
        c.addPageUrl(web->url("/docs/p0.html"));
    });
    ASSERT_TRUE(r.finished);
    std::set<std::string> connections;
    int requests = 0;
    std::istringstream lines(web->accessLog().substr(logged));
    for (std::string line; std::getline(lines, line); ++requests)
        connections.insert(line.substr(0, line.find(' ')));
    EXPECT_GT(requests, 2 * kPages);
    EXPECT_LE(connections.size(), 3u) << requests << " requests";
}

TEST_F(LinkCheckSite, AStartPageThatCannotBeFetchedIsAPageFailure)
{
    CheckSettings settings;
    const checktest::CheckResult r = checktest::RunChecker(settings, [](LinkChecker& c) {
        c.addPageUrl(web->url("/docs/none.html"));
    });
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.pageFailures, std::vector<std::string>{"cannot fetch " + web->url("/docs/none.html") + ": 404"});
    EXPECT_TRUE(r.links.empty());
}

TEST_F(LinkCheckSite, ExcludedAddressesAreNotChecked)
{
    CheckSettings settings;
    settings.exclude = "missing\\d+";
    const checktest::CheckResult r = checktest::RunChecker(settings, [](LinkChecker& c) {
        c.addPageUrl(web->url("/docs/p29.html"));
    });
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.summary.excluded, 1);
    EXPECT_EQ(r.summary.broken, 0);
}

} // namespace
