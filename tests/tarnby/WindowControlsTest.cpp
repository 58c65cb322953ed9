// The window as a person first meets it: controls, captions, hints, menus, sizes, Help, the
// home-page image, the Edit and View commands.
#include "WindowFixture.h"
#include "decor/TransBtn.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest/QTest>

using namespace platform::gui;

namespace {

QStringList captions(const QMenu* menu)
{
    QStringList result;
    for (const QAction* a : menu->actions())
        result << a->text();
    return result;
}

TEST_F(WindowTest, ToolButtonsHaveTheirCaptionsAndHints)
{
    const std::pair<const char*, std::pair<const char*, const char*>> buttons[] = {
        {"GetButton", {"&Get URL  ", "Get the source of the webpage at the URL "}},
        {"AbortButton", {"&Abort  ", "Abort Get"}},
        {"Process", {"Process 1 ->", "Process Links, Remove other tags and formatting"}},
        {"TransparentButton4", {"Process 2 ->", "Remove Links with no text (usually image links)"}},
        {"TransparentButton5", {"Process 3 ", "Remove remaining tag components"}},
    };
    for (const auto& [name, texts] : buttons) {
        const auto* b = form->findChild<QAbstractButton*>(QLatin1String(name));
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->text(), QLatin1String(texts.first));
        EXPECT_EQ(b->toolTip(), QLatin1String(texts.second));
        EXPECT_TRUE(b->isVisible());
    }
    for (QAbstractButton* glyphed : {form->GetButton, form->AbortButton}) {
        const auto* button = qobject_cast<decor::TTransparentButton*>(glyphed);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->NumGlyphs(), 2) << "normal and disabled frames";
        EXPECT_EQ(button->TextAlign(), decor::TTextAlign::ttaRight);
        EXPECT_EQ(button->height(), 25);
    }
}

TEST_F(WindowTest, PanelUrlBoxImageLogAndPanesAreSetUpAsDesigned)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Tarnby"));
    EXPECT_EQ(form->size(), QSize(376, 391));
    EXPECT_EQ(form->Panel1->height(), 57);
    EXPECT_EQ(form->findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("URL:"));
    EXPECT_EQ(form->Label1->parentWidget(), form->Panel2);
    EXPECT_EQ(form->URLEdit->toolTip(), QStringLiteral("protocol://[user[:password]@]server[:port]/path"));
    EXPECT_EQ(form->Button1->size(), QSize(33, 9));
    EXPECT_EQ(form->Image1->toolTip(), QStringLiteral("Go to Tarnby Home Page"));
    EXPECT_FALSE(form->Image1->pixmap().isNull());
    EXPECT_TRUE(form->DisplayMemo->font().bold());
    EXPECT_EQ(form->DisplayMemo->font().pointSize(), 8);
    EXPECT_EQ(form->DisplayMemo->height(), 74);
    EXPECT_FALSE(form->Memo1->wordWrap());
    EXPECT_TRUE(form->Memo1->isVisible());
    EXPECT_FALSE(form->Memo2->isVisible());
    EXPECT_FALSE(form->Memo2->wordWrap());
    EXPECT_FALSE(form->StatusBar1->isSizeGripEnabled());
    for (const char* name : {"Panel1", "Panel2", "URLEdit", "Button1", "Image1", "DisplayMemo",
                             "Memo1", "Memo2", "StatusBar1"})
        EXPECT_NE(form->findChild<QWidget*>(QLatin1String(name)), nullptr) << name;
}

TEST_F(WindowTest, MenusHoldTheirItemsWithTheirExactCaptions)
{
    QStringList bar;
    for (const QAction* a : form->menuBar()->actions())
        bar << a->text();
    EXPECT_EQ(bar, (QStringList{"&File", "&Process", "&Edit", "&View", "&WebSite", "&Help"}));
    EXPECT_EQ(captions(form->File1), (QStringList{"&Open File(s)", "&Save", "&Print", "E&xit"}));
    EXPECT_EQ(captions(form->Process1),
              (QStringList{"1. Process Links, Remove other tags and formatting",
                           "2. Remove Links With no Text (usually image links) ",
                           "3. Remove Tag <a href\" and  \"> components", "&Links (HTML parser)",
                           "&Check links", "Cancel link check", "Reset"}));
    EXPECT_EQ(captions(form->Edit1),
              (QStringList{"Undo", "Copy    Ctrl-C", "Cut        Ctrl-X", "Paste    Ctrl-V", "Clear",
                           "Select All    Ctrl-A"}));
    EXPECT_EQ(captions(form->View1), (QStringList{"Font", "Font Color", "Background Color"}));
    EXPECT_EQ(captions(form->WebSite1), (QStringList{"Get", "Abort"}));
    EXPECT_EQ(form->Help1->menu(), nullptr);
    for (const char* name : {"MenuOpen", "Save1", "Print1", "Exit1", "MenuProcess", "MenuRemoveLinks",
                             "MenuRemoveTags", "Reset1", "Undo1", "Copy1", "Cut1", "Paste1", "Clear1",
                             "SelectAllCtrlA1", "Font1", "FontColor1", "BackgroundColor1", "MenuGet",
                             "MenuAbort", "Help1"}) {
        const auto* action = form->findChild<QAction*>(QLatin1String(name));
        ASSERT_NE(action, nullptr) << name;
        // The shortcut texts are part of the captions only.
        EXPECT_TRUE(action->shortcut().isEmpty()) << name;
    }
}

TEST_F(WindowTest, WindowSpringsBackToItsSmallestSizeAndTheLogPaneFollowsTheHeight)
{
    form->resize(200, 100);
    EXPECT_EQ(form->size(), QSize(376, 210));
    EXPECT_EQ(form->DisplayMemo->height(), 35);
    form->resize(500, 234);
    EXPECT_EQ(form->DisplayMemo->height(), 35);
    form->resize(500, 235);
    EXPECT_EQ(form->DisplayMemo->height(), 74);
    form->resize(100, 600);
    EXPECT_EQ(form->size(), QSize(376, 600));
}

TEST_F(WindowTest, HelpShowsItsLinesInAnOkBoxCaptionedWithTheProductName)
{
    dialogs.answerMessage(Ok);
    form->Help1->trigger();
    ASSERT_EQ(dialogs.asked().size(), 1u);
    const MessageRequest& box = dialogs.last().message;
    EXPECT_EQ(box.caption, QStringLiteral("Tarnby v1.1c"));
    EXPECT_EQ(box.buttons, MessageButtons(Ok));
    const QStringList lines = box.text.split(QLatin1Char('\n'));
    EXPECT_EQ(lines.front(), QStringLiteral("Tarnby v1.1  "));
    EXPECT_EQ(lines[2].trimmed(), QStringLiteral("H E L P"));
    EXPECT_TRUE(lines[1].trimmed().isEmpty() && lines[3].trimmed().isEmpty());
    EXPECT_EQ(lines.mid(4),
              (QStringList{"Use the Process Menu In Numbered Order, 1,2,3.. ",
                           "Level 1. All formatting and non link tags are removed,  ",
                           "then the pipe symbol is inserted as a database delimiter. ",
                           "Level 2. Tags with no associated Text are removed. ",
                           "Level 3. The begginning and end of the Link ",
                           "Tag is removed if desired. (optional) "}));
}

TEST_F(WindowTest, DoubleClickOnTheImageOpensTheHomePage)
{
    QTest::mouseDClick(form->Image1, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl(QLatin1String(tarnby::kHomePageUrl)));
    EXPECT_EQ(opened[0].scheme(), QStringLiteral("https"));

    // A desktop without a browser: the user is told instead of nothing happening.
    browserStarts = false;
    dialogs.answerMessage(Ok);
    form->Image1DblClick();
    EXPECT_TRUE(dialogs.last().message.text.contains(QLatin1String(tarnby::kHomePageUrl)));
}

TEST_F(WindowTest, GetAndAbortKeepTheButtonStatesThatSetButtonsGives)
{
    EXPECT_TRUE(form->GetButton->isEnabled());
    EXPECT_FALSE(form->AbortButton->isEnabled());
    form->SetButtons(false);
    EXPECT_FALSE(form->GetButton->isEnabled());
    EXPECT_FALSE(form->Process->isEnabled());
    EXPECT_TRUE(form->AbortButton->isEnabled());
    form->MenuGet->trigger();
    EXPECT_TRUE(form->GetButton->isEnabled());
    EXPECT_TRUE(form->Process->isEnabled());
    EXPECT_FALSE(form->AbortButton->isEnabled());
    form->Button1->click();
    QTest::keyClick(form->URLEdit, Qt::Key_Return);
    EXPECT_TRUE(form->GetButton->isEnabled());
}

TEST_F(WindowTest, EditMenuWorksOnThePagePane)
{
    form->Memo1->setText("one\r\ntwo");
    form->SelectAllCtrlA1->trigger();
    EXPECT_EQ(form->Memo1->selLength(), 8);
    form->Cut1->trigger();
    EXPECT_EQ(memo1(), "");
    form->Paste1->trigger();
    EXPECT_EQ(memo1(), "one\r\ntwo");
    form->Undo1->trigger();
    EXPECT_EQ(memo1(), "");
    form->Memo1->setText("x");
    form->Clear1->trigger();
    EXPECT_EQ(memo1(), "");
    EXPECT_EQ(form->Memo1->lineCount(), 0);
}

TEST_F(WindowTest, ViewMenuSetsFontAndColoursAndCancelLeavesThem)
{
    QFont font(QStringLiteral("DejaVu Serif"));
    font.setPointSize(14);
    dialogs.answerFont(font);
    dialogs.answerColour(QColor(Qt::blue));
    dialogs.answerColour(QColor(Qt::yellow));
    form->Font1->trigger();
    form->FontColor1->trigger();
    form->BackgroundColor1->trigger();
    EXPECT_EQ(form->Memo1->font().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(form->Memo1->font().pointSize(), 14);
    EXPECT_EQ(form->Memo1->textColour(), QColor(Qt::blue));
    EXPECT_EQ(form->Memo1->backgroundColour(), QColor(Qt::yellow));

    dialogs.answerFont(std::nullopt);
    dialogs.answerColour(std::nullopt);
    form->Font1->trigger();
    form->FontColor1->trigger();
    EXPECT_EQ(form->Memo1->font().pointSize(), 14);
    EXPECT_EQ(form->Memo1->textColour(), QColor(Qt::blue));
}

} // namespace
