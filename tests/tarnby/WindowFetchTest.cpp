// The window's fetch command (offscreen): its log lines, the buttons during and after a
// fetch, Abort, a 404, the document file in the current folder, and a window that goes on
// processing events while Get waits.
#include "WindowFixture.h"

#include "HttpServers.h"
#include "ScriptedServer.h"
#include "base/Exception.h"
#include "base/Streams.h"
#include "httpprot/HttpCli.h"

#include <QAbstractButton>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

using namespace testservers::script;
using testservers::ScriptedServer;
using std::chrono::milliseconds;

namespace {

const std::string kEnd = "\r\n\r\n";

class WindowFetch : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        previous = QDir::currentPath();
        QDir::setCurrent(documents.path());
        qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    }
    void TearDown() override
    {
        qunsetenv("XDG_CACHE_HOME");
        QDir::setCurrent(previous);
        WindowTest::TearDown();
    }

    // Get as the user starts it; afterwards the request-done event is let in.
    void Get(const std::string& url)
    {
        form->URLEdit->setText(QString::fromStdString(url));
        form->MenuGetClick();
        Settle();
    }
    static void Settle(int ms = 100)
    {
        QEventLoop loop;
        QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
    // Runs action once the fetch is under way (from inside Get's wait).
    void During(int ms, std::function<void()> action)
    {
        QTimer::singleShot(ms, Qt::PreciseTimer, form.get(), std::move(action));
    }
    Lines Log() const
    {
        Lines lines;
        for (const QString& line : form->DisplayMemo->toPlainText().split('\n'))
            lines.push_back(line.toStdString());
        return lines;
    }
    static std::string Url(const ScriptedServer& server, const std::string& path)
    {
        return "http://127.0.0.1:" + std::to_string(server.port()) + path;
    }
    bool ButtonsIdle() const
    {
        return form->GetButton->isEnabled() && form->Process->isEnabled() && !form->AbortButton->isEnabled();
    }
    bool ButtonsFetching() const
    {
        return !form->GetButton->isEnabled() && !form->Process->isEnabled() && form->AbortButton->isEnabled();
    }

    std::string Cached(const std::string& name) const { return cache.filePath("tarnby").toStdString() + "/" + name; }

    QTemporaryDir documents;
    QTemporaryDir cache;
    QString previous;
};

TEST_F(WindowFetch, TheWorkedExample)
{
    ScriptedServer server({accept(), expectUntil(kEnd),
                           send("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n"
                                "<HTML><A HREF=\"Page.HTML\">Caf\xc3\x89 ONE</A>\r\n</HTML>"),
                           close()});
    Get(Url(server, "/Dir/index.html"));
    EXPECT_EQ(Log(), (Lines{"text/html => index.html", "Document = " + Cached("index.html"), "StatusCode = 200",
                            "hdr>HTTP/1.0 200 OK", "hdr>Content-Type: text/html", "Request Done Error = 0"}));
    EXPECT_EQ(memo1Lines(), (Lines{"<html><a href=\"page.html\">caf\xc3\x89 one</a>", "</html>"}))
        << "lower-cased for A to Z only";
    EXPECT_EQ(base::ReadWholeFile(Cached("index.html")), "<HTML><A HREF=\"Page.HTML\">Caf\xc3\x89 ONE</A>\r\n</HTML>")
        << "the document stays in Tarnby's cache folder as it came";
    EXPECT_TRUE(ButtonsIdle());
    EXPECT_EQ(form->StatusBar1->currentMessage(), "Ready");
    EXPECT_TRUE(paints->texts.contains("Getting URL Source... Please Wait... Click Abort to Cancel"));
    EXPECT_EQ(form->documentName(), "index.html");
    EXPECT_EQ(form->HttpCli1->Agent(), "Tarnby v1.1c");
}

TEST_F(WindowFetch, ButtonsDuringAFetchAndAbort)
{
    ScriptedServer server({accept(), expectUntil(kEnd), send("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\nfirst"),
                           stall(milliseconds(8000))});
    form->DisplayMemo->setPlainText("old log");
    form->Memo1->setText("old page");
    bool fetchingSeen = false;
    During(300, [&] {
        fetchingSeen = ButtonsFetching() && form->Memo1->text().empty();
        form->AbortButton->click();
    });
    Get(Url(server, "/slow.html"));
    EXPECT_TRUE(fetchingSeen) << "Get and Process disabled, Abort enabled, panes emptied";
    EXPECT_EQ(Log(), (Lines{"text/html => slow.html", "Document = " + Cached("slow.html"), "GET Failed !", "StatusCode   = 404",
                            "ReasonPhrase = Connection aborted on request", "Request Done Error = 3"}));
    EXPECT_EQ(memo1(), "");
    EXPECT_TRUE(ButtonsIdle());
    EXPECT_EQ(form->HttpCli1->DocumentStream(), nullptr) << "the document file was released";
    EXPECT_EQ(form->StatusBar1->currentMessage(), "Getting URL Source... Please Wait... Click Abort to Cancel")
        << "a failed fetch leaves the status text";
}

TEST_F(WindowFetch, AMissingPageOnARealServer)
{
    testservers::Nginx web;
    Get(web.url("/missing.html"));
    const Lines log = Log();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(Lines(log.end() - 4, log.end()),
              (Lines{"GET Failed !", "StatusCode   = 404", "ReasonPhrase = Not Found", "Request Done Error = 0"}));
    EXPECT_EQ(memo1(), "");
    EXPECT_TRUE(ButtonsIdle());
}

TEST_F(WindowFetch, AnEndlessRedirectEndsAfter20Relocations)
{
    testservers::Nginx web;
    int relocations = 0;
    form->HttpCli1->OnLocationChange = [&, chained = form->HttpCli1->OnLocationChange](httpprot::THttpCli* c) {
        ++relocations;
        chained(c);
    };
    Get(web.url("/loop"));
    EXPECT_EQ(relocations, 21);
    const Lines log = Log();
    ASSERT_GE(log.size(), 5u);
    EXPECT_EQ(Lines(log.end() - 5, log.end()),
              (Lines{"Too many relocations: more than 20, request ended", "GET Failed !", "StatusCode   = 404",
                     "ReasonPhrase = Connection aborted on request", "Request Done Error = 3"}));
    EXPECT_TRUE(ButtonsIdle());
}

TEST_F(WindowFetch, APageFromARealServerThroughARealProxy)
{
    testservers::Nginx web;
    web.write("links.html", "<A HREF=\"One.html\">One</A>\n");
    testservers::TinyProxy proxy;
    form->HttpCli1->SetProxy("127.0.0.1:" + std::to_string(proxy.port()));
    Get(web.url("/links.html"));
    EXPECT_EQ(Log().at(2), "StatusCode = 200");
    EXPECT_EQ(memo1Lines(), Lines{"<a href=\"one.html\">one</a>"});
}

TEST_F(WindowFetch, TheWindowKeepsProcessingEventsWhileGetWaits)
{
    ScriptedServer server({accept(), expectUntil(kEnd), stall(milliseconds(400)),
                           send("HTTP/1.0 200 OK\r\n\r\nlate"), close()});
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    bool typed = false;
    During(100, [&] {
        form->URLEdit->setText("typed during the fetch");
        typed = true;
    });
    Get(Url(server, "/late.html"));
    ticker.stop();
    EXPECT_GE(ticks, 5);
    EXPECT_TRUE(typed);
    EXPECT_EQ(memo1Lines(), Lines{"late"});
}

TEST_F(WindowFetch, EnterDuringAFetchLeavesItAlone)
{
    ScriptedServer server({accept(), expectUntil(kEnd), stall(milliseconds(300)),
                           send("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<p>done</p>"), close()});
    During(100, [&] { form->Button1->click(); });
    Get(Url(server, "/busy.html"));
    EXPECT_EQ(Log().front(), "text/html => busy.html");
    EXPECT_EQ(Log().back(), "Request Done Error = 0");
    EXPECT_EQ(memo1Lines(), Lines{"<p>done</p>"});
}

TEST_F(WindowFetch, NoBodyIsAFileErrorAfterTheLog)
{
    ScriptedServer server({accept(), expectUntil(kEnd), send("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n"), close()});
    form->URLEdit->setText(QString::fromStdString(Url(server, "/nobody.html")));
    EXPECT_THROW(form->MenuGetClick(), base::EFileError);
    Settle();
    EXPECT_EQ(Log(), (Lines{"StatusCode = 200", "hdr>HTTP/1.0 200 OK", "hdr>Content-Type: text/html",
                            "Request Done Error = 0"}));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Cached("nobody.html"))));
    EXPECT_TRUE(ButtonsIdle()) << "the request-done event restores the buttons";
}

struct FetchEnding {
    const char* name;
    testservers::Script script;
    bool abort;
    const char* cached; // the cache's index.html afterwards
};

class FetchSafety : public WindowFetch, public ::testing::WithParamInterface<FetchEnding> {};

TEST_P(FetchSafety, NothingOfTheUsersIsOverwrittenAndUndoBringsThePaneBack)
{
    base::WriteWholeFile("index.html", "the user's own page");
    QDir().mkpath(cache.filePath("tarnby"));
    base::WriteWholeFile(Cached("index.html"), "fetched earlier");
    form->Memo1->setText("unsaved work\r\n");
    ScriptedServer server(GetParam().script);
    if (GetParam().abort)
        During(300, [&] { form->AbortButton->click(); });
    Get(Url(server, "/index.html"));
    EXPECT_EQ(base::ReadWholeFile("index.html"), "the user's own page");
    EXPECT_EQ(base::ReadWholeFile(Cached("index.html")), GetParam().cached);
    EXPECT_EQ(QDir(cache.filePath("tarnby")).entryList(QDir::Files), QStringList{"index.html"}) << "no partial file";
    QTest::keyClick(form->Memo1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(memo1(), "unsaved work\r\n");
}

INSTANTIATE_TEST_SUITE_P(Endings, FetchSafety, ::testing::Values(
    FetchEnding{"Fetched", {accept(), expectUntil(kEnd), send("HTTP/1.0 200 OK\r\n\r\nnew page"), close()}, false, "new page"},
    FetchEnding{"NotFound", {accept(), expectUntil(kEnd), send("HTTP/1.0 404 Not Found\r\n\r\ngone"), close()}, false, "fetched earlier"},
    FetchEnding{"Aborted", {accept(), expectUntil(kEnd), send("HTTP/1.0 200 OK\r\n\r\npart"), stall(milliseconds(8000))}, true, "fetched earlier"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
