// Macros on a real X server: the keys arrive in target windows of our own, Window raises and
// focuses the right one among several, Wait and Start work with real programs, the picker
// lists real windows in stacking order, and the key capture takes real key presses.
#include "SilentWindowManager.h"
#include "makro/DesktopFactory.h"
#include "makro/KeyCaptureEdit.h"
#include "makro/MacroPlayer.h"
#include "makro/U_wndnam.h"
#include "makro/u_makro.h"
#include "platform/gui/ScriptedDialogs.h"
#include "platform/x11/X11Desktop.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>


using namespace makro;
using platform::x11::X11Desktop;

namespace {

// A top-level window with a text field, shown and exposed.
class Target : public QWidget {
public:
    explicit Target(const QString& title, Qt::WindowFlags flags = {}) : QWidget(nullptr, flags)
    {
        setWindowTitle(title);
        edit = new QPlainTextEdit(this);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(edit);
        resize(300, 120);
        show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(this));
        // A window that has just appeared is busy for a moment (fonts, first paint); a program
        // still busy when a borrowed keycode is given back would miss its character.
        QTest::qWait(300);
    }
    QString text() const { return edit->toPlainText(); }
    QPlainTextEdit* edit;
};

// Plays the lines and returns the error flag. The run holds its thread, as in the program;
// it gets one of its own so that our target windows go on reading their events meanwhile, as
// another program's windows would (a character typed through a borrowed keycode must be read
// before the keycode is given back).
bool Play(const std::vector<std::string>& lines)
{
    std::atomic<bool> done = false;
    bool failed = false;
    std::thread run([&] {
        X11Desktop desktop;
        MacroPlayer player(desktop, {});
        player.run(lines);
        failed = player.errorFlag();
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 30000));
    run.join();
    return failed;
}

// Events sent by the player are read once the run is over (as in the program).
bool ArrivesAs(const Target& target, const QString& expected)
{
    const bool arrived = QTest::qWaitFor([&] { return target.text() == expected; }, 5000);
    QTest::qWait(50); // nothing more may follow
    return arrived && target.text() == expected;
}

struct TypingCase {
    const char* name;
    std::vector<std::string> lines;
    QString expected;
};

std::ostream& operator<<(std::ostream& out, const TypingCase& c)
{
    return out << c.name;
}

class Typing : public ::testing::TestWithParam<TypingCase> {};

TEST_P(Typing, ArrivesInTheFocusedWindowExactly)
{
    Target target(QStringLiteral("Macro Target"));
    std::vector<std::string> lines{"Window: macro target"};
    lines.insert(lines.end(), GetParam().lines.begin(), GetParam().lines.end());
    EXPECT_FALSE(Play(lines));
    EXPECT_TRUE(ArrivesAs(target, GetParam().expected)) << target.text().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Macro, Typing, ::testing::Values(
    TypingCase{"PlainText", {"hello world 123"}, "hello world 123"},
    TypingCase{"ShiftCapitals", {"Hello ABC"}, "Hello ABC"},
    TypingCase{"ShiftedPunctuation", {"!@#$%^&*()_+{}|:\"~?"}, "!@#$%^&*()_+{}|:\"~?"},
    TypingCase{"CharactersWithoutAKeyEachTwice", {"caf\xC3\xA9 \xE2\x82\xAC\xC3\x9F\xC3\xBC \xC3\xA9\xE2\x82\xAC\xC3\x9F\xC3\xBC"},
               QString::fromUtf8("caf\xC3\xA9 \xE2\x82\xAC\xC3\x9F\xC3\xBC \xC3\xA9\xE2\x82\xAC\xC3\x9F\xC3\xBC")},
    TypingCase{"RepeatTab", {"Repeat: 3,<TAB>"}, "\t\t\t"},
    TypingCase{"LowerThanToken", {"a<<>b"}, "a<b"},
    TypingCase{"TokensAcrossLines", {"<SHIFT>ab", "c<.SHIFT>d", "<RETURN>e"}, "ABCd\ne"}
), [](const auto& info) { return std::string(info.param.name); });

TEST(MacroOnX11, ModifierLeftDownIsReleasedWhenTheRunEnds)
{
    Target target(QStringLiteral("Macro Target"));
    EXPECT_FALSE(Play({"Window: Macro Target", "<SHIFT>a"}));
    EXPECT_FALSE(Play({"b"}));
    EXPECT_TRUE(ArrivesAs(target, "Ab"));
}

TEST(MacroOnX11, WindowRaisesAndFocusesTheRightOneAmongSeveral)
{
    Target one(QStringLiteral("Target One"));
    Target two(QStringLiteral("Target Two"));
    Target three(QStringLiteral("Target Three"));
    EXPECT_FALSE(Play({"Window: TARGET TWO", "x"}));
    EXPECT_TRUE(ArrivesAs(two, "x"));
    EXPECT_EQ(one.text(), "");
    EXPECT_EQ(three.text(), "");
    EXPECT_TRUE(Play({"Window: Target Four"}));
}

// A window of another program that appears after a delay.
class LateWindow {
public:
    LateWindow(const QString& title, const QString& delay)
    {
        process_.start("sh", {"-c", "sleep " + delay + "; exec xmessage -title \"$0\" -timeout 20 late", title});
        EXPECT_TRUE(process_.waitForStarted());
    }
    ~LateWindow()
    {
        process_.kill();
        process_.waitForFinished();
    }

private:
    QProcess process_;
};

TEST(MacroOnX11, WaitFindsAWindowThatAppearsLater)
{
    LateWindow late(QStringLiteral("Late Window"), QStringLiteral("0.5"));
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(Play({"Wait: 5,late window"}));
    EXPECT_GE(clock.elapsed(), 400);
    EXPECT_LT(clock.elapsed(), 4000);
}

TEST(MacroOnX11, WaitFailsAfterItsTimeout)
{
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(Play({"Wait: 1,No Window Has This Title"}));
    EXPECT_GE(clock.elapsed(), 1000);
    EXPECT_LT(clock.elapsed(), 1800);
}

TEST(MacroOnX11, StartRunsARealProgramAndFailsForAMissingOne)
{
    EXPECT_FALSE(Play({"Start: xmessage -title \"Started By Macro\" -timeout 3 started", "Wait: 5,Started By Macro"}));
    EXPECT_TRUE(Play({"Start: no-such-program-for-macros --flag"}));
}

TEST(MacroOnX11, ExitOnErrorStopsTheRunWithTheBox)
{
    platform::gui::ScriptedDialogs dialogs;
    platform::gui::ScopedDialogs scoped(dialogs);
    Target target(QStringLiteral("Macro Target"));
    TFormMakro form(X11DesktopFactory());
    form.setLines({"Window: Macro Target", "a", "Window: No Such Window", "ExitOnError", "b"});
    dialogs.answerMessage(platform::gui::Ok);
    form.BtnExcecuteClick();
    EXPECT_TRUE(ArrivesAs(target, "a"));
    ASSERT_EQ(dialogs.asked().size(), 1u);
    EXPECT_EQ(dialogs.last().message.text, "Fehler\nLine 3: Window: No Such Window");
}

TEST(MacroOnX11, WindowWhoseFocusNeverArrivesFailsTheCommand)
{
    Target keeper(QStringLiteral("Focus Keeper"));
    Target refused(QStringLiteral("Focus Refused"), Qt::WindowDoesNotAcceptFocus);
    EXPECT_FALSE(Play({"Window: Focus Keeper"}));
    {
        SilentWindowManager manager({refused.winId(), keeper.winId()});
        EXPECT_TRUE(Play({"Window: Focus Refused", "ExitOnError", "x"}));
    }
    QTest::qWait(100);
    EXPECT_EQ(keeper.text(), "");
    EXPECT_EQ(refused.text(), "");
}

// A run that the user stops by holding a stop key on the real keyboard (synthesised by a
// connection of our own, as a keyboard's events arrive): it ends before its next key, and the
// modifier it held is released.
struct StopCase {
    const char* name;
    std::uint8_t key;
};

std::ostream& operator<<(std::ostream& out, const StopCase& c)
{
    return out << c.name;
}

class StopKey : public ::testing::TestWithParam<StopCase> {};

TEST_P(StopKey, EndsAnEndlessRunAndReleasesItsKeys)
{
    Target target(QStringLiteral("Stop Target"));
    std::atomic<bool> done = false;
    RunEnd end = RunEnd::Completed;
    std::thread run([&] {
        X11Desktop desktop;
        MacroPlayer player(desktop, {});
        // Short lines: a window re-lays out a line on every character typed into it.
        end = player.run({"Window: Stop Target", "<SHIFT>", "Repeat: 100000000,x<.SHIFT><RETURN><SHIFT>"});
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return target.text().size() >= 20; }, 10000));
    X11Desktop user;
    user.keyEvent(GetParam().key, false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 5000));
    user.keyEvent(GetParam().key, true);
    if (!done)
        std::quick_exit(1); // the run would type for ever
    run.join();
    EXPECT_EQ(end, RunEnd::StoppedByUser);
    EXPECT_FALSE(user.keyDown(0x10)); // Shift is up again
    // The target reads what was typed before the stop (the run types far faster than a window
    // reads); then nothing more arrives.
    QString typed;
    EXPECT_TRUE(QTest::qWaitFor([&] {
        const QString before = target.text();
        QTest::qWait(300);
        typed = target.text();
        return typed == before;
    }, 30000));
    EXPECT_FALSE(typed.isEmpty());
    EXPECT_TRUE(typed.remove(QLatin1Char('\n')).count(QLatin1Char('X')) == typed.size()) << typed.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Macro, StopKey, ::testing::Values(
    StopCase{"Escape", 0x1B},
    StopCase{"PauseBreak", 0x13}
), [](const auto& info) { return std::string(info.param.name); });

TEST(MacroOnX11, TheRunsOwnEscapeAndPauseDoNotStopIt)
{
    Target target(QStringLiteral("Macro Target"));
    EXPECT_FALSE(Play({"Window: Macro Target", "a<ESCAPE>b<PAUSE>c", "Repeat: 3,<ESCAPE>d"}));
    EXPECT_TRUE(ArrivesAs(target, "abcddd"));
}

std::vector<int> Rows(const QListWidget& list, const QStringList& titles)
{
    std::vector<int> rows;
    for (const QString& title : titles) {
        const auto found = list.findItems(title, Qt::MatchExactly);
        rows.push_back(found.isEmpty() ? -1 : list.row(found.front()));
    }
    return rows;
}

TEST(MacroOnX11, PickerListsWindowsInStackingOrderAndNewOnesAfterRefresh)
{
    Target a(QStringLiteral("Picker A"));
    Target b(QStringLiteral("Picker B"));
    Target c(QStringLiteral("Picker C"));
    EXPECT_FALSE(Play({"Window: Picker A", "Window: Picker B", "Window: Picker C"}));
    TWindNameDlg picker(X11DesktopFactory());
    const std::vector<int> rows = Rows(*picker.ListBox1, {"Picker C", "Picker B", "Picker A"});
    ASSERT_GE(rows[0], 0);
    EXPECT_LT(rows[0], rows[1]);
    EXPECT_LT(rows[1], rows[2]);

    Target d(QStringLiteral("Picker D"));
    EXPECT_FALSE(Play({"Window: Picker D"}));
    EXPECT_EQ(Rows(*picker.ListBox1, {"Picker D"}).front(), -1);
    picker.btnNew->click();
    const std::vector<int> refreshed = Rows(*picker.ListBox1, {"Picker D", "Picker C"});
    ASSERT_GE(refreshed[0], 0);
    EXPECT_LT(refreshed[0], refreshed[1]);
}

struct CaptureCase {
    const char* name;
    std::uint8_t virtualKey;
    QString inserted;
};

std::ostream& operator<<(std::ostream& out, const CaptureCase& c)
{
    return out << c.name;
}

class RealKeyCapture : public ::testing::TestWithParam<CaptureCase> {};

TEST_P(RealKeyCapture, InsertsTheKeysToken)
{
    TFormMakro form(X11DesktopFactory());
    form.setLines({});
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ASSERT_FALSE(Play({"Window: Macro"}));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.VirtuelleTaste1Click();
    X11Desktop desktop;
    desktop.keyEvent(GetParam().virtualKey, false);
    desktop.keyEvent(GetParam().virtualKey, true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.MemoEdit->toPlainText() == GetParam().inserted; }, 3000))
        << form.MemoEdit->toPlainText().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Macro, RealKeyCapture, ::testing::Values(
    CaptureCase{"F5", 0x74, "<F5>"},
    CaptureCase{"Shift", 0x10, "<SHIFT><.SHIFT>"},
    CaptureCase{"Alt", 0x12, "<MENU><.MENU>"}
), [](const auto& info) { return std::string(info.param.name); });

} // namespace

#ifdef QUELLIN_PROGRAM
namespace {

TEST(MacroOnX11, QuellinPlaysTheFileOnItsCommandLineAndEnds)
{
    Target target(QStringLiteral("Macro Target"));
    QTemporaryDir folder;
    QFile file(folder.filePath("type.mkr"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("; typed by the program\r\nWindow: Macro Target\r\nfrom Quellin!\r\n");
    file.close();
    QProcess quellin;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", folder.path());
    quellin.setProcessEnvironment(environment);
    quellin.start(QStringLiteral(QUELLIN_PROGRAM), {file.fileName()});
    ASSERT_TRUE(quellin.waitForStarted());
    EXPECT_TRUE(QTest::qWaitFor([&] { return quellin.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(quellin.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(quellin.exitCode(), 0);
    EXPECT_TRUE(ArrivesAs(target, "from Quellin!"));
}

// ExitOnError ends a command-line run with the box naming the failed line and a failing status.
TEST(MacroOnX11, QuellinEndsWithAFailingStatusWhenExitOnErrorStopsTheRun)
{
    QTemporaryDir folder;
    QFile file(folder.filePath("fail.mkr"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("; no such window\r\nWindow: No Window Has This Title\r\nExitOnError\r\nnever typed\r\n");
    file.close();
    QProcess quellin;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", folder.path());
    quellin.setProcessEnvironment(environment);
    quellin.start(QStringLiteral(QUELLIN_PROGRAM), {file.fileName()});
    ASSERT_TRUE(quellin.waitForStarted());
    // The user reads the box and presses Return.
    X11Desktop user;
    platform::x11::WindowId box = 0;
    EXPECT_TRUE(QTest::qWaitFor([&] { return (box = user.findWindow("Information")) != 0; }, 20000));
    EXPECT_TRUE(user.bringToTop(box));
    user.keyEvent(0x0D, false);
    user.keyEvent(0x0D, true);
    EXPECT_TRUE(QTest::qWaitFor([&] { return quellin.state() == QProcess::NotRunning; }, 20000));
    EXPECT_EQ(quellin.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(quellin.exitCode(), 1);
}

} // namespace
#endif
