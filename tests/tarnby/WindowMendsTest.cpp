// The window's HTML parser links, Undo over whole new texts, and status texts that stay while
// the menus are used.
#include "WindowFixture.h"

#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QtTest/QTest>

namespace {

const std::string kPage = "<HTML><A class=x\r\nHREF='Docs/One.html'>One &amp; Only</A>\r\n"
                          "<a href=\"#top\">Top</a><A HREF=\"two.html\"><IMG SRC=t.gif ALT=\"Two\"></A></HTML>\r\n";

TEST_F(WindowTest, TheHtmlParserReadsTheLoadedPageAsItWasBeforeLowerCasing)
{
    form->FormCreate({page("page.html", kPage)});
    form->Memo1->setText("edited away\r\n");
    form->MenuHtmlLinksClick();
    EXPECT_EQ(memo1Lines(), (Lines{"Docs/One.html|One & Only", "two.html|Two"}));
    EXPECT_EQ(form->StatusBar1->currentMessage(), "Ready");
}

TEST_F(WindowTest, TheHtmlParserReadsThePaneWhenNothingWasLoaded)
{
    form->Memo1->setText("<a href=\"typed.html\">Typed</a>");
    form->MenuHtmlLinksClick();
    EXPECT_EQ(memo1Lines(), Lines{"typed.html|Typed"});
}

struct Step {
    const char* name;
    void (tarnby::THttpTestForm::*command)();
};

class UndoAfter : public WindowTest, public ::testing::WithParamInterface<Step> {};

TEST_P(UndoAfter, CtrlZBringsBackTheTextBeforeTheStep)
{
    form->FormCreate({page("page.html", kPage)});
    const std::string before = memo1();
    (form.get()->*GetParam().command)();
    ASSERT_NE(memo1(), before);
    QTest::keyClick(form->Memo1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(memo1(), before);
}

INSTANTIATE_TEST_SUITE_P(EachPass, UndoAfter, ::testing::Values(
    Step{"Pass1", &tarnby::THttpTestForm::MenuProcessClick},
    Step{"Links", &tarnby::THttpTestForm::MenuHtmlLinksClick}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowTest, UndoStepsBackThroughTypingAndEachPassInTurn)
{
    form->FormCreate({page("page.html", kPage)});
    const std::string loaded = memo1();
    form->MenuProcessClick();
    const std::string one = memo1();
    form->MenuRemoveLinksClick();
    const std::string two = memo1();
    form->MenuRemoveTagsClick();
    QTest::keyClicks(form->Memo1, "x");
    for (const std::string& expected : {memo1().substr(0, memo1().size() - 1) /* typing */, two, one, loaded}) {
        form->Undo1->trigger();
        EXPECT_EQ(memo1(), expected);
    }
}

TEST_F(WindowTest, StatusTextsStayWhileMenusAreOpenedAndHovered)
{
    form->FormCreate({});
    // Opened from the menu bar and walked with the keys, as a person does: each item passes
    // its (empty) status tip up to the window.
    form->menuBar()->setActiveAction(form->Process1->menuAction());
    ASSERT_TRUE(form->Process1->isVisible());
    QTest::keyClick(form->Process1, Qt::Key_Down);
    QTest::keyClick(form->Process1, Qt::Key_Down);
    QTest::keyClick(form->Process1, Qt::Key_Escape);
    EXPECT_EQ(form->StatusBar1->currentMessage(), "Ready");
}

} // namespace
