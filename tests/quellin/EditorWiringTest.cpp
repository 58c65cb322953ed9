// The editor's commands reached from the window: tool buttons, context-menu items and keys.
#include "TempConfig.h"
#include "makro/u_makro.h"
#include "platform/x11/RecordingDesktop.h"
#include "platform/gui/ScriptedDialogs.h"
#include "platform/gui/StatusPanels.h"
#include "quellin/HtmlProblemsPane.h"
#include "quellin/ftp_main.h"
#include "richprint/RichPreview.h"
#include "richprint/TRECode.h"
#include "richprint/richprint.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QMenu>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>

using namespace platform::gui;

namespace {

class EditorWiring : public testing::Test {
protected:
    EditorWiring()
    {
        window.show();
        window.activateWindow();
        // Shortcuts act only in the active window.
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        window.Memo->setFocus();
        window.Memo->setText("<b>bold</b>");
        window.Memo->setModified(true);
    }

    TempConfig config;
    ScriptedDialogs dialogs;
    ScopedDialogs scoped{dialogs};
    quellin::Tmainform window;
};

struct Route {
    const char* name;
    std::function<void(quellin::Tmainform&)> use;
};

// New on a modified text asks first, whichever way it is reached.
const Route kNewRoutes[] = {
    {"ToolButton", [](quellin::Tmainform& w) { w.SBNeu->click(); }},
    {"MenuItem", [](quellin::Tmainform& w) { w.Neu1->trigger(); }},
    {"Shortcut", [](quellin::Tmainform& w) { QTest::keyClick(w.Memo, Qt::Key_N, Qt::ControlModifier); }},
};

class NewRoutes : public EditorWiring, public testing::WithParamInterface<Route> {};

TEST_P(NewRoutes, AskAboutTheModifiedText)
{
    dialogs.answerMessage(Yes);
    GetParam().use(window);
    ASSERT_EQ(dialogs.asked().size(), 1u);
    EXPECT_EQ(dialogs.last().message.text, QStringLiteral("Text changed - still clear?"));
    EXPECT_EQ(window.Memo->text(), "");
}

INSTANTIATE_TEST_SUITE_P(Window, NewRoutes, testing::ValuesIn(kNewRoutes),
                         [](const auto& info) { return std::string(info.param.name); });

const Route kCheckRoutes[] = {
    {"ToolButton", [](quellin::Tmainform& w) { w.SBCheck->click(); }},
    {"MenuItem", [](quellin::Tmainform& w) { w.HTMLCheck1->trigger(); }},
    {"F5", [](quellin::Tmainform& w) { QTest::keyClick(w.Memo, Qt::Key_F5); }},
};

class CheckRoutes : public EditorWiring, public testing::WithParamInterface<Route> {};

TEST_P(CheckRoutes, ColourTheTags)
{
    GetParam().use(window);
    window.Memo->setSelection(1, 1);
    EXPECT_EQ(window.Memo->selectionFormat().format.colour, QColor(0, 0, 255));
    EXPECT_TRUE(window.Memo->modified());
}

INSTANTIATE_TEST_SUITE_P(Window, CheckRoutes, testing::ValuesIn(kCheckRoutes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorWiring, TheHtmlCheckListsProblemsAndGoesToThem)
{
    window.Memo->setText("<!DOCTYPE html><title>t</title>\n<p>one\n  two</span>");
    window.Memo->setModified(false);
    QTest::keyClick(window.Memo, Qt::Key_F5);
    quellin::HtmlProblemsPane& pane = *window.HtmlProblems;
    ASSERT_TRUE(pane.isVisible());
    ASSERT_EQ(pane.topLevelItemCount(), 1);
    QTreeWidgetItem* row = pane.topLevelItem(0);
    EXPECT_EQ(row->text(0), QStringLiteral("3"));
    EXPECT_EQ(row->text(1), QStringLiteral("6"));
    EXPECT_EQ(row->text(2), QStringLiteral("</span> without an open <span>, ignored"));
    EXPECT_FALSE(window.Memo->modified());
    const int undoSteps = window.Memo->document()->availableUndoSteps();

    // Double click goes there (once the shown pane is laid out).
    QApplication::sendPostedEvents();
    const QRect place = pane.visualItemRect(row);
    ASSERT_FALSE(place.isEmpty());
    // As a user's: the first click's press, then the double click.
    QTest::mouseClick(pane.viewport(), Qt::LeftButton, {}, place.center());
    QTest::mouseDClick(pane.viewport(), Qt::LeftButton, {}, place.center());
    EXPECT_EQ(window.Memo->caretLine(), 2);
    EXPECT_EQ(window.Memo->caretColumn(), 5);
    EXPECT_EQ(window.Memo->selLength(), 0);

    // Enter too.
    window.Memo->setSelection(0, 0);
    pane.setFocus();
    pane.setCurrentItem(row);
    QTest::keyClick(&pane, Qt::Key_Return);
    EXPECT_EQ(window.Memo->caretLine(), 2);
    EXPECT_EQ(window.Memo->caretColumn(), 5);

    // F5 again refreshes the list and adds nothing to undo.
    QTest::keyClick(window.Memo, Qt::Key_F5);
    EXPECT_EQ(pane.topLevelItemCount(), 1);
    EXPECT_EQ(window.Memo->document()->availableUndoSteps(), undoSteps);
    window.Memo->setSelection(window.Memo->text().find("</span>"), 7);
    window.Memo->replaceSelection(QStringLiteral("</p>"));
    QTest::keyClick(window.Memo, Qt::Key_F5);
    ASSERT_EQ(pane.topLevelItemCount(), 1);
    EXPECT_EQ(pane.topLevelItem(0)->text(2), QStringLiteral("No problems found"));
    EXPECT_TRUE(window.Memo->modified()); // by the edit, not by the check
}

TEST_F(EditorWiring, TheHtmlCheckListsMissingFilesOfAPageOpenedFromAFolder)
{
    QTemporaryDir folder;
    const QString page = QDir(folder.path()).filePath(QStringLiteral("page.html"));
    QFile file(page);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<!DOCTYPE html><title>t</title>\n<a href=page.html>self</a> <img alt=x src=gone.png>\n");
    file.close();
    window.Memo->setModified(false);
    dialogs.answerOpen({page});
    window.SBOeffnen->click();
    QTest::keyClick(window.Memo, Qt::Key_F5);
    ASSERT_EQ(window.HtmlProblems->topLevelItemCount(), 1);
    EXPECT_EQ(window.HtmlProblems->topLevelItem(0)->text(2), QStringLiteral("Local file \"gone.png\" does not exist"));
    EXPECT_EQ(window.HtmlProblems->topLevelItem(0)->text(1), QStringLiteral("28"));
}

TEST_F(EditorWiring, FindAndReplaceOpenTheirDialogs)
{
    dialogs.answerFindReplace(true);
    window.Find1->trigger();
    dialogs.answerFindReplace(true);
    window.SBErsetzen->click();
    ASSERT_EQ(dialogs.asked().size(), 2u);
    EXPECT_FALSE(dialogs.asked()[0].findReplace.replace);
    EXPECT_TRUE(dialogs.asked()[1].findReplace.replace);
    dialogs.press({FindAction::ReplaceAll, QStringLiteral("b"), QStringLiteral("i"), true, true});
    EXPECT_EQ(window.Memo->text(), "<i>bold</i>");
}

TEST_F(EditorWiring, TheHtmlMenuInsertsItsSnippet)
{
    config.write(QStringLiteral("QUELLIN.INI"), "[Break <BR>]\n1=<br>\n");
    window.Memo->setSelection(3, 4);
    QAction* item = nullptr;
    for (QMenu* menu : window.PMHTML->findChildren<QMenu*>())
        for (QAction* action : menu->actions())
            if (action->text() == QStringLiteral("Break <BR>"))
                item = action;
    ASSERT_NE(item, nullptr);
    item->trigger();
    EXPECT_EQ(window.Memo->text(), "<b><br>\r\n</b>");
}

TEST_F(EditorWiring, AKeyReleaseShowsTheCaretInStatusPanel2)
{
    window.Memo->setText("one\r\ntwo\r\nthree");
    window.Memo->setSelection(13, 0);
    QTest::keyClick(window.Memo, Qt::Key_Right);
    EXPECT_EQ(window.Status->panelText(2), QStringLiteral("Line: 3, Pos: 5"));
}

// The panel was once 50 px wide and cut the text to "Line: 15".
TEST_F(EditorWiring, TheCaretPanelShowsItsWholeText)
{
    QLabel* panel = window.Status->panel(2);
    const auto fits = [&] { return panel->sizeHint().width() <= panel->width(); };
    const struct {
        const char* name;
        std::string text;
        long long caret;
    } cases[] = {
        { "short", "one\r\ntwo", 6 },
        { "line 15 of many", std::string(14, '\n') + "yyyyyyyyyy", 20 },
        { "a long line", std::string(123456, 'z'), 123000 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        window.Memo->setText(c.text);
        window.Memo->setSelection(c.caret, 0);
        QTest::keyClick(window.Memo, Qt::Key_Right);
        EXPECT_TRUE(window.Status->panelText(2).contains(QStringLiteral(", Pos: "))) << window.Status->panelText(2).toStdString();
        EXPECT_TRUE(fits()) << panel->width() << " px for " << window.Status->panelText(2).toStdString();
    }
    const int before = panel->width();
    window.showCaretPosition(QStringLiteral("Line: 123456789012, Pos: 123456789012"));
    EXPECT_GT(panel->width(), before) << "a longer text widens the panel";
    EXPECT_TRUE(fits());
}

} // namespace

namespace {

TEST_F(EditorWiring, PrintWithDialogPrintsTheEditorUnderItsNameToTheChosenFile)
{
    QTemporaryDir folder;
    const QString pdf = folder.filePath(QStringLiteral("page.pdf"));
    window.EditTempName->setText(QStringLiteral("index.html"));
    window.Memo->setText("<p>Printed line</p>\r\n");
    dialogs.answerPrinter(true, [&](QPrinter& printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    });
    window.Print2->trigger();
    EXPECT_EQ(dialogs.unanswered(), 0);
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished());
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(printed.contains(QStringLiteral("<p>Printed line</p>"))) << printed.toStdString();
    EXPECT_TRUE(printed.contains(QStringLiteral("index.html"))) << printed.toStdString(); // the header
    EXPECT_TRUE(window.Memo->isVisible());
}

TEST_F(EditorWiring, PrintWithDialogCancelledPrintsNothing)
{
    dialogs.answerPrinter(false);
    window.findChild<QAction*>(QStringLiteral("Dialogprint1"))->trigger();
    EXPECT_EQ(dialogs.asked().size(), 1u);
    EXPECT_FALSE(window.RichPrinter1->Printing());
}

TEST_F(EditorWiring, PreviewShowsThePagesAndTheEditorAgain)
{
    window.findChild<QAction*>(QStringLiteral("Preview1"))->trigger();
    richprint::TRichPreviewForm* preview = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<richprint::TRichPreviewForm*>(widget); form && form->isVisible())
            preview = form;
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(window.Memo->isVisible());
    preview->close();
}

// A recorder whose events outlive it: the macro window takes a fresh desktop for each run.
class KeptRecorder : public platform::x11::RecordingDesktop {
public:
    explicit KeptRecorder(std::vector<std::string>& kept) : kept_(kept) {}
    ~KeptRecorder() override { kept_ = events(); }

private:
    std::vector<std::string>& kept_;
};

// F3 and its menu item play the macro window's text on the desktop.
TEST(MacroEntries, PlayTheMacroWindowsText)
{
    for (const Route& route : {Route{"F3", [](quellin::Tmainform& w) { QTest::keyClick(w.Memo, Qt::Key_F3); }},
                               Route{"MenuItem", [](quellin::Tmainform& w) { w.Makroausfhren1->trigger(); }}}) {
        SCOPED_TRACE(route.name);
        TempConfig config;
        quellin::Tmainform window;
        std::vector<std::string> events;
        makro::TFormMakro macros([&events] { return std::make_unique<KeptRecorder>(events); }, &window);
        window.setMacroWindow(&macros);
        macros.setLines({"ab"});
        // Shortcuts act only in the active window.
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        window.Memo->setFocus();
        route.use(window);
        EXPECT_EQ(events, (std::vector<std::string>{"+41", "-41", "+42", "-42"}));
    }
}

} // namespace
