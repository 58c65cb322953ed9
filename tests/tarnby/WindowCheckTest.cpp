// The window's Process > Check links (offscreen): the pane's link lines get their results as
// one Undo step, the status bar shows the progress, Cancel leaves the pane as it was, and the
// window keeps handling events while the links are checked.
#include "WindowFixture.h"

#include "HttpServers.h"
#include "ScriptedServer.h"

#include <QAction>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

using namespace testservers::script;
using testservers::ScriptedServer;
using std::chrono::milliseconds;

namespace {

class WindowCheck : public WindowTest {
protected:
    void SetPane(const std::string& text)
    {
        form->Memo1->setText(text);
    }
    bool WaitForStatus(const QString& prefix)
    {
        return QTest::qWaitFor([&] { return form->StatusBar1->currentMessage().startsWith(prefix); }, 20000);
    }
};

TEST_F(WindowCheck, AppendsEachLinksResultAsOneUndoStep)
{
    testservers::Nginx web;
    web.write("page.html", "<p>here</p>");
    const std::string before = web.url("/page.html") + "|Page\r\n" + "a line without a link\r\n"
        + web.url("/missing.html") + "|Missing\r\n" + web.url("/old.html") + "|Moved\r\n";
    SetPane(before);
    form->MenuCheckLinksClick();
    EXPECT_TRUE(form->Memo1->isReadOnly()) << "the pane must not change under the check";
    EXPECT_TRUE(form->MenuCancelCheck->isEnabled());
    EXPECT_TRUE(form->CancelCheckButton->isVisible());
    ASSERT_TRUE(WaitForStatus("Checked: "));
    EXPECT_EQ(memo1(), web.url("/page.html") + "|Page|200\r\n" + "a line without a link\r\n" + web.url("/missing.html")
                           + "|Missing|404\r\n" + web.url("/old.html") + "|Moved|redirect 301 -> " + web.url("/page.html")
                           + "\r\n");
    EXPECT_EQ(form->StatusBar1->currentMessage(),
              "Checked: 3 links (3 addresses on 0 pages): 1 fine, 1 redirected, 1 broken, 0 skipped, 0 excluded");
    EXPECT_TRUE(paints->texts.contains("Checking 3 links...")) << paints->texts.join(" / ").toStdString();
    EXPECT_FALSE(form->Memo1->isReadOnly());
    EXPECT_FALSE(form->CancelCheckButton->isVisible());
    form->Undo1->trigger();
    EXPECT_EQ(memo1(), before);
}

TEST_F(WindowCheck, CancelLeavesThePaneAsItWasAndTheWindowAnswersMeanwhile)
{
    ScriptedServer server({accept(), stall(milliseconds(8000))});
    const std::string before = "http://127.0.0.1:" + std::to_string(server.port()) + "/slow|Slow\r\n";
    SetPane(before);
    form->MenuCheckLinksClick();
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    QTest::qWait(300);
    EXPECT_GE(ticks, 5) << "the event loop must keep turning while links are checked";
    EXPECT_TRUE(form->checkingLinks());
    QTest::mouseClick(form->CancelCheckButton, Qt::LeftButton);
    EXPECT_FALSE(form->checkingLinks());
    EXPECT_EQ(form->StatusBar1->currentMessage(), "Link check cancelled");
    EXPECT_EQ(memo1(), before);
    EXPECT_FALSE(form->Memo1->isReadOnly());
    EXPECT_TRUE(form->MenuCheckLinks->isEnabled());
    QTest::qWait(100);
    EXPECT_EQ(memo1(), before) << "nothing arrives after the cancel";
}

TEST_F(WindowCheck, APaneWithoutLinkLinesSaysSo)
{
    SetPane("just text\r\n");
    form->MenuCheckLinksClick();
    EXPECT_FALSE(form->checkingLinks());
    EXPECT_EQ(form->StatusBar1->currentMessage(), "No URL|text lines to check");
    EXPECT_EQ(memo1(), "just text\r\n");
}

} // namespace
