// The countdown wait control: ticks, timeout, stop, the modal run that swallows input, the
// paint checked on a rendered image, and the socket's waits through it.
#include "LoopbackPeer.h"
#include "LoopbackServers.h"
#include "ScriptedServer.h"
#include "SocketLog.h"

#include "wsocket/Wait.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <gtest/gtest.h>

using nettest::runUntil;
namespace script = testservers::script;
using namespace std::chrono_literals;

namespace {

struct WaitRecorder {
    explicit WaitRecorder(TWait& wait)
    {
        wait.SetInterval(10);
        wait.OnWait = [this](TCustomWait*, int count) { events.push_back("Wait " + std::to_string(count)); };
        wait.OnWaitStart = [this](TCustomWait*) { events.push_back("Start"); };
        wait.OnWaitStop = [this](TCustomWait*) { events.push_back("Stop"); };
        wait.OnTimeout = [this](TCustomWait*) { events.push_back("Timeout"); };
    }
    std::vector<std::string> events;
};

QImage render(TWait& wait)
{
    return wait.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(WaitControl, CreationValues)
{
    TWait wait;
    EXPECT_EQ(wait.width(), 192);
    EXPECT_EQ(wait.height(), 32);
    EXPECT_EQ(wait.Caption(), "60");
    EXPECT_EQ(wait.Interval(), 1000);
    EXPECT_FALSE(wait.Running());
    EXPECT_TRUE(wait.font().fixedPitch());
    EXPECT_EQ(wait.font().pointSize(), 8);
}

TEST(WaitControl, CountsDownAndTimesOutShowingTheInitialCountAgain)
{
    TWait wait;
    WaitRecorder r(wait);
    wait.SetCaption("3");
    wait.Start();
    EXPECT_TRUE(wait.Running());
    ASSERT_TRUE(runUntil([&] { return !wait.Running(); }));
    EXPECT_EQ(r.events, (std::vector<std::string>{"Start", "Wait 2", "Wait 1", "Wait 0", "Timeout"}));
    EXPECT_EQ(wait.ModalResult(), 2);
    EXPECT_EQ(wait.Caption(), "3");
}

TEST(WaitControl, CaptionOfOneTimesOutAtTheFirstTick)
{
    TWait wait;
    WaitRecorder r(wait);
    wait.SetCaption("1");
    wait.Run();
    EXPECT_EQ(r.events, (std::vector<std::string>{"Start", "Wait 0", "Timeout"}));
    EXPECT_EQ(wait.ModalResult(), 2);
}

TEST(WaitControl, NoNumberOrZeroWaitsFifteenTicks)
{
    for (const char* caption : {"0", "abc", ""}) {
        TWait wait;
        WaitRecorder r(wait);
        wait.SetCaption(caption);
        wait.Start();
        EXPECT_EQ(wait.Caption(), "15") << caption;
        wait.Stop();
    }
    TWait wait;
    wait.SetCaption(" 7 seconds");
    wait.Start();
    EXPECT_EQ(wait.Caption(), " 7 seconds") << "leading spaces and trailing text are read past";
    wait.Stop();
    EXPECT_EQ(wait.Caption(), "7");
}

TEST(WaitControl, StopEndsTheCountdownAndWorksOnAnIdleControl)
{
    TWait wait;
    WaitRecorder r(wait);
    wait.Stop();
    EXPECT_EQ(wait.ModalResult(), 1);
    EXPECT_EQ(r.events, std::vector<std::string>{"Stop"});
    wait.SetCaption("50");
    wait.Start();
    ASSERT_TRUE(runUntil([&] { return wait.Caption() == "48"; }));
    wait.Stop();
    EXPECT_FALSE(wait.Running());
    EXPECT_EQ(wait.Caption(), "50");
    wait.SetCaption("9");
    wait.ResetCaption();
    EXPECT_EQ(wait.Caption(), "50");
}

TEST(WaitControl, RunSwallowsKeysAndClicksButLetsMovesAndTimersThrough)
{
    QWidget window;
    auto* edit = new QLineEdit(&window);
    auto* button = new QPushButton("press", &window);
    button->move(0, 40);
    window.show();
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    int moves = 0;
    struct MoveCounter : QObject {
        int* moves;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::MouseMove)
                ++*moves;
            return false;
        }
    } counter;
    counter.moves = &moves;
    button->installEventFilter(&counter);
    button->setMouseTracking(true);

    TWait wait;
    wait.SetInterval(50);
    wait.SetCaption("4");
    int timerTicks = 0;
    QTimer other;
    QObject::connect(&other, &QTimer::timeout, [&] { ++timerTicks; });
    other.start(10);
    const QPointF centre(5, 5);
    wait.OnWaiting = [&](TCustomWait*) {
        if (moves > 0)
            return;
        QCoreApplication::postEvent(edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
        QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonPress, centre, centre, centre,
                                                            Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
        QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseButtonRelease, centre, centre, centre,
                                                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        QCoreApplication::postEvent(button, new QMouseEvent(QEvent::MouseMove, centre, centre, centre, Qt::NoButton,
                                                            Qt::NoButton, Qt::NoModifier));
    };
    wait.Run();
    EXPECT_EQ(wait.ModalResult(), 2);
    EXPECT_EQ(edit->text(), "") << "the key press was swallowed";
    EXPECT_EQ(clicks, 0) << "the click was swallowed";
    EXPECT_GT(moves, 0) << "mouse moves pass";
    EXPECT_GT(timerTicks, 5) << "timers pass";

    // After Run, input reaches the widgets again.
    QCoreApplication::sendEvent(edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, "b"));
    EXPECT_EQ(edit->text(), "b");
}

TEST(WaitControl, PaintShowsFrameBarAndCaption)
{
    TWait wait;
    wait.SetCaption("60");
    wait.Start();
    wait.Stop(); // initial count 60, caption "60": a full bar
    const QImage full = render(wait);
    const QRgb white = qRgb(255, 255, 255);
    const QRgb highlight = wait.palette().color(QPalette::Highlight).rgb();
    EXPECT_EQ(full.pixel(0, 0), qRgb(0, 0, 0)) << "the frame's outline";
    EXPECT_EQ(full.pixel(1, 1), white) << "inside the frame";
    EXPECT_EQ(full.pixel(2, 16), white) << "the frame's margin left of the bar";
    EXPECT_EQ(full.pixel(150, 16), highlight) << "the bar";
    EXPECT_EQ(full.pixel(189, 16), white) << "the frame's margin right of the bar";
    EXPECT_EQ(full.pixel(191, 31), wait.palette().color(QPalette::Window).rgb()) << "outside the frame";

    wait.SetCaption("30"); // half: the bar ends at 3 + 30 * 185 / 60 = 95
    const QImage half = render(wait);
    EXPECT_EQ(half.pixel(90, 16), highlight);
    EXPECT_EQ(half.pixel(150, 16), white);
    bool textDrawn = false;
    for (int x = 4; x < 30 && !textDrawn; ++x)
        for (int y = 8; y < 24 && !textDrawn; ++y)
            textDrawn = half.pixel(x, y) != highlight && half.pixel(x, y) != white;
    EXPECT_TRUE(textDrawn) << "the caption text is drawn over the bar";

    wait.SetCaption("0");
    EXPECT_EQ(render(wait).pixel(60, 16), white) << "no bar at 0";
    wait.SetCaption("600");
    const QImage over = render(wait);
    EXPECT_EQ(over.pixel(189, 16), white) << "a count above the initial one stays inside the frame";
    EXPECT_EQ(over.pixel(0, 16), qRgb(0, 0, 0));
}

TEST(SocketWithWaitControl, WaitIsStoppedByTheAwaitedState)
{
    wstest::ThreadedServer server(wstest::ThreadedServer::Kind::Echo);
    TWait wait;
    TWSocket s;
    s.SetWaitCtrl(&wait);
    s.SetAddr("127.0.0.1");
    s.SetPort(server.portText());
    s.Connect();
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(s.Wait(5, wsConnected));
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(wait.isVisible()) << "hidden again";
    EXPECT_EQ(wait.ModalResult(), 1);
    EXPECT_EQ(wait.Caption(), "5");
}

TEST(SocketWithWaitControl, RefusalStopsAWaitForConnected)
{
    TWait wait;
    TWSocket s;
    s.SetWaitCtrl(&wait);
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(nettest::refusedPort()));
    s.Connect();
    EXPECT_FALSE(s.Wait(5, wsConnected));
    EXPECT_EQ(wait.ModalResult(), 1);
}

TEST(SocketWithWaitControl, ReadLineAndFlushThroughTheControl)
{
    testservers::ScriptedServer server({script::accept(), script::stall(100ms), script::send("over the wire\r\n"),
                                        script::expectBytes(2 * 1024 * 1024), script::expectClose()});
    TWait wait;
    wait.SetInterval(1000);
    TWSocket s;
    SocketLog log(s);
    s.SetWaitCtrl(&wait);
    s.SetLingerOnOff(wsLingerOff); // Flush hands everything to the kernel; the close must not drop it
    s.SetAddr("127.0.0.1");
    s.SetPort(std::to_string(server.port()));
    s.Connect();
    ASSERT_TRUE(s.Wait(5, wsConnected));
    std::string line;
    s.ReadLine(5, line);
    EXPECT_EQ(line, "over the wire");
    EXPECT_EQ(wait.ModalResult(), 1) << "the line's end stopped the wait";

    const std::string data(2 * 1024 * 1024, 'w');
    s.Send(data.data(), static_cast<int>(data.size()));
    s.Flush();
    EXPECT_FALSE(wait.Running());
    EXPECT_FALSE(wait.isVisible());
    s.Close();
    EXPECT_TRUE(server.finish()) << server.failure();
    EXPECT_EQ(server.transcript().size(), data.size());
}

TEST(SocketWithWaitControl, DestroyedControlIsForgotten)
{
    TWSocket s;
    {
        TWait wait;
        s.SetWaitCtrl(&wait);
        EXPECT_EQ(s.WaitCtrl(), &wait);
    }
    EXPECT_EQ(s.WaitCtrl(), nullptr);
    SocketLog log(s);
    EXPECT_FALSE(s.Wait(1, wsConnected));
    EXPECT_EQ(log.entries, std::vector<std::string>{"Error"});
}
