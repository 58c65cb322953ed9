// The URL kept in Tarnby.ini between runs.
#include "WindowFixture.h"

#include <QFileInfo>
#include <QLineEdit>

using namespace platform::gui;

namespace {

TEST_F(WindowTest, FirstRunWithoutASettingsFileHasAnEmptyUrl)
{
    EXPECT_EQ(form->URLEdit->text(), QString());
    EXPECT_FALSE(QFileInfo::exists(config.file(QStringLiteral("Tarnby.ini"))));
}

TEST_F(WindowTest, TheUrlIsKeptAcrossARestart)
{
    form->URLEdit->setText(QStringLiteral("http://localhost:8080/links.html"));
    form->close();
    EXPECT_EQ(config.read(QStringLiteral("Tarnby.ini")), "[Data]\nURL=http://localhost:8080/links.html\n");
    open();
    EXPECT_EQ(form->URLEdit->text(), QStringLiteral("http://localhost:8080/links.html"));
}

TEST_F(WindowTest, TheUrlIsReadOnFirstShowOnly)
{
    config.write(QStringLiteral("Tarnby.ini"), "[Data]\r\nURL=http://localhost/one\r\n");
    open();
    EXPECT_EQ(form->URLEdit->text(), QStringLiteral("http://localhost/one"));
    form->URLEdit->setText(QStringLiteral("typed"));
    form->hide();
    form->show();
    EXPECT_EQ(form->URLEdit->text(), QStringLiteral("typed"));
}

TEST_F(WindowTest, OtherSettingsInTheFileSurviveTheWrite)
{
    const std::string before = "; my notes\r\n[Data]\r\nurl=http://localhost/old\r\nOther=1\r\n[Mine]\r\nx=y\r\n";
    config.write(QStringLiteral("Tarnby.ini"), before);
    open();
    form->URLEdit->setText(QStringLiteral("http://localhost/new"));
    form->close();
    std::string expected = before;
    expected.replace(expected.find("http://localhost/old"), 20, "http://localhost/new");
    EXPECT_EQ(config.read(QStringLiteral("Tarnby.ini")), expected);
}

TEST_F(WindowTest, ASettingsFileThatIsNotIniStillStartsWithAnEmptyUrl)
{
    config.write(QStringLiteral("Tarnby.ini"), std::string("\x7f" "ELF\0\0\x01[[[=\n\xff\xfe", 14));
    open();
    EXPECT_EQ(form->URLEdit->text(), QString());
    form->URLEdit->setText(QStringLiteral("http://localhost/"));
    form->close();
    open();
    EXPECT_EQ(form->URLEdit->text(), QStringLiteral("http://localhost/"));
}

TEST_F(WindowTest, ASettingsFileThatCannotBeWrittenIsReportedAndTheWindowStillCloses)
{
    // A plain file where the config folder should be: no one, not even root, can write there.
    config.write(QStringLiteral("not-a-folder"), "x");
    qputenv("XDG_CONFIG_HOME", config.file(QStringLiteral("not-a-folder")).toLocal8Bit());
    open();
    EXPECT_EQ(form->URLEdit->text(), QString());
    form->URLEdit->setText(QStringLiteral("http://localhost/lost"));
    dialogs.answerMessage(Ok);
    form->close();
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(dialogs.asked().size(), 1u);
    const MessageRequest& box = dialogs.last().message;
    EXPECT_EQ(box.icon, MessageIcon::Error);
    EXPECT_TRUE(box.text.contains(QStringLiteral("Tarnby.ini"))) << box.text.toStdString();
}

} // namespace
