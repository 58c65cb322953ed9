// The three passes and Reset as the window runs them: status texts painted before the work,
// the Process button's state, and the worked example through the menu items and buttons.
#include "WindowFixture.h"

#include <QAbstractButton>
#include <QAction>

namespace {

const char* const kWorkedExample =
    "<html><body>\r\n"
    "<p>Hello <b>World</b></p>\r\n"
    "<a href=\"page1.html\" target=\"_blank\">First&nbsp;link</a> tail\r\n"
    "<a href=\"#top\">Top</a>\r\n"
    "<a href=\"page2.html\"><img src=\"x.gif\"></a>\r\n"
    "<a href=\"page3.html\">Third\r\n"
    "link</a>";

TEST_F(WindowTest, TheWorkedExampleThroughTheThreePasses)
{
    form->Memo1->setText(kWorkedExample);
    form->MenuProcess->trigger();
    EXPECT_EQ(memo1Lines(), (Lines{"<a href=\"page3.html\">|Third link", "<a href=\"page2.html\">|",
                                   "<a href=\"page1.html\">|Firstlink tail"}));
    form->TransparentButton4->click();
    EXPECT_EQ(memo1Lines(), (Lines{"<a href=\"page3.html\">|Third link", "<a href=\"page1.html\">|Firstlink tail"}));
    form->MenuRemoveTags->trigger();
    EXPECT_EQ(memo1Lines(), (Lines{"page3.html|Third link", "page1.html|Firstlink tail"}));
    EXPECT_EQ(paints->texts, (QStringList{" Processing File....Please Wait...", "Ready", "Removing Empty Links",
                                          "Ready", "Removing <a href> Tags", "Ready"}));
}

TEST_F(WindowTest, PassOneDisablesTheProcessButtonUntilReset)
{
    form->Memo1->setText("<a href=\"a.html\">some text</a>");
    form->Process->click();
    EXPECT_FALSE(form->Process->isEnabled());
    EXPECT_TRUE(form->MenuProcess->isEnabled());
    // The disabled button does nothing; the menu item still runs pass 1.
    form->Memo1->setText("<a href=\"b.html\">more text</a>");
    form->Process->click();
    EXPECT_EQ(memo1(), "<a href=\"b.html\">more text</a>");
    form->MenuProcess->trigger();
    EXPECT_EQ(memo1Lines(), Lines{"<a href=\"b.html\">|more text"});
    EXPECT_FALSE(form->Process->isEnabled());
    const std::string before = memo1();
    form->Reset1->trigger();
    EXPECT_TRUE(form->Process->isEnabled());
    EXPECT_EQ(memo1(), before);
}

TEST_F(WindowTest, EveryPassOnAnEmptyPaneEndsReadyWithAnEmptyPane)
{
    for (QAction* pass : {form->MenuProcess, form->MenuRemoveLinks, form->MenuRemoveTags}) {
        pass->trigger();
        EXPECT_EQ(memo1(), "");
        EXPECT_EQ(form->StatusBar1->currentMessage(), QStringLiteral("Ready"));
    }
}

TEST_F(WindowTest, TypedTextKeepsItsCaseAndBytesThatAreNotUtf8Survive)
{
    form->Memo1->setText("<A HREF=\"x.html\">Upper</A><a href=\"Caf\xe9.html\">Caf\xe9 Cr\xe8me</a>");
    form->MenuProcess->trigger();
    form->MenuRemoveLinks->trigger();
    form->MenuRemoveTags->trigger();
    EXPECT_EQ(memo1Lines(), Lines{"Caf\xe9.html|Caf\xe9 Cr\xe8me"});
}

} // namespace
