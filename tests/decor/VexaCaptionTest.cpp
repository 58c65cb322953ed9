// The caption component's life on a window and its mouse behaviour, on the offscreen platform.
#include "DecorTestSupport.h"
#include "base/Exception.h"
#include "decor/CaptionFrame.h"
#include "decor/vexaCap.h"

#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace decor;
using decor::testing::ScriptedPopups;

namespace {

QWidget* NonClient(QWidget& form)
{
    return form.findChild<CaptionFrame*>();
}

QPoint Centre(const QRect& r)
{
    return r.center();
}

void ShowActive(QWidget& form)
{
    form.show();
    form.activateWindow();
    (void)QTest::qWaitForWindowActive(&form);
}

} // namespace

TEST(VexaCaptionOwner, MustBeATopLevelWidget)
{
    QObject plain;
    QWidget window;
    QWidget* child = new QWidget(&window);
    for (QObject* owner : {static_cast<QObject*>(nullptr), &plain, static_cast<QObject*>(child)}) {
        try {
            TVexaCaption caption(owner);
            ADD_FAILURE() << "no exception";
        } catch (const base::Exception& e) {
            EXPECT_EQ(e.message(), "The VexaCaption's owner must be a Form!");
        }
    }
    EXPECT_TRUE(plain.children().isEmpty()) << "a refused component leaves nothing behind";
    EXPECT_EQ(window.findChildren<TVexaCaption*>().size(), 0);
}

TEST(VexaCaptionLife, TakesOverTheTitleBarAndDeletingItGivesEverythingBack)
{
    QMainWindow form;
    form.setWindowTitle("Tarnby");
    form.setMenuBar(new QMenuBar);
    form.menuBar()->addMenu("&File");
    auto* content = new QLabel("content");
    form.setCentralWidget(content);
    form.resize(400, 300);
    ShowActive(form);
    const Qt::WindowFlags flags = form.windowFlags();

    auto* caption = new TVexaCaption(&form);
    QApplication::processEvents();
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(form.isVisible());
    const CaptionLayout l = caption->Layout();
    EXPECT_EQ(form.contentsMargins(), QMargins(l.frameWidth, l.frameHeight + l.captionHeight, l.frameWidth, l.frameHeight));
    EXPECT_GE(form.menuBar()->geometry().top(), l.caption.y() + l.caption.height()) << "menu bar below the caption";
    EXPECT_GE(content->mapTo(&form, QPoint(0, 0)).y(), form.menuBar()->geometry().bottom());
    ASSERT_NE(NonClient(form), nullptr);

    delete caption;
    QApplication::processEvents();
    EXPECT_EQ(form.windowFlags(), flags);
    EXPECT_EQ(form.contentsMargins(), QMargins());
    EXPECT_EQ(NonClient(form), nullptr);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.menuBar()->geometry().top(), 0);
}

TEST(VexaCaptionLife, DiesQuietlyWithItsWindow)
{
    auto* form = new QWidget;
    form->show();
    QPointer<TVexaCaption> caption = new TVexaCaption(form);
    delete form;
    EXPECT_TRUE(caption.isNull());
}

TEST(VexaCaptionStyle, BorderStyleAndIconsFollowTheWindowFlagsAndSizeLimits)
{
    EXPECT_EQ(BorderStyleOf(Qt::Window, false), TBorderStyle::bsSizeable);
    EXPECT_EQ(BorderStyleOf(Qt::Window, true), TBorderStyle::bsSingle);
    EXPECT_EQ(BorderStyleOf(Qt::Dialog, false), TBorderStyle::bsDialog);
    EXPECT_EQ(BorderStyleOf(Qt::Tool, false), TBorderStyle::bsSizeToolWin);
    EXPECT_EQ(BorderStyleOf(Qt::Tool, true), TBorderStyle::bsToolWindow);
    EXPECT_EQ(BorderStyleOf(Qt::Window | Qt::FramelessWindowHint, false), TBorderStyle::bsNone);
    EXPECT_EQ(BorderIconsOf(Qt::Window), biSystemMenu | biMinimize | biMaximize);
    EXPECT_EQ(BorderIconsOf(Qt::Dialog), biSystemMenu);
    EXPECT_EQ(BorderIconsOf(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint), 0);
    EXPECT_EQ(BorderIconsOf(Qt::Window | Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint), biSystemMenu | biHelp);
}

TEST(VexaCaptionStyle, DialogWithMinimizeAndMaximizeShowsOnlyClose)
{
    QDialog dialog(nullptr, Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint);
    auto* caption = new TVexaCaption(&dialog);
    const CaptionLayout l = caption->Layout();
    EXPECT_EQ(caption->BorderStyle(), TBorderStyle::bsDialog);
    EXPECT_TRUE(l.shown[cbClose]);
    EXPECT_FALSE(l.shown[cbMinimize] || l.shown[cbMaximize] || l.shown[cbHelp]);
    EXPECT_EQ(l.icon.width(), 0);
}

TEST(VexaCaptionStyle, BorderlessWindowKeepsItsFlagsAndGetsNoCaption)
{
    QWidget form(nullptr, Qt::Window | Qt::FramelessWindowHint);
    auto* caption = new TVexaCaption(&form);
    EXPECT_EQ(caption->Layout().captionHeight, 0);
    EXPECT_EQ(form.contentsMargins(), QMargins());
}

class CaptionMouse : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.resize(400, 300);
        form.move(100, 100);
        caption = new TVexaCaption(&form);
        ShowActive(form);
        frame = NonClient(form);
        ASSERT_NE(frame, nullptr);
    }
    CaptionLayout layout() const { return caption->Layout(); }
    QPoint buttonCentre(int kind) const { return Centre(layout().buttons[std::size_t(kind)]); }

    QWidget form;
    TVexaCaption* caption = nullptr;
    QWidget* frame = nullptr;
};

TEST_F(CaptionMouse, ButtonPressedInsideAndReleasedOutsideDoesNothing)
{
    const QPoint close = buttonCentre(cbClose);
    QTest::mousePress(frame, Qt::LeftButton, {}, close);
    EXPECT_TRUE(caption->Button(cbClose).Pressed());
    QTest::mouseMove(frame, QPoint(close.x(), close.y() + 40));
    EXPECT_FALSE(caption->Button(cbClose).Pressed());
    EXPECT_TRUE(caption->Button(cbClose).Tracking());
    QTest::mouseRelease(frame, Qt::LeftButton, {}, QPoint(close.x(), close.y() + 40));
    EXPECT_FALSE(caption->Button(cbClose).Tracking());
    EXPECT_TRUE(form.isVisible());
}

TEST_F(CaptionMouse, ButtonReleaseJustOutsideItsEdgeStillCounts)
{
    const QRect max = layout().buttons[cbMaximize];
    QTest::mousePress(frame, Qt::LeftButton, {}, Centre(max));
    const QPoint below(max.center().x(), max.y() + max.height() + 1);
    QTest::mouseMove(frame, below);
    EXPECT_TRUE(caption->Button(cbMaximize).Pressed());
    QTest::mouseRelease(frame, Qt::LeftButton, {}, below);
    EXPECT_TRUE(form.isMaximized());
    QTest::mouseClick(frame, Qt::LeftButton, {}, buttonCentre(cbMaximize));
    EXPECT_FALSE(form.isMaximized()) << "the maximize button of a zoomed window restores it";
}

TEST_F(CaptionMouse, CloseAndMinimizeButtonsSendTheirCommands)
{
    QTest::mouseClick(frame, Qt::LeftButton, {}, buttonCentre(cbMinimize));
    EXPECT_TRUE(form.isMinimized());
    form.showNormal();
    ShowActive(form);
    QTest::mouseClick(frame, Qt::LeftButton, {}, buttonCentre(cbClose));
    EXPECT_FALSE(form.isVisible());
}

TEST_F(CaptionMouse, DoubleClickOnTheTextMaximizesAndRestores)
{
    const QPoint text = Centre(layout().text);
    QTest::mouseDClick(frame, Qt::LeftButton, {}, text);
    EXPECT_TRUE(form.isMaximized());
    QTest::mouseDClick(frame, Qt::LeftButton, {}, text);
    EXPECT_FALSE(form.isMaximized());
}

TEST(CaptionMouseNoMaximize, DoubleClickOnACaptionWithoutMaximizeDoesNothing)
{
    for (Qt::WindowFlags flags : {Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint,
                                  Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint}) {
        QWidget form(nullptr, flags);
        form.resize(300, 200);
        auto* caption = new TVexaCaption(&form);
        ShowActive(form);
        QTest::mouseDClick(NonClient(form), Qt::LeftButton, {}, Centre(caption->Layout().text));
        EXPECT_FALSE(form.isMaximized());
        EXPECT_TRUE(form.isVisible());
    }
}

TEST_F(CaptionMouse, DraggingTheCaptionMovesTheWindowButNotWhenMaximized)
{
    const QPoint start = form.pos();
    const QPoint grip = Centre(layout().text);
    QTest::mousePress(frame, Qt::LeftButton, {}, grip);
    QTest::mouseMove(frame, grip + QPoint(30, 20));
    QTest::mouseRelease(frame, Qt::LeftButton, {}, grip + QPoint(30, 20));
    EXPECT_EQ(form.pos(), start + QPoint(30, 20));

    form.showMaximized();
    QApplication::processEvents();
    const QPoint zoomed = form.pos();
    QTest::mousePress(frame, Qt::LeftButton, {}, Centre(layout().text));
    QTest::mouseMove(frame, Centre(layout().text) + QPoint(30, 20));
    QTest::mouseRelease(frame, Qt::LeftButton, {}, Centre(layout().text) + QPoint(30, 20));
    EXPECT_EQ(form.pos(), zoomed);
    EXPECT_TRUE(form.isMaximized());
}

TEST_F(CaptionMouse, RightClickLeftOfTheButtonsOpensTheSystemMenuAtTheCursor)
{
    ScriptedPopups popups;
    const QPoint text = Centre(layout().text);
    QTest::mouseClick(frame, Qt::RightButton, {}, text);
    ASSERT_EQ(popups.shown().size(), 1u);
    EXPECT_EQ(popups.shown()[0].at, frame->mapToGlobal(text));
    EXPECT_EQ(popups.shown()[0].defaultItem, "&Close\tAlt+F4");
    EXPECT_TRUE(popups.shown()[0].disabledItems.contains("&Restore"));
    EXPECT_TRUE(popups.shown()[0].items.contains("Ma&ximize"));

    QTest::mouseClick(frame, Qt::RightButton, {}, buttonCentre(cbMinimize));
    EXPECT_EQ(popups.shown().size(), 1u) << "no menu from a right click on a button";
}

TEST_F(CaptionMouse, SystemMenuOfAZoomedWindowOffersRestoreFirst)
{
    form.showMaximized();
    QApplication::processEvents();
    ScriptedPopups popups("&Restore");
    QTest::mouseClick(frame, Qt::RightButton, {}, Centre(layout().text));
    ASSERT_EQ(popups.shown().size(), 1u);
    EXPECT_EQ(popups.shown()[0].defaultItem, "&Restore");
    for (const char* grayed : {"&Move", "&Size", "Ma&ximize"})
        EXPECT_TRUE(popups.shown()[0].disabledItems.contains(grayed)) << grayed;
    EXPECT_FALSE(form.isMaximized()) << "the chosen Restore ran";
}

TEST(CaptionSystemMenu, GraysMaximizeAndMinimizeWhoseButtonsAreMissingOrDisabled)
{
    QWidget form(nullptr, Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    auto* caption = new TVexaCaption(&form);
    const auto menu = caption->PrepareSystemMenu();
    int checked = 0;
    for (QAction* action : menu->actions()) {
        if (action->text() == "Ma&ximize" || action->text() == "Mi&nimize") {
            EXPECT_EQ(action->isEnabled(), action->text() == "Mi&nimize") << action->text().toStdString();
            ++checked;
        }
    }
    EXPECT_EQ(checked, 2);
}

TEST_F(CaptionMouse, IconClickOpensTheMenuBelowTheIconAndASecondClickCloses)
{
    ScriptedPopups popups;
    const CaptionLayout l = layout();
    ASSERT_GT(l.icon.width(), 0);
    const QPoint icon = Centre(l.icon);
    QTest::mouseClick(frame, Qt::LeftButton, {}, icon);
    ASSERT_EQ(popups.shown().size(), 1u);
    EXPECT_EQ(popups.shown()[0].at, frame->mapToGlobal(QPoint(l.icon.x(), l.caption.y() + l.caption.height())));
    EXPECT_TRUE(form.isVisible()) << "one click only opens the menu";
    QTest::mouseClick(frame, Qt::LeftButton, {}, icon);
    EXPECT_EQ(popups.shown().size(), 1u) << "the second press is swallowed";
    EXPECT_FALSE(form.isVisible());
}

TEST_F(CaptionMouse, IconClicksFurtherApartThanADoubleClickOpenTheMenuTwice)
{
    ScriptedPopups popups;
    const QPoint icon = Centre(layout().icon);
    QTest::mouseClick(frame, Qt::LeftButton, {}, icon);
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(frame, Qt::LeftButton, {}, icon);
    EXPECT_EQ(popups.shown().size(), 2u);
    EXPECT_TRUE(form.isVisible());
}

TEST_F(CaptionMouse, SystemMenuCommandsRunOnTheWindow)
{
    ScriptedPopups popups("Ma&ximize");
    QTest::mouseClick(frame, Qt::RightButton, {}, Centre(layout().text));
    EXPECT_TRUE(form.isMaximized());
}

TEST(VexaCaptionLife, ClientAreaClicksStillReachTheWindowsOwnWidgets)
{
    QMainWindow form;
    auto* content = new QLabel("content");
    form.setCentralWidget(content);
    form.resize(300, 200);
    auto* caption = new TVexaCaption(&form);
    ShowActive(form);
    const CaptionLayout l = caption->Layout();
    EXPECT_EQ(form.childAt(content->geometry().center()), content);
    EXPECT_EQ(form.childAt(l.text.center()), NonClient(form));
    EXPECT_EQ(form.childAt(QPoint(1, 100)), NonClient(form)) << "the frame belongs to the caption too";
}

TEST(VexaCaptionLife, ResizingTheWindowMovesTheButtonsAndTheMaskAlong)
{
    QMainWindow form;
    auto* content = new QLabel("content");
    form.setCentralWidget(content);
    form.resize(300, 200);
    auto* caption = new TVexaCaption(&form);
    ShowActive(form);
    form.resize(500, 260);
    QApplication::processEvents();
    const CaptionLayout l = caption->Layout();
    EXPECT_EQ(l.caption.x() + l.caption.width(), 500 - l.frameWidth);
    EXPECT_EQ(l.buttons[cbClose].x(), 500 - l.frameWidth - caption->Metrics().cxSize);
    EXPECT_EQ(NonClient(form)->size(), QSize(500, 260));
    EXPECT_EQ(form.childAt(QPoint(498, 130)), NonClient(form));
    EXPECT_EQ(form.childAt(content->geometry().center()), content);
}

TEST(VexaCaptionLife, TakingOverAndGivingBackLeavesAHiddenWindowHidden)
{
    QWidget form;
    auto* caption = new TVexaCaption(&form);
    EXPECT_FALSE(form.isVisible());
    delete caption;
    QApplication::processEvents();
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.windowFlags() & Qt::FramelessWindowHint);
}
