// The transparent button's behaviour: mouse, keyboard, Down, disabling, popup menu, moving.
#include "DecorTestSupport.h"
#include "decor/TransBtn.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMenu>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

using namespace decor;
using decor::testing::ScriptedPopups;

namespace {

class TransBtn : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.resize(300, 200);
        button = new TTransparentButton(&window);
        button->setGeometry(20, 20, 80, 25);
        button->SetCaption("&Get URL  ");
        button->OnClick = [this] { ++clicks; };
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    void enter()
    {
        QEnterEvent e(QPointF(5, 5), QPointF(25, 25), QPointF(125, 125));
        QApplication::sendEvent(button, &e);
    }
    void leave()
    {
        QEvent e(QEvent::Leave);
        QApplication::sendEvent(button, &e);
    }

    QWidget window;
    TTransparentButton* button = nullptr;
    int clicks = 0;
};

} // namespace

TEST_F(TransBtn, ClickInsideFiresOnClickAndClickedOnce)
{
    int signalled = 0;
    QObject::connect(button, &QAbstractButton::clicked, [&] { ++signalled; });
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(signalled, 1);
    EXPECT_FALSE(button->PressedLook());
}

TEST_F(TransBtn, PressInsideReleaseOutsideGivesNoClickAndNoPressedLook)
{
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(button->PressedLook());
    QTest::mouseMove(button, QPoint(10, 60));
    EXPECT_FALSE(button->PressedLook()) << "the look follows the cursor";
    QTest::mouseMove(button, QPoint(12, 12));
    EXPECT_TRUE(button->PressedLook());
    QTest::mouseMove(button, QPoint(-5, 12));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(-5, 12));
    EXPECT_EQ(clicks, 0);
    EXPECT_FALSE(button->PressedLook());
}

TEST_F(TransBtn, MouseEventsFireOncePerMessage)
{
    int downs = 0, moves = 0, ups = 0;
    button->OnMouseDown = [&](Qt::MouseButton, Qt::KeyboardModifiers, QPoint) { ++downs; };
    button->OnMouseMove = [&](Qt::KeyboardModifiers, QPoint) { ++moves; };
    button->OnMouseUp = [&](Qt::MouseButton, Qt::KeyboardModifiers, QPoint) { ++ups; };
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(button, QPoint(11, 11));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(11, 11));
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(ups, 1);
    QTest::mouseClick(button, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(downs, 2);
    EXPECT_EQ(ups, 2);
    EXPECT_EQ(clicks, 1) << "only the left button clicks";
}

TEST_F(TransBtn, DoubleClickCountsAsTwoClicks)
{
    // The order in which the window system delivers a double click.
    const QPointF at(10, 10), screen = button->mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, at, at, screen, Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(button, &e);
    }
    EXPECT_EQ(clicks, 2);
}

TEST_F(TransBtn, DownButtonStaysPressedAfterTheMouseIsReleased)
{
    button->SetDown(true);
    EXPECT_TRUE(button->PressedLook());
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(button->PressedLook());
    EXPECT_EQ(clicks, 1);
    button->SetDown(false);
    EXPECT_FALSE(button->PressedLook());
}

TEST_F(TransBtn, DisablingClearsPressAndHoverAndStopsClicks)
{
    enter();
    EXPECT_TRUE(button->MouseOver());
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    button->SetEnabled(false);
    EXPECT_FALSE(button->PressedLook());
    EXPECT_FALSE(button->MouseOver());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 0);
    button->Click();
    EXPECT_EQ(clicks, 0);
    button->SetEnabled(true);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1) << "a press cut short by disabling does not block the next one";
}

TEST_F(TransBtn, AcceleratorLetterClicksAnEnabledButtonOnly)
{
    QTest::keyClick(&window, Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    QTest::keyClick(&window, Qt::Key_X, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    button->SetEnabled(false);
    QTest::keyClick(&window, Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(clicks, 1);
    button->SetEnabled(true);
    button->SetCaption("&Abort");
    QTest::keyClick(&window, Qt::Key_G, Qt::AltModifier);
    EXPECT_EQ(clicks, 1) << "the old accelerator is gone";
    QTest::keyClick(&window, Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(clicks, 2);
}

TEST_F(TransBtn, EnterAndLeaveSetMouseOverAndFireTheirEvents)
{
    int entered = 0, left = 0;
    button->OnMouseEnter = [&] { ++entered; };
    button->OnMouseExit = [&] { ++left; };
    enter();
    EXPECT_TRUE(button->MouseOver());
    leave();
    EXPECT_FALSE(button->MouseOver());
    EXPECT_EQ(entered, 1);
    EXPECT_EQ(left, 1);
}

TEST_F(TransBtn, GlyphAssignmentSetsTheFrameCountAndBuildsTheImageList)
{
    button->SetGlyph(QImage(32, 16, QImage::Format_RGB32));
    EXPECT_EQ(button->NumGlyphs(), 2);
    EXPECT_EQ(button->Images().size(), 4);
    button->SetGlyph(QImage(80, 16, QImage::Format_RGB32));
    EXPECT_EQ(button->NumGlyphs(), 1);
    EXPECT_EQ(button->Images().size(), 3);
    button->SetNumGlyphs(3);
    button->SetGlyph(QImage(30, 16, QImage::Format_RGB32));
    EXPECT_EQ(button->NumGlyphs(), 3);
    EXPECT_EQ(button->Images().size(), 5);
    EXPECT_EQ(button->Images()[0].width(), 10);
    button->SetNumGlyphs(9);
    EXPECT_EQ(button->NumGlyphs(), 4);
    button->SetGlyph(QImage());
    EXPECT_TRUE(button->Images().isEmpty());
}

TEST_F(TransBtn, PopUpMenuOpensAtTheBottomLeftAndLeavesNoClickBehind)
{
    ScriptedPopups popups;
    QMenu menu;
    menu.addAction("One");
    button->SetPopUpMenu(&menu);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_EQ(popups.shown().size(), 1u);
    EXPECT_EQ(popups.shown()[0].at, button->mapToGlobal(QPoint(0, button->height())));
    EXPECT_FALSE(button->PressedLook()) << "the release step ran when the menu closed";
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 0) << "the release the menu left behind is dropped";
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(popups.shown().size(), 2u) << "the next press works again";
}

TEST_F(TransBtn, PopUpMenuIsForgottenWhenItIsDestroyed)
{
    auto* menu = new QMenu;
    button->SetPopUpMenu(menu);
    delete menu;
    EXPECT_EQ(button->PopUpMenu(), nullptr);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
}

TEST_F(TransBtn, MovableButtonFollowsTheCursorWhilePressed)
{
    button->SetMovable(true);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(button, QPoint(25, 17));
    EXPECT_EQ(button->pos(), QPoint(35, 27));
    EXPECT_TRUE(button->PressedLook());
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
    TTransparentButton still(&window);
    still.setGeometry(150, 20, 40, 40);
    QTest::mousePress(&still, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(&still, QPoint(25, 17));
    EXPECT_EQ(still.pos(), QPoint(150, 20));
    QTest::mouseRelease(&still, Qt::LeftButton, {}, QPoint(25, 17));
}

TEST_F(TransBtn, HintShowsOnlyWhenHintsAreShown)
{
    button->SetHint("Get the source of the webpage at the URL ");
    EXPECT_EQ(button->toolTip(), "Get the source of the webpage at the URL ");
    button->SetShowHint(false);
    EXPECT_FALSE(button->ParentShowHint());
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), button->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(button, &help);
    EXPECT_FALSE(QToolTip::isVisible());
    button->SetShowHint(true);
    QApplication::sendEvent(button, &help);
    EXPECT_TRUE(QToolTip::isVisible());
    QToolTip::hideText();
}

TEST_F(TransBtn, ParentFontFollowsTheParentUntilAFontIsSet)
{
    QFont big = window.font();
    big.setPixelSize(20);
    window.setFont(big);
    EXPECT_EQ(button->Font().pixelSize(), 20);
    QFont own("DejaVu Sans");
    own.setPixelSize(11);
    button->SetFont(own);
    EXPECT_FALSE(button->ParentFont());
    big.setPixelSize(22);
    window.setFont(big);
    EXPECT_EQ(button->Font().pixelSize(), 11);
    button->SetParentFont(true);
    EXPECT_EQ(button->Font().pixelSize(), 22);
}
