// Tarnby's window on a real X server with a window manager: start-up shows the window before
// the files load, so each status text reaches the screen, and the window manager is told the
// window's smallest size.
#include "WindowFixture.h"

#include <QWindow>
#include <QtTest/QTest>

namespace {

TEST_F(WindowTest, OnAnXServerTheWindowIsOnScreenWhileStartUpFilesLoad)
{
    form = std::make_unique<tarnby::THttpTestForm>();
    paints = std::make_unique<StatusPaints>(form->StatusBar1);
    const std::string a = page(QStringLiteral("a.htm"), "<a href=\"a.html\">A</a>\r\n");
    const std::string b = page(QStringLiteral("b.htm"), "<a href=\"b.html\">B</a>\r\n");
    form->FormCreate({a, b});
    ASSERT_NE(form->windowHandle(), nullptr);
    EXPECT_TRUE(form->windowHandle()->isExposed());
    // A status bar that is not on the screen paints nothing: these were seen.
    EXPECT_TRUE(paints->texts.contains(QStringLiteral(" Files Loading...  1")));
    EXPECT_TRUE(paints->texts.contains(QStringLiteral(" Files Loading...  2")));
    EXPECT_EQ(form->windowHandle()->minimumSize(), QSize(376, 210));
}

struct Height {
    int window;
    int logPane;
};

class LogPane : public WindowTest, public ::testing::WithParamInterface<Height> {};

// On the screen the caption bar, menu bar and status bar take their room as well; the page pane
// gives way rather than the log pane.
TEST_P(LogPane, HeightFollowsTheWindowsHeight)
{
    form->FormCreate({page(QStringLiteral("a.htm"), "<a href=\"a.html\">A</a>\r\n")});
    form->resize(400, GetParam().window);
    // The window manager answers through the event loop.
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->height() == GetParam().window; }, 5000)) << form->height();
    QTest::qWait(50);
    EXPECT_EQ(form->DisplayMemo->height(), GetParam().logPane);
    // A squeezed layout keeps the pane's height but lays the page pane over its lower part.
    EXPECT_EQ(form->Memo1->y() - form->DisplayMemo->y(), GetParam().logPane) << "room the log pane is shown in";
}

INSTANTIATE_TEST_SUITE_P(AroundTheThreshold, LogPane,
                         ::testing::Values(Height{210, 35}, Height{234, 35}, Height{235, 74}, Height{236, 74},
                                           Height{391, 74}));

} // namespace
