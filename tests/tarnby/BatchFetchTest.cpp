// The batch mode with URLs, as users run it: the tarnby program fetching from real and
// scripted servers on loopback into its current folder.
#include "HttpServers.h"
#include "ScriptedServer.h"
#include "base/Streams.h"

#include <QElapsedTimer>
#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace testservers::script;
using testservers::ScriptedServer;
using std::chrono::milliseconds;

namespace {

const std::string kPage = "<html><body><A HREF=\"http://x.invalid/a\">Alpha</A>\n"
                          "<a href=\"b.html\"><img src=\"i.png\"></a> <a href=\"c.html\">Gamma</a></body></html>\n";
const std::string kLinks = "c.html|gamma\nhttp://x.invalid/a|alpha\n";

struct ProcessRun {
    int exitCode = -1;
    std::string out;
    std::string err;
    qint64 milliseconds = 0;
};

class BatchFetch : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        web = new testservers::Nginx();
        web->write("page.html", kPage);
    }
    static void TearDownTestSuite() { delete web; }

    ProcessRun Tarnby(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        environment.remove("WAYLAND_DISPLAY");
        environment.insert("XDG_CACHE_HOME", folder.filePath("cache"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder.path());
        QElapsedTimer clock;
        clock.start();
        process.start(TARNBY_EXECUTABLE, arguments);
        process.waitForFinished(60000);
        ProcessRun run;
        run.milliseconds = clock.elapsed();
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.out = process.readAllStandardOutput().toStdString();
        run.err = process.readAllStandardError().toStdString();
        return run;
    }
    static QString Url(const std::string& path) { return QString::fromStdString(web->url(path)); }
    static QString Q(const std::string& text) { return QString::fromStdString(text); }
    static QString Url(const ScriptedServer& server, const std::string& path)
    {
        return QString::fromStdString("http://127.0.0.1:" + std::to_string(server.port()) + path);
    }
    std::string InFolder(const char* name) const { return folder.filePath(name).toStdString(); }

    static testservers::Nginx* web;
    QTemporaryDir folder;
};

testservers::Nginx* BatchFetch::web = nullptr;

TEST_F(BatchFetch, PrintsTheLinksOfAPageFromARealServer)
{
    const ProcessRun run = Tarnby({"--links", Url("/page.html")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, kLinks);
    EXPECT_EQ(run.err, "") << "the log goes to standard error only with -v";
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList())
        << "no document file is left behind, in the current folder or a cache";
}

TEST_F(BatchFetch, TheHtmlParserResolvesAgainstThePageAfterItsRelocation)
{
    const ProcessRun run = Tarnby({"--links", "--html-parser", Url("/old.html")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "http://x.invalid/a|Alpha\n" + web->url("/c.html") + "|Gamma\n");
}

TEST_F(BatchFetch, ThroughARealProxy)
{
    testservers::TinyProxy proxy;
    const ProcessRun run = Tarnby({"--links", "--proxy", QString("127.0.0.1:%1").arg(proxy.port()), Url("/page.html")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, kLinks);
    EXPECT_NE(proxy.log().find("GET " + web->url("/page.html")), std::string::npos) << proxy.log();
}

TEST_F(BatchFetch, UrlsAndFilesMixInCommandLineOrder)
{
    base::WriteWholeFile(InFolder("local.html"), "<a href=\"local.html\">Local</a>\n");
    const ProcessRun run = Tarnby({"--links", "--passes", "3", "local.html", Url("/old.html")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "c.html|gamma\nhttp://x.invalid/a|alpha\nlocal.html|local\n");
}

TEST_F(BatchFetch, VerboseWritesTheFetchLog)
{
    const ProcessRun run = Tarnby({"--links", "-v", Url("/page.html")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.rfind("text/html => page.html\nDocument = page.html\nStatusCode = 200\nhdr>HTTP/1.1 200 OK\n", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("\nhdr>Content-Type: text/html\n"), std::string::npos) << run.err;
    EXPECT_TRUE(run.err.ends_with("\nRequest Done Error = 0\n")) << run.err;
}

TEST_F(BatchFetch, AFailedFetchPrintsTheFailureLinesAndExitsWith1)
{
    const ProcessRun run = Tarnby({"--links", Url("/missing.html")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "GET Failed !\nStatusCode   = 404\nReasonPhrase = Not Found\ntarnby: cannot fetch "
                           + web->url("/missing.html") + ": Not Found\n");
}

TEST_F(BatchFetch, StopsAnEndlessRedirectAtItsLimit)
{
    const ProcessRun run = Tarnby({"--links", "--max-redirects", "3", Url("/loop")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "GET Failed !\nStatusCode   = 404\nReasonPhrase = Connection aborted on request\n"
                       "tarnby: gave up on " + web->url("/loop") + ": more than 3 redirects (--max-redirects)\n");
    const ProcessRun defaults = Tarnby({"--links", Url("/loop")});
    EXPECT_NE(defaults.err.find("more than 20 redirects"), std::string::npos) << defaults.err;
}

TEST_F(BatchFetch, FollowsRedirectsUpToTheLimit)
{
    const ProcessRun run = Tarnby({"--links", "--max-redirects", "1", Url("/old.html")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, kLinks);
    EXPECT_EQ(Tarnby({"--links", "--max-redirects", "0", Url("/old.html")}).exitCode, 1);
}

TEST_F(BatchFetch, TimesOutAStallingAndADrippingServer)
{
    ScriptedServer stalling({accept(), expectUntil("\r\n\r\n"), stall(milliseconds(8000))});
    ProcessRun run = Tarnby({"--links", "--timeout", "1", Url(stalling, "/slow.html")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("ReasonPhrase = Connection aborted on request\ntarnby: gave up on "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(": not fetched within 1 seconds (--timeout)\n"), std::string::npos) << run.err;
    EXPECT_LT(run.milliseconds, 5000);

    ScriptedServer dripping({accept(), expectUntil("\r\n\r\n"),
                             sendSlowly("HTTP/1.0 200 OK\r\n\r\n" + std::string(100, 'd'), 1, milliseconds(250))});
    run = Tarnby({"--links", "--timeout", "1", Url(dripping, "/drip.html")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("(--timeout)"), std::string::npos) << run.err;
    EXPECT_LT(run.milliseconds, 5000);
}

TEST_F(BatchFetch, WrongLimitsAreUsageErrors)
{
    for (const QStringList& arguments : {QStringList{"--links", "--timeout", "-1", "x"},
                                         QStringList{"--links", "--max-redirects", "many", "x"},
                                         QStringList{"--links", "--proxy", "", "x"}}) {
        const ProcessRun run = Tarnby(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString() << ": " << run.err;
    }
}

TEST_F(BatchFetch, TheHtmlParserDecodesByTheCharsetTheServerNames)
{
    ScriptedServer server({accept(), expectUntil("\r\n\r\n"),
                           send("HTTP/1.0 200 OK\r\nContent-Type: text/html; charset=koi8-r\r\n\r\n"
                                "<meta charset=utf-8><a href=\"r.html\">\xF0\xD2\xC9\xD7\xC5\xD4</a>"),
                           close()});
    const ProcessRun run = Tarnby({"--links", "--html-parser", Url(server, "/koi8.html")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, Url(server, "/r.html").toStdString() + "|\u041f\u0440\u0438\u0432\u0435\u0442\n");
}

TEST_F(BatchFetch, AResponseWithoutBodyIsAFileError)
{
    ScriptedServer server({accept(), expectUntil("\r\n\r\n"), send("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n"), close()});
    const ProcessRun run = Tarnby({"--links", Url(server, "/empty.html")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "tarnby: Cannot open file \"empty.html\". The server sent no document.\n");
}

TEST_F(BatchFetch, AConnectionResetInTheMiddleOfThePageFailsWithTheReason)
{
    // Without a Content-Length the links of a page cut short would pass for the whole list.
    ScriptedServer server({accept(), expectUntil("\r\n\r\n"), send("HTTP/1.0 200 OK\r\n\r\n<a href=\"a.html\">A</a><a hr"),
                           stall(milliseconds(100)), reset()});
    const ProcessRun run = Tarnby({"--links", Url(server, "/cut.html")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    const std::string last = "tarnby: cannot fetch " + Url(server, "/cut.html").toStdString()
        + ": Connection reset by peer (Error #10054)\n";
    ASSERT_GE(run.err.size(), last.size()) << run.err;
    EXPECT_EQ(run.err.substr(run.err.size() - last.size()), last) << run.err;
}

// --- https -----------------------------------------------------------------------------------

class BatchFetchHttps : public BatchFetch {
protected:
    static void SetUpTestSuite()
    {
        tls = new testservers::NginxTls();
        tls->write("page.html", kPage);
    }
    static void TearDownTestSuite() { delete tls; }
    static testservers::NginxTls* tls;
};

testservers::NginxTls* BatchFetchHttps::tls = nullptr;

struct HttpsRun {
    const char* name;
    QStringList (*arguments)(const testservers::NginxTls& web, const QString& ca);
    int exitCode;
    const char* out;
    const char* errEnd; // what standard error ends with (URL replaced by "URL")
};

TEST_F(BatchFetchHttps, CaCertAndRelocationLimits)
{
    const HttpsRun runs[] = {
        {"--cacert accepted", [](auto& w, auto& ca) { return QStringList{"--links", "--cacert", ca, Q(w.url("/page.html"))}; },
         0, kLinks.c_str(), ""},
        {"http to https", [](auto& w, auto& ca) { return QStringList{"--links", "--cacert", ca, Q(w.plainUrl("/to-https"))}; },
         0, kLinks.c_str(), ""},
        {"system store only", [](auto& w, auto&) { return QStringList{"--links", Q(w.url("/page.html"))}; }, 1, "",
         "tarnby: cannot fetch URL: certificate verify failed: unable to get local issuer certificate\n"},
        {"unreadable CA file", [](auto& w, auto&) { return QStringList{"--links", "--cacert", "none.pem", Q(w.url("/page.html"))}; },
         1, "", "tarnby: cannot fetch URL: StartTls: cannot read the CA certificates in \"none.pem\"\n"},
        {"endless https relocation", [](auto& w, auto& ca) { return QStringList{"--links", "--cacert", ca, "--max-redirects", "2", Q(w.url("/loop"))}; },
         1, "", "tarnby: gave up on URL: more than 2 redirects (--max-redirects)\n"},
    };
    for (const HttpsRun& r : runs) {
        const QStringList arguments = r.arguments(*tls, Q(tls->caFile()));
        const ProcessRun run = Tarnby(arguments);
        EXPECT_EQ(run.exitCode, r.exitCode) << r.name << ": " << run.err;
        EXPECT_EQ(run.out, r.out) << r.name;
        std::string errEnd = r.errEnd;
        if (const auto at = errEnd.find("URL"); at != std::string::npos)
            errEnd.replace(at, 3, arguments.last().toStdString());
        EXPECT_TRUE(run.err.ends_with(errEnd)) << r.name << ": " << run.err;
    }
}

TEST_F(BatchFetchHttps, TimesOutAStalledHandshake)
{
    ScriptedServer stalling({accept(), stall(milliseconds(8000))});
    const ProcessRun run = Tarnby({"--links", "--timeout", "1",
                                   Q("https://127.0.0.1:" + std::to_string(stalling.port()) + "/")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(": not fetched within 1 seconds (--timeout)\n"), std::string::npos) << run.err;
    EXPECT_LT(run.milliseconds, 5000);
}

} // namespace

namespace {

// tarnby --check as users run it: its three exit statuses, the report and the summary.
TEST_F(BatchFetch, CheckExitsWithWhatItFound)
{
    web->write("fine.html", "<a href=\"page.html\">the page</a> <a href=\"mailto:me@example.org\">me</a>");
    const ProcessRun fine = Tarnby({"--check", Url("/fine.html")});
    EXPECT_EQ(fine.exitCode, 0) << fine.err;
    EXPECT_EQ(fine.out, web->url("/page.html") + "|the page|200\nmailto:me@example.org|me|skipped\n");
    EXPECT_EQ(fine.err, "tarnby: 2 links (2 addresses on 1 pages): 1 fine, 0 redirected, 0 broken, 1 skipped, 0 excluded\n");

    const ProcessRun broken = Tarnby({"--check", "--format", "csv", Url("/page.html")});
    EXPECT_EQ(broken.exitCode, 2) << broken.err;
    EXPECT_EQ(broken.out, "url,text,result,verdict\nhttp://x.invalid/a,Alpha,name not found,broken\n" + web->url("/c.html")
                              + ",Gamma,404,broken\n");

    const ProcessRun unreadable = Tarnby({"--check", Url("/none.html")});
    EXPECT_EQ(unreadable.exitCode, 1);
    EXPECT_TRUE(unreadable.err.starts_with("tarnby: cannot fetch " + web->url("/none.html") + ": 404\n")) << unreadable.err;

    const ProcessRun wrong = Tarnby({"--check", "--format", "xml", Url("/fine.html")});
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_NE(wrong.err.find("--format takes lines, csv or json"), std::string::npos) << wrong.err;
}

} // namespace
