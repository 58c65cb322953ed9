#include "platform/gui/Dialogs.h"
#include "platform/gui/QtDialogs.h"
#include "platform/gui/ScriptedDialogs.h"

#include <QPrinter>
#include <gtest/gtest.h>

using namespace platform::gui;

namespace {

TEST(FileFilters, ProgramFilterStringsParseIntoDescriptionsAndPatterns)
{
    const auto filters = ParseFileFilter(QStringLiteral(
        "Web files (*.htm;*.html;*.asp)|*.htm;*.html;*.asp|Text Files (*.txt)|*.txt|All files (*.*)|*.*"));
    ASSERT_EQ(filters.size(), 3u);
    EXPECT_EQ(filters[0].description, QStringLiteral("Web files (*.htm;*.html;*.asp)"));
    EXPECT_EQ(filters[0].patterns, (QStringList{"*.htm", "*.html", "*.asp"}));
    EXPECT_EQ(filters[2].patterns, QStringList{"*.*"});
    // Qt's dialog wants blanks between patterns, and "*.*" must match names without a dot.
    EXPECT_EQ(QtNameFilter(filters[0]), QStringLiteral("Web files (*.htm;*.html;*.asp) (*.htm *.html *.asp)"));
    EXPECT_EQ(QtNameFilter(filters[2]), QStringLiteral("All files (*.*) (*)"));
    EXPECT_EQ(QtNameFilter({QStringLiteral("Makro "), {QStringLiteral("*.mkr")}}),
              QStringLiteral("Makro (*.mkr)"));
}

TEST(FileFilters, OddFilterStringsStillGiveUsableFilters)
{
    EXPECT_TRUE(ParseFileFilter(QString()).empty());
    const auto lone = ParseFileFilter(QStringLiteral("Everything"));
    ASSERT_EQ(lone.size(), 1u);
    EXPECT_EQ(lone[0].patterns, QStringList{"*"});
    const auto trailing = ParseFileFilter(QStringLiteral("A|*.a|"));
    ASSERT_EQ(trailing.size(), 1u);
    EXPECT_EQ(trailing[0].patterns, QStringList{"*.a"});
}

TEST(ScriptedDialogs, AnswersInOrderAndRecordsEveryQuestion)
{
    ScriptedDialogs dialogs;
    ScopedDialogs scope(dialogs);
    dialogs.answerMessage(No);
    dialogs.answerOpen({QStringLiteral("/tmp/a.htm"), QStringLiteral("/tmp/b.htm")}, 2);
    dialogs.answerSave(QStringLiteral("/tmp/out"), 1);
    dialogs.answerColour(QColor(Qt::red));
    dialogs.answerInput(QStringLiteral("typed"));

    EXPECT_EQ(ShowMessage(QStringLiteral("Caption"), QStringLiteral("Text?"), MessageIcon::Question,
                          Yes | No),
              No);
    OpenFileRequest open;
    open.multiSelect = true;
    const auto opened = platform::gui::dialogs().openFiles(open);
    EXPECT_EQ(opened.files.size(), 2);
    EXPECT_EQ(opened.filterIndex, 2);
    const auto saved = platform::gui::dialogs().saveFile({});
    EXPECT_EQ(saved.file, QStringLiteral("/tmp/out"));
    EXPECT_EQ(saved.filterIndex, 1);
    EXPECT_EQ(platform::gui::dialogs().chooseColor(Qt::black), QColor(Qt::red));
    EXPECT_EQ(platform::gui::dialogs().input({QStringLiteral("c"), QStringLiteral("p"), {}}),
              QStringLiteral("typed"));

    ASSERT_EQ(dialogs.asked().size(), 5u);
    EXPECT_EQ(dialogs.asked()[0].message.caption, QStringLiteral("Caption"));
    EXPECT_EQ(dialogs.asked()[0].message.buttons, MessageButtons(Yes | No));
    EXPECT_TRUE(dialogs.asked()[1].open.multiSelect);
    EXPECT_EQ(dialogs.asked()[3].colour, QColor(Qt::black));
    EXPECT_EQ(dialogs.unanswered(), 0);
    EXPECT_EQ(dialogs.pending(), 0u);
}

TEST(ScriptedDialogs, APasswordAnswerRemembersOnlyWhereTheBoxWasOffered)
{
    ScriptedDialogs dialogs;
    dialogs.answerPassword(PasswordResult{QStringLiteral("pw"), true});
    dialogs.answerPassword(PasswordResult{QStringLiteral("pw"), true});
    dialogs.answerPassword(std::nullopt);
    EXPECT_TRUE(dialogs.password({QStringLiteral("c"), QStringLiteral("t"), true, false})->remember);
    EXPECT_FALSE(dialogs.password({QStringLiteral("c"), QStringLiteral("t"), false, false})->remember);
    EXPECT_FALSE(dialogs.password({}).has_value());
    EXPECT_EQ(dialogs.last().kind, ScriptedDialogs::Kind::Password);
    EXPECT_EQ(dialogs.unanswered(), 0);
}

TEST(ScriptedDialogs, AQuestionWithoutItsAnswerIsCancelledAndCounted)
{
    ScriptedDialogs dialogs;
    ScopedDialogs scope(dialogs);
    dialogs.answerSave(QStringLiteral("/tmp/x"));
    // The script expected a save dialog; a message box comes first.
    EXPECT_EQ(ShowMessage(QString(), QString(), MessageIcon::Question, Yes | No | Cancel), Cancel);
    EXPECT_EQ(ShowMessage(QString(), QString(), MessageIcon::Question, Yes | No), No);
    EXPECT_FALSE(platform::gui::dialogs().openFiles({}).accepted());
    EXPECT_EQ(dialogs.unanswered(), 3);
    EXPECT_EQ(dialogs.pending(), 1u);
    QPrinter printer;
    EXPECT_FALSE(platform::gui::dialogs().setupPrinter(printer));
}

TEST(ScriptedDialogs, ScopesNestAndRestoreTheDialogsBefore)
{
    ScriptedDialogs outer;
    ScriptedDialogs inner;
    ScopedDialogs a(outer);
    {
        ScopedDialogs b(inner);
        EXPECT_EQ(&platform::gui::dialogs(), &inner);
    }
    EXPECT_EQ(&platform::gui::dialogs(), &outer);
}

} // namespace

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>

namespace {

// Acts on the real dialog once it is up, as a person would.
void whenModal(std::function<void(QWidget*)> act)
{
    QTimer::singleShot(0, [act = std::move(act)] { act(QApplication::activeModalWidget()); });
}

TEST(QtDialogs, AMessageBoxAnswersWithTheButtonClickedAndEscapeCancels)
{
    QtDialogs real;
    const MessageRequest request{QStringLiteral("Confimation"), QStringLiteral("Save To a File?"),
                                 MessageIcon::Question, Yes | No | Cancel, NoButton};
    whenModal([](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Confimation"));
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(real.message(request), No);
    whenModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(real.message(request), Cancel);
}

TEST(QtDialogs, TheSaveDialogTellsWhichOfTwoLookAlikeFiltersWasChosen)
{
    // Both filters are "*.*": only the description tells text from RTF.
    QTemporaryDir dir;
    QtDialogs real;
    SaveFileRequest request;
    request.filters = ParseFileFilter(QStringLiteral("Plain Text or HTML|*.*|RTF File - Rich Text Format|*.*"));
    request.fileName = dir.filePath(QStringLiteral("preset"));
    whenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->nameFilters().size(), 2);
        dialog->selectNameFilter(dialog->nameFilters().at(1));
        dialog->selectFile(dir.filePath(QStringLiteral("links")));
        static_cast<QDialog*>(dialog)->accept();
    });
    const SaveFileResult chosen = real.saveFile(request);
    EXPECT_EQ(chosen.filterIndex, 1);
    EXPECT_EQ(chosen.file, dir.filePath(QStringLiteral("links")));

    whenModal([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_FALSE(real.saveFile(request).accepted());
}

TEST(QtDialogs, TheOpenDialogShowsFiltersAsSpelledAndLoadsATypedNameOfAnotherKind)
{
    QTemporaryDir dir;
    QFile notes(dir.filePath(QStringLiteral("notes.md")));
    notes.open(QIODevice::WriteOnly);
    QtDialogs real;
    OpenFileRequest request;
    request.filters = ParseFileFilter(QStringLiteral(
        "Web files (*.htm;*.html;*.asp)|*.htm;*.html;*.asp|Text Files (*.txt)|*.txt|All files (*.*)|*.*"));
    request.multiSelect = true;
    request.mustExist = true;
    request.folder = dir.path();
    whenModal([&](QWidget* w) {
        auto* types = w->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        QStringList shown;
        for (int i = 0; i < types->count(); ++i)
            shown << types->itemText(i);
        EXPECT_EQ(shown, (QStringList{"Web files (*.htm;*.html;*.asp)", "Text Files (*.txt)", "All files (*.*)"}));
        auto* name = w->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        ASSERT_NE(name, nullptr);
        QTest::keyClicks(name, QStringLiteral("notes.md"));
        QTest::keyClick(name, Qt::Key_Return);
    });
    const OpenFileResult chosen = real.openFiles(request);
    EXPECT_EQ(chosen.files, QStringList{dir.filePath(QStringLiteral("notes.md"))});
}

TEST(QtDialogs, TheOpenDialogReturnsEveryChosenFile)
{
    QTemporaryDir dir;
    for (const char* name : {"a.htm", "b.html"}) {
        QFile f(dir.filePath(QLatin1String(name)));
        f.open(QIODevice::WriteOnly);
    }
    QtDialogs real;
    OpenFileRequest request;
    request.filters = ParseFileFilter(QStringLiteral("Web files (*.htm;*.html)|*.htm;*.html|All files (*.*)|*.*"));
    request.multiSelect = true;
    request.folder = dir.path();
    whenModal([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFiles);
        dialog->selectFile(QStringLiteral("\"a.htm\" \"b.html\""));
        static_cast<QDialog*>(dialog)->accept();
    });
    const OpenFileResult chosen = real.openFiles(request);
    EXPECT_EQ(chosen.files, (QStringList{dir.filePath(QStringLiteral("a.htm")), dir.filePath(QStringLiteral("b.html"))}));
    EXPECT_EQ(chosen.filterIndex, 0);
}

struct PasswordCase {
    const char* label;
    bool offerRemember;
    bool presetRemember;
    bool clickBox;       // the user clicks the box (when it is shown)
    bool accept;
    std::optional<PasswordResult> expected;
};

class PasswordDialogCase : public ::testing::TestWithParam<PasswordCase> {};

TEST_P(PasswordDialogCase, AnswersWhatWasTypedAndTickedWithEveryControlNamed)
{
    const PasswordCase& c = GetParam();
    QtDialogs real;
    const PasswordRequest request{QStringLiteral("Password"), QStringLiteral("Password for <b>anna</b>:"),
                                  c.offerRemember, c.presetRemember};
    whenModal([&](QWidget* w) {
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Password"));
        auto* field = w->findChild<QLineEdit*>(QStringLiteral("Password"));
        auto* box = w->findChild<QCheckBox*>(QStringLiteral("Remember"));
        ASSERT_NE(field, nullptr);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(field->echoMode(), QLineEdit::Password);
        EXPECT_EQ(field->accessibleName(), QStringLiteral("Password"));
        EXPECT_EQ(box->accessibleName(), QStringLiteral("Remember in the keyring"));
        for (auto* button : w->findChildren<QAbstractButton*>())
            EXPECT_FALSE(button->accessibleName().isEmpty()) << button->text().toStdString();
        EXPECT_EQ(box->isVisible(), c.offerRemember);
        EXPECT_EQ(box->isChecked(), c.offerRemember && c.presetRemember);
        if (c.clickBox && box->isVisible())
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
        QTest::keyClicks(field, QStringLiteral("s3cr t!"));
        QTest::keyClick(field, c.accept ? Qt::Key_Return : Qt::Key_Escape);
    });
    const auto answer = real.password(request);
    ASSERT_EQ(answer.has_value(), c.expected.has_value());
    if (answer) {
        EXPECT_EQ(answer->password, c.expected->password);
        EXPECT_EQ(answer->remember, c.expected->remember);
    }
}

const QString kTyped = QStringLiteral("s3cr t!");
INSTANTIATE_TEST_SUITE_P(
    Cases, PasswordDialogCase,
    ::testing::Values(PasswordCase{"Ticked", true, false, true, true, PasswordResult{kTyped, true}},
                      PasswordCase{"LeftUnticked", true, false, false, true, PasswordResult{kTyped, false}},
                      PasswordCase{"PresetTickedClickedOff", true, true, true, true, PasswordResult{kTyped, false}},
                      PasswordCase{"NoKeyringNoBox", false, true, true, true, PasswordResult{kTyped, false}},
                      PasswordCase{"Cancelled", true, true, false, false, std::nullopt}),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
