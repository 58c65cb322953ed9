// The caption on a real X server with a window manager: activation colours as the manager
// activates windows, and the real pointer (XTest) dragging, double-clicking and clicking.
#include "decor/Colors.h"
#include "decor/TransBtn.h"
#include "decor/vexaCap.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

using namespace decor;

namespace {

Display* XDisplay()
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->display() : nullptr;
}

class Pointer {
public:
    explicit Pointer(Display* display) : display_(display) {}
    void moveTo(QPoint screen)
    {
        XTestFakeMotionEvent(display_, -1, screen.x(), screen.y(), CurrentTime);
        XFlush(display_);
        QTest::qWait(20);
    }
    void button(bool down)
    {
        XTestFakeButtonEvent(display_, 1, down ? True : False, CurrentTime);
        XFlush(display_);
        QTest::qWait(20);
    }
    void click()
    {
        button(true);
        button(false);
    }

private:
    Display* display_;
};

QRgb ScreenPixel(QPoint screen)
{
    const QImage image = QGuiApplication::primaryScreen()->grabWindow(0, screen.x(), screen.y(), 1, 1).toImage();
    return image.pixel(0, 0) & 0xFFFFFF;
}

class CaptionOnX11 : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != "xcb" || !XDisplay())
            GTEST_SKIP() << "needs an X server";
        form.setWindowTitle("Caption under a window manager");
        form.resize(420, 260);
        form.move(200, 150);
        caption = new TVexaCaption(&form);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
        form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    }
    CaptionLayout layout() const { return caption->Layout(); }
    QPoint screenPoint(QPoint windowPoint) const { return form.mapToGlobal(windowPoint); }
    // A point of the caption's last row, clear of icon, text and buttons.
    QPoint bareCaptionPoint(int x) const
    {
        const QRect c = layout().caption;
        return QPoint(c.x() + x, c.y() + c.height() - 1);
    }

    QWidget form;
    TVexaCaption* caption = nullptr;
};

} // namespace

TEST_F(CaptionOnX11, WindowManagerActivationSwitchesBetweenActiveAndInactiveColours)
{
    QTest::qWait(100);
    const int last = layout().caption.width() - 1;
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenPixel(screenPoint(bareCaptionPoint(0))) == (clNavy & 0xFFFFFF); }, 2000));
    EXPECT_EQ(ScreenPixel(screenPoint(bareCaptionPoint(last))), clBlue & 0xFFFFFF);

    QWidget other;
    other.setWindowTitle("Other window");
    other.resize(200, 100);
    other.move(700, 600);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenPixel(screenPoint(bareCaptionPoint(0))) == (clGray & 0xFFFFFF); }, 2000));
    EXPECT_EQ(ScreenPixel(screenPoint(bareCaptionPoint(last))), clSilver & 0xFFFFFF);

    // A click on the caption activates the window again.
    Pointer pointer(XDisplay());
    pointer.moveTo(screenPoint(layout().text.center()));
    pointer.click();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_TRUE(QTest::qWaitFor([&] { return ScreenPixel(screenPoint(bareCaptionPoint(0))) == (clNavy & 0xFFFFFF); }, 2000));
}

TEST_F(CaptionOnX11, DraggingTheCaptionWithTheRealPointerMovesTheWindow)
{
    const QPoint start = form.pos();
    Pointer pointer(XDisplay());
    const QPoint grip = screenPoint(layout().text.center());
    pointer.moveTo(grip);
    pointer.button(true);
    for (int step = 1; step <= 10; ++step)
        pointer.moveTo(grip + QPoint(6 * step, 4 * step));
    pointer.button(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.pos() != start; }, 2000));
    const QPoint moved = form.pos() - start;
    EXPECT_NEAR(moved.x(), 60, 6);
    EXPECT_NEAR(moved.y(), 40, 6);
}

TEST_F(CaptionOnX11, DoubleClickOnTheTextMaximizesAndAMaximizedWindowStaysPut)
{
    Pointer pointer(XDisplay());
    pointer.moveTo(screenPoint(layout().text.center()));
    pointer.click();
    pointer.click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.isMaximized(); }, 2000));
    QTest::qWait(200);
    const QPoint zoomed = form.pos();
    const QPoint grip = screenPoint(layout().text.center());
    pointer.moveTo(grip);
    pointer.button(true);
    for (int step = 1; step <= 5; ++step)
        pointer.moveTo(grip + QPoint(10 * step, 10 * step));
    pointer.button(false);
    QTest::qWait(200);
    EXPECT_EQ(form.pos(), zoomed);
    EXPECT_TRUE(form.isMaximized());
}

TEST_F(CaptionOnX11, CloseButtonClickedWithTheRealPointerClosesTheWindow)
{
    Pointer pointer(XDisplay());
    pointer.moveTo(screenPoint(layout().buttons[cbClose].center()));
    pointer.click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form.isVisible(); }, 2000));
}

TEST_F(CaptionOnX11, RemovingTheCaptionGivesTheWindowItsManagedTitleBarBack)
{
    EXPECT_EQ(form.frameGeometry().size(), form.geometry().size()) << "no manager decorations while ours are on";
    delete caption;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_FALSE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.frameGeometry().height() > form.geometry().height(); }, 3000))
        << "the window manager framed the window again";
    EXPECT_EQ(form.contentsMargins(), QMargins());
}

TEST_F(CaptionOnX11, DraggingTheBottomRightCornerResizesASizeableWindow)
{
    const QSize start = form.size();
    Pointer pointer(XDisplay());
    const QPoint corner = screenPoint(QPoint(form.width() - 2, form.height() - 2));
    pointer.moveTo(corner);
    pointer.button(true);
    for (int step = 1; step <= 10; ++step)
        pointer.moveTo(corner + QPoint(5 * step, 4 * step));
    pointer.button(false);
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.size() != start; }, 2000));
    EXPECT_NEAR(form.width() - start.width(), 50, 6);
    EXPECT_NEAR(form.height() - start.height(), 40, 6);
    QApplication::processEvents();
    const CaptionLayout l = layout();
    EXPECT_EQ(l.caption.x() + l.caption.width(), form.width() - l.frameWidth) << "the caption follows the new width";
}

TEST_F(CaptionOnX11, RealPointerEnteringAndLeavingAButtonRaisesAndFlattensIt)
{
    auto* button = new TTransparentButton(&form);
    button->setGeometry(40, 100, 90, 25);
    button->SetCaption("&Get URL  ");
    int clicks = 0;
    button->OnClick = [&] { ++clicks; };
    button->show();
    QApplication::processEvents();
    Pointer pointer(XDisplay());
    pointer.moveTo(screenPoint(QPoint(300, 220)));
    ASSERT_FALSE(button->MouseOver());
    pointer.moveTo(button->mapToGlobal(QPoint(45, 12)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return button->MouseOver(); }, 2000));
    QTest::qWait(50);
    const QPoint corner = button->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(ScreenPixel(corner), button->palette().color(QPalette::Light).rgb() & 0xFFFFFF) << "raised while hovered";
    pointer.click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return clicks == 1; }, 2000));
    pointer.moveTo(screenPoint(QPoint(300, 220)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !button->MouseOver(); }, 2000));
    QTest::qWait(50);
    EXPECT_EQ(ScreenPixel(corner), form.palette().color(QPalette::Window).rgb() & 0xFFFFFF) << "flat again";
}
