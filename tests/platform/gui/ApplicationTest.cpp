#include "platform/gui/Application.h"
#include "platform/gui/ScriptedDialogs.h"
#include "platform/gui/Shell.h"

#include "base/Exception.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

using namespace platform::gui;

namespace {

TEST(Application, AnExceptionEscapingAHandlerIsShownAndTheProgramGoesOn)
{
    ScriptedDialogs dialogs;
    ScopedDialogs scope(dialogs);
    dialogs.answerMessage(Ok);
    dialogs.answerMessage(Ok);
    QEventLoop loop;
    bool laterEventRan = false;
    QTimer::singleShot(0, [] { throw base::EFileError("Cannot open file \"x.htm\". No such file"); });
    QTimer::singleShot(0, [] { throw 42; });
    QTimer::singleShot(5, [&] {
        laterEventRan = true;
        loop.quit();
    });
    loop.exec();
    EXPECT_TRUE(laterEventRan);
    ASSERT_EQ(dialogs.asked().size(), 2u);
    const MessageRequest& shown = dialogs.asked()[0].message;
    EXPECT_EQ(shown.caption, QStringLiteral("Test v1"));
    EXPECT_EQ(shown.text, QStringLiteral("Cannot open file \"x.htm\". No such file"));
    EXPECT_EQ(shown.icon, MessageIcon::Error);
    EXPECT_EQ(shown.buttons, MessageButtons(Ok));
    EXPECT_FALSE(dialogs.asked()[1].message.text.isEmpty());
    EXPECT_EQ(dialogs.unanswered(), 0);
}

TEST(Application, AFailureWhileShowingTheMessageDoesNotEndTheProgram)
{
    struct Broken : ScriptedDialogs {
        MessageButton message(const MessageRequest&) override { throw std::bad_alloc(); }
    } broken;
    ScopedDialogs scope(broken);
    QEventLoop loop;
    QTimer::singleShot(0, [] { throw std::runtime_error("first"); });
    QTimer::singleShot(5, &loop, &QEventLoop::quit);
    loop.exec();
    SUCCEED();
}

TEST(Shell, UrlsGoThroughTheInstalledOpenerAndItIsRestored)
{
    std::vector<QUrl> opened;
    {
        ScopedUrlOpener scope([&](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
        EXPECT_TRUE(OpenUrl(QUrl(QStringLiteral("https://tarnby.example.org/"))));
        {
            ScopedUrlOpener inner([](const QUrl&) { return false; });
            EXPECT_FALSE(OpenUrl(QUrl(QStringLiteral("https://x.example.org/"))));
        }
        EXPECT_TRUE(OpenUrl(QUrl(QStringLiteral("https://y.example.org/"))));
    }
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].host(), QStringLiteral("tarnby.example.org"));
    EXPECT_EQ(opened[1].host(), QStringLiteral("y.example.org"));
}

} // namespace
