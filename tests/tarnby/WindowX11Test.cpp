// Tarnby's window on a real X server with a window manager: start-up shows the window before
// the files load, so each status text reaches the screen, and the window manager is told the
// window's smallest size.
#include "WindowFixture.h"

#include <QWindow>

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

} // namespace
