// The macro window and the picker offscreen: the text they start with, the inserts, the key
// capture, Load/Save with the remembered name, New, and their error texts. Dialogs are answered
// through the dialog seam; the desktop is the recorder.
#include "makro/KeyCaptureEdit.h"
#include "makro/MacroStart.h"
#include "makro/MacroTexts.h"
#include "makro/UserInfoSource.h"
#include "platform/core/TempConfig.h"
#include "platform/core/UserStore.h"
#include "makro/U_wndnam.h"
#include "makro/u_makro.h"
#include "base/StringList.h"
#include "platform/gui/ScriptedDialogs.h"
#include "platform/x11/RecordingDesktop.h"

#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include <pwd.h>
#include <unistd.h>

using namespace makro;
using platform::gui::ScriptedDialogs;
using platform::gui::ScopedDialogs;

namespace {

DesktopFactory Recorder(std::vector<std::string> titles = {})
{
    return [titles] {
        auto desktop = std::make_unique<platform::x11::RecordingDesktop>();
        for (auto it = titles.rbegin(); it != titles.rend(); ++it)
            desktop->addWindow(*it);
        return desktop;
    };
}

QString Text(const TFormMakro& form)
{
    return form.MemoEdit->toPlainText();
}

// Puts the caret at the end of the given line (1-based) of the text.
void CaretAtEndOfLine(TFormMakro& form, int line)
{
    QTextCursor cursor(form.MemoEdit->document()->findBlockByNumber(line - 1));
    cursor.movePosition(QTextCursor::EndOfBlock);
    form.MemoEdit->setTextCursor(cursor);
}

TEST(MacroWindow, StartsWithTheFourteenLinesByteForByte)
{
    TFormMakro form(Recorder());
    EXPECT_EQ(form.lines(), InitialMacroLines());
    EXPECT_EQ(form.lines().size(), 14u);
    EXPECT_EQ(form.lines()[2], ";   ExitOnError\t\tStrg+E\t   Repeat: [a],[Keys]\tStrg+R\t");
    EXPECT_EQ(form.lines()[3], ";   Sleep: [s][,ms]\t\tStrg+P\t   Start: [Program]\t\tStrg+S\t   ");
    EXPECT_EQ(form.lines()[9], "");
    EXPECT_EQ(form.lines()[13], "<DELETE>");
    EXPECT_EQ(form.windowTitle(), "Macro");
}

struct InsertCase {
    const char* name;
    std::function<void(TFormMakro&, TWindNameDlg&, ScriptedDialogs&)> action;
    QString inserted; // at the end of line 11 ("Sleep: 1"), the caret after it
};

std::ostream& operator<<(std::ostream& out, const InsertCase& c)
{
    return out << c.name;
}

class Inserts : public ::testing::TestWithParam<InsertCase> {};

TEST_P(Inserts, GoInAtTheCaretWithTheLineBreakBefore)
{
    ScriptedDialogs dialogs;
    ScopedDialogs scoped(dialogs);
    TFormMakro form(Recorder());
    TWindNameDlg picker(Recorder({"Top Window", "Editor"}));
    form.setWindowNameDialog(&picker);
    CaretAtEndOfLine(form, 11);
    const QString before = Text(form);
    const int caret = form.MemoEdit->textCursor().position();

    GetParam().action(form, picker, dialogs);

    QString expected = before;
    expected.insert(caret, GetParam().inserted);
    EXPECT_EQ(Text(form), expected);
    EXPECT_EQ(form.MemoEdit->textCursor().position(), caret + GetParam().inserted.size());
    EXPECT_EQ(dialogs.unanswered(), 0);
}

// Shortcuts of a window work while it is the active window.
void Activate(TFormMakro& form)
{
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
}

void Shortcut(TFormMakro& form, QKeyCombination key)
{
    Activate(form);
    QTest::keyClick(form.MemoEdit, key.key(), key.keyboardModifiers());
}

// Answers the picker once it shows: selects the row (or nothing) and presses the button.
void AnswerPicker(TWindNameDlg& picker, int row, QPushButton* TWindNameDlg::*button)
{
    auto* watch = new QTimer(&picker);
    watch->setInterval(10);
    QObject::connect(watch, &QTimer::timeout, &picker, [&picker, watch, row, button] {
        if (!picker.isVisible())
            return;
        watch->stop();
        picker.ListBox1->clearSelection();
        if (row >= 0)
            picker.ListBox1->setCurrentRow(row);
        (picker.*button)->click();
    });
    watch->start();
}

INSTANTIATE_TEST_SUITE_P(Macro, Inserts, ::testing::Values(
    InsertCase{"ExitOnError", [](TFormMakro& f, TWindNameDlg&, ScriptedDialogs&) { Shortcut(f, Qt::CTRL | Qt::Key_E); }, "\nExitOnError"},
    InsertCase{"Repeat", [](TFormMakro& f, TWindNameDlg&, ScriptedDialogs&) { Shortcut(f, Qt::CTRL | Qt::Key_R); }, "\nRepeat: ,"},
    InsertCase{"Sleep", [](TFormMakro& f, TWindNameDlg&, ScriptedDialogs&) { Shortcut(f, Qt::CTRL | Qt::Key_P); }, "\nSleep: "},
    InsertCase{"Tab", [](TFormMakro& f, TWindNameDlg&, ScriptedDialogs&) { Shortcut(f, Qt::CTRL | Qt::Key_Tab); }, "<TAB>"},
    InsertCase{"LowerThan", [](TFormMakro& f, TWindNameDlg&, ScriptedDialogs&) { Shortcut(f, Qt::CTRL | Qt::Key_Less); }, "<<>"},
    InsertCase{"StartQuotesAPathWithBlanks", [](TFormMakro& f, TWindNameDlg&, ScriptedDialogs& d) {
        d.answerOpen({"/opt/my tools/ed"});
        Shortcut(f, Qt::CTRL | Qt::Key_S);
    }, "\nStart: \"/opt/my tools/ed\""},
    InsertCase{"StartCancelledInsertsNothing", [](TFormMakro& f, TWindNameDlg&, ScriptedDialogs& d) {
        d.answerOpen({});
        f.Programm1Click();
    }, ""},
    InsertCase{"WindowTitleFromThePicker", [](TFormMakro& f, TWindNameDlg& p, ScriptedDialogs&) {
        AnswerPicker(p, 1, &TWindNameDlg::OKBtn);
        Shortcut(f, Qt::CTRL | Qt::Key_W);
    }, "\nWindow: Editor"},
    InsertCase{"WaitTitleFromThePicker", [](TFormMakro& f, TWindNameDlg& p, ScriptedDialogs&) {
        AnswerPicker(p, 0, &TWindNameDlg::OKBtn);
        Shortcut(f, Qt::CTRL | Qt::Key_A);
    }, "\nWait: ,Top Window"},
    InsertCase{"PickerCancelledInsertsNothing", [](TFormMakro& f, TWindNameDlg& p, ScriptedDialogs&) {
        AnswerPicker(p, 0, &TWindNameDlg::CancelBtn);
        f.Wait1Click();
    }, ""},
    InsertCase{"PickerWithoutSelectionReportsTheIndex", [](TFormMakro& f, TWindNameDlg& p, ScriptedDialogs&) {
        AnswerPicker(p, -1, &TWindNameDlg::OKBtn);
        try {
            f.Fenstertitel1Click();
            ADD_FAILURE() << "no error";
        } catch (const EListError& error) {
            EXPECT_STREQ(error.what(), "Der Index der Liste überschreitet das Maximum (-1)");
        }
    }, ""},
    InsertCase{"CapturedFunctionKey", [](TFormMakro& f, TWindNameDlg&, ScriptedDialogs&) {
        QTest::keyClick(f.EditVKey, Qt::Key_F5);
        EXPECT_EQ(f.EditVKey->text(), "F5");
        EXPECT_EQ(f.EditVKey->selectedText(), "F5");
    }, "<F5>"},
    InsertCase{"CapturedShiftComesAsAPair", [](TFormMakro& f, TWindNameDlg&, ScriptedDialogs&) {
        QTest::keyClick(f.EditVKey, Qt::Key_Shift);
    }, "<SHIFT><.SHIFT>"},
    InsertCase{"CapturedAltIsMenu", [](TFormMakro& f, TWindNameDlg&, ScriptedDialogs&) {
        QTest::keyClick(f.EditVKey, Qt::Key_Alt);
    }, "<MENU><.MENU>"},
    InsertCase{"CapturedLetterInsertsNothing", [](TFormMakro& f, TWindNameDlg&, ScriptedDialogs&) {
        QTest::keyClick(f.EditVKey, Qt::Key_A);
        EXPECT_EQ(f.EditVKey->text(), "");
    }, ""}
), [](const auto& info) { return std::string(info.param.name); });

TEST(MacroWindow, InsertReplacesTheSelection)
{
    TFormMakro form(Recorder());
    QTextCursor cursor(form.MemoEdit->document()->findBlockByNumber(13));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    form.MemoEdit->setTextCursor(cursor);
    Activate(form);
    QTest::keyClick(form.MemoEdit, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(form.lines().back(), "ExitOnError");
    EXPECT_EQ(form.lines()[13], "");
}

// Load, Save and their remembered name: each case is a sequence of dialog answers, and what
// the Save dialogs proposed.
TEST(MacroWindow, SaveProposesTheNameLastLoaded)
{
    QTemporaryDir folder;
    const QString loaded = folder.filePath("loaded.mkr");
    const QString other = folder.filePath("other.mkr");
    QFile file(loaded);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Window: x\r\nab\xE9\r\n");
    file.close();

    ScriptedDialogs dialogs;
    ScopedDialogs scoped(dialogs);
    TFormMakro form(Recorder());
    dialogs.answerSave({});
    form.BthSaveClick();
    EXPECT_EQ(dialogs.last().save.fileName, "");

    dialogs.answerOpen({loaded});
    form.BtnbLoadClick();
    EXPECT_EQ(form.lines(), (std::vector<std::string>{"Window: x", "ab\xE9"}));
    EXPECT_EQ(dialogs.last().open.defaultSuffix, "mkr");
    ASSERT_EQ(dialogs.last().open.filters.size(), 3u);

    dialogs.answerSave(other);
    form.BthSaveClick();
    EXPECT_EQ(dialogs.last().save.fileName, loaded);
    QFile saved(other);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), QByteArray("Window: x\r\nab\xE9\r\n"));

    dialogs.answerSave({});
    form.BthSaveClick();
    EXPECT_EQ(dialogs.last().save.fileName, loaded);
}

TEST(MacroWindow, FileErrorsNameTheFileAndKeepTheText)
{
    TFormMakro form(Recorder());
    const auto before = form.lines();
    EXPECT_THROW(form.LoadMacroFile("/nonexistent/x.mkr"), base::EFileError);
    try {
        form.SaveMacroFile("/nonexistent/x.mkr");
        FAIL() << "no error";
    } catch (const base::EFileError& error) {
        EXPECT_STREQ(error.what(), "Datei /nonexistent/x.mkr kann nicht erstellt werden");
    }
    EXPECT_EQ(form.lines(), before);
}

std::string AccountName()
{
    const std::string gecos = getpwuid(getuid())->pw_gecos;
    return gecos.substr(0, gecos.find(','));
}

// New with the user information the settings store holds (or not): the author line.
struct NewCase {
    const char* name;
    std::function<void(platform::core::UserStore&)> store;
    std::string author; // "(account)" stands for the account's full name
};

std::ostream& operator<<(std::ostream& out, const NewCase& c)
{
    return out << c.name;
}

class NewMacro : public ::testing::TestWithParam<NewCase> {};

TEST_P(NewMacro, StartsWithAuthorAndDateAndTheCaretBelowThem)
{
    TempConfig config;
    platform::core::UserStore store;
    GetParam().store(store);
    TFormMakro form(Recorder());
    Activate(form);
    QTest::keyClick(form.MemoEdit, Qt::Key_N, Qt::ControlModifier);
    QTest::keyClicks(form.MemoEdit, QStringLiteral("ab"));
    const auto lines = form.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], "ab"); // typed below the header, not into it
    std::string author = GetParam().author;
    if (author.starts_with("(account)"))
        author.replace(0, 9, AccountName());
    EXPECT_EQ(lines[0], "; Author:\t\t" + author);
    EXPECT_TRUE(lines[1].starts_with("; Written at:\t")) << lines[1];
    EXPECT_NE(lines[1].find(", "), std::string::npos);
}

const QString userInfo = QString::fromLatin1(makro::userInfoKey);

INSTANTIATE_TEST_SUITE_P(Macro, NewMacro, ::testing::Values(
    NewCase{"NoUserInformation", [](platform::core::UserStore&) {}, "(account), "},
    NewCase{"NameAndCompany", [](platform::core::UserStore& s) {
        s.writeString(userInfo, "DefName", "Anna Berg");
        s.writeString(userInfo, "DefCompany", "Berg & Co");
    }, "Anna Berg, Berg & Co"},
    NewCase{"CompanyOnly", [](platform::core::UserStore& s) { s.writeString(userInfo, "DefCompany", "Firma"); },
            "(account), Firma"}
), [](const auto& info) { return std::string(info.param.name); });

TEST(MacroWindow, NewWithUserInformationOfTheWrongTypeFailsWithTheTextCleared)
{
    TempConfig config;
    platform::core::UserStore store;
    store.writeBinary(userInfo, "DefName", "\x01\x02");
    TFormMakro form(Recorder());
    EXPECT_THROW(form.NeuerMakro1Click(), platform::core::ERegistryTypeError);
    EXPECT_TRUE(form.lines().empty());
}

TEST(MacroWindow, ExitOnErrorShowsFehlerNamingTheFailedLineThroughTheDialogs)
{
    ScriptedDialogs dialogs;
    ScopedDialogs scoped(dialogs);
    TFormMakro form(Recorder());
    form.setLines({"Window: Nothing", "ExitOnError", "x"});
    dialogs.answerMessage(platform::gui::Ok);
    form.BtnExcecuteClick();
    ASSERT_EQ(dialogs.asked().size(), 1u);
    EXPECT_EQ(dialogs.last().message.caption, "Information");
    EXPECT_EQ(dialogs.last().message.text, "Fehler\nLine 1: Window: Nothing");
    EXPECT_EQ(dialogs.last().message.icon, platform::gui::MessageIcon::Information);
}

TEST(WindowNamePicker, FillsItsListAtCreationAndOnRefreshOnly)
{
    auto titles = std::make_shared<std::vector<std::string>>(std::vector<std::string>{"B", "A"});
    TWindNameDlg picker([titles] {
        auto desktop = std::make_unique<platform::x11::RecordingDesktop>();
        for (auto it = titles->rbegin(); it != titles->rend(); ++it)
            desktop->addWindow(*it);
        return desktop;
    });
    titles->insert(titles->begin(), "Later");
    picker.show();
    ASSERT_EQ(picker.ListBox1->count(), 2);
    EXPECT_EQ(picker.ListBox1->item(0)->text(), "B");
    picker.btnNew->click();
    ASSERT_EQ(picker.ListBox1->count(), 3);
    EXPECT_EQ(picker.ListBox1->item(0)->text(), "Later");
}

} // namespace

namespace {

// The command-line path: what is shown, and whether the program then ends.
struct CommandLineCase {
    const char* name;
    const char* fileText;      // nullptr: the file does not exist
    std::optional<int> status; // nothing: the program starts normally
    const char* shown;         // the box's text, or nullptr for none
    std::string fileName = "play.mkr";
};

std::ostream& operator<<(std::ostream& out, const CommandLineCase& c)
{
    return out << c.name;
}

class CommandLinePlay : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLinePlay, EndsTheProgramWithItsStatusOnlyAfterARunThatDidNotFail)
{
    ScriptedDialogs dialogs;
    ScopedDialogs scoped(dialogs);
    QTemporaryDir folder;
    // The name as the file system's bytes, whatever their encoding.
    const std::string file = QFile::encodeName(folder.path()).toStdString() + "/" + GetParam().fileName;
    if (GetParam().fileText)
        std::ofstream(file, std::ios::binary) << GetParam().fileText;
    QWidget main;
    const MacroWindows windows = CreateMacroWindows(&main, Recorder());
    dialogs.answerMessage(platform::gui::Ok);
    EXPECT_EQ(PlayCommandLineMacro(*windows.form, file), GetParam().status);
    EXPECT_FALSE(windows.form->isVisible());
    if (GetParam().shown) {
        ASSERT_EQ(dialogs.asked().size(), 1u);
        EXPECT_TRUE(dialogs.last().message.text.contains(QString::fromUtf8(GetParam().shown)))
            << dialogs.last().message.text.toStdString();
    } else {
        EXPECT_TRUE(dialogs.asked().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Macro, CommandLinePlay, ::testing::Values(
    CommandLineCase{"PlayedToTheEnd", "abc\r\n", 0, nullptr},
    CommandLineCase{"StoppedByExitOnError", "; first\r\nWindow: none\r\nExitOnError\r\n", 1, "Fehler\nLine 2: Window: none"},
    CommandLineCase{"FileMissing", nullptr, std::nullopt, "play.mkr"},
    CommandLineCase{"TimeEncodingError", "Sleep: 60\r\n", std::nullopt, "Ungültiges Argument für Zeitkodierung"},
    CommandLineCase{"NameThatIsNotUtf8", "abc\r\n", 0, nullptr, "caf\xE9 \x01.mkr"},
    CommandLineCase{"NameThatIsNotUtf8Missing", nullptr, std::nullopt, "caf", "caf\xE9.mkr"}
), [](const auto& info) { return std::string(info.param.name); });

} // namespace
