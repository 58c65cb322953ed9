// New, Open and Save: their questions, the modified flag, and files written back byte for byte.
#include "EditorFixture.h"
#include "base/Exception.h"
#include "base/Streams.h"
#include "quellin/EditorFiles.h"

#include <QDir>
#include <QTemporaryDir>

using namespace platform::gui;

namespace {

const QString kGolden = QStringLiteral(TEST_DATA_DIR "/quellin/editor-files");

class EditorFilesTest : public EditorTest {
protected:
    void type(const char* what) { editor->insertPlainText(QString::fromLatin1(what)); }
    QString file(const QString& name) const { return folder.filePath(name); }
    void write(const QString& name, const std::string& bytes) const
    {
        base::WriteWholeFile(file(name).toStdString(), bytes);
    }

    QTemporaryDir folder;
    quellin::EditorFiles files{*editor};
};

struct CommandCase {
    const char* name;
    bool modified;
    std::vector<MessageButton> answers; // to the confirmation, when asked
    bool chooseFile;                    // Open: a file is chosen in the dialog
    std::string expectedText;
    bool expectedModified;
};

class FileCommand : public EditorFilesTest, public testing::WithParamInterface<CommandCase> {
protected:
    // "old typed" in the editor, modified or not, and the answers to the confirmation queued.
    void startEditing(const CommandCase& c)
    {
        editor->setText("old ");
        editor->moveCursor(QTextCursor::End);
        type("typed");
        editor->setModified(c.modified);
        for (MessageButton answer : c.answers)
            dialogs.answerMessage(answer);
    }
};

const CommandCase kNew[] = {
    {"UnmodifiedClearsWithoutAsking", false, {}, false, "", false},
    {"ModifiedAnsweredYesClears", true, {Yes}, false, "", false},
    {"ModifiedAnsweredNoKeepsTextAndFlag", true, {No}, false, "old typed", true},
};

class NewCommand : public FileCommand {};

TEST_P(NewCommand, AsksOnlyAboutAModifiedText)
{
    const CommandCase& c = GetParam();
    startEditing(c);
    files.newText();
    EXPECT_EQ(text(), c.expectedText);
    EXPECT_EQ(editor->modified(), c.expectedModified);
    ASSERT_EQ(dialogs.asked().size(), c.answers.size());
    if (!c.answers.empty()) {
        EXPECT_EQ(dialogs.last().message.text, QStringLiteral("Text changed - still clear?"));
        EXPECT_EQ(dialogs.last().message.buttons, Yes | No);
    }
    EXPECT_EQ(dialogs.unanswered(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, NewCommand, testing::ValuesIn(kNew),
                         [](const auto& info) { return std::string(info.param.name); });

const CommandCase kOpen[] = {
    {"UnmodifiedOpensWithoutAsking", false, {}, true, "opened\r\n", false},
    {"ModifiedAnsweredYesOpens", true, {Yes}, true, "opened\r\n", false},
    {"ModifiedAnsweredNoKeepsTextAndFlag", true, {No}, false, "old typed", true},
    {"CancelledDialogKeepsTextAndFlag", true, {Yes}, false, "old typed", true},
};

class OpenCommand : public FileCommand {};

TEST_P(OpenCommand, AsksAboutAModifiedTextThenForTheFile)
{
    const CommandCase& c = GetParam();
    write(QStringLiteral("page.html"), "opened\r\n");
    startEditing(c);
    const bool dialogRuns = c.answers.empty() || c.answers.back() == Yes;
    if (dialogRuns)
        dialogs.answerOpen(c.chooseFile ? QStringList{file(QStringLiteral("page.html"))} : QStringList{});
    files.open();
    EXPECT_EQ(text(), c.expectedText);
    EXPECT_EQ(editor->modified(), c.expectedModified);
    if (!c.answers.empty()) {
        EXPECT_EQ(dialogs.asked().front().message.text, QStringLiteral("Text changed - still open new?"));
    }
    if (dialogRuns) {
        const OpenFileRequest& asked = dialogs.last().open;
        EXPECT_EQ(asked.title, QStringLiteral("Datei von lokalen Laufwerk öffnen"));
        ASSERT_EQ(asked.filters.size(), 2u);
        EXPECT_EQ(asked.filters[0].description, QStringLiteral("Textdateien"));
        EXPECT_EQ(asked.filters[0].patterns, (QStringList{"*.txt", "*.htm", "*.html", "*.phtml"}));
        EXPECT_EQ(asked.filters[1].description, QStringLiteral("Alle Dateien"));
        EXPECT_EQ(asked.defaultSuffix, QStringLiteral("txt"));
    }
    EXPECT_EQ(dialogs.unanswered(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, OpenCommand, testing::ValuesIn(kOpen),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorFilesTest, SaveAsksNothingFirstWritesTheTextAndClearsTheFlag)
{
    editor->setModified(true);
    type("one\ntwo");
    dialogs.answerSave(file(QStringLiteral("new.txt")));
    files.save();
    EXPECT_EQ(dialogs.asked().size(), 1u);
    EXPECT_EQ(dialogs.last().save.title, QStringLiteral("Datei auf lokales Laufwerk speichern"));
    EXPECT_EQ(dialogs.last().save.defaultSuffix, QStringLiteral("txt"));
    EXPECT_EQ(base::ReadWholeFile(file(QStringLiteral("new.txt")).toStdString()), "one\r\ntwo\r\n");
    EXPECT_FALSE(editor->modified());
}

TEST_F(EditorFilesTest, SaveCancelledKeepsTheFlag)
{
    type("x");
    dialogs.answerSave(QString());
    files.save();
    EXPECT_TRUE(editor->modified());
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST_F(EditorFilesTest, AnUnreadableFileIsAFileErrorAndTheTextStays)
{
    editor->setText("kept");
    dialogs.answerOpen({file(QStringLiteral("missing.html"))});
    EXPECT_THROW(files.open(), base::EFileError);
    EXPECT_EQ(text(), "kept");
}

std::vector<std::string> goldenFiles()
{
    std::vector<std::string> names;
    for (const QString& name : QDir(kGolden).entryList(QDir::Files, QDir::Name))
        names.push_back(name.toStdString());
    return names;
}

class GoldenFile : public EditorFilesTest, public testing::WithParamInterface<std::string> {};

TEST_P(GoldenFile, OpenedAndSavedUnchangedIsByteIdentical)
{
    const QString name = QString::fromStdString(GetParam());
    const QString source = kGolden + QLatin1Char('/') + name;
    dialogs.answerOpen({source});
    files.open();
    dialogs.answerSave(file(name));
    files.save();
    EXPECT_EQ(base::ReadWholeFile(file(name).toStdString()), base::ReadWholeFile(source.toStdString()));
}

INSTANTIATE_TEST_SUITE_P(Folder, GoldenFile, testing::ValuesIn(goldenFiles()), [](const auto& info) {
    std::string name = info.param;
    for (char& c : name)
        if (c == '.' || c == '-')
            c = '_';
    return name;
});

} // namespace

// The pane's text worked out from the bytes must be what the pane itself gives back: a
// difference would make an unchanged remote page look edited (or an edited one unchanged).
TEST_F(EditorFilesTest, PaneTextWorkedOutFromTheBytesIsThePanesOwn)
{
    const std::string cases[] = {
        "",
        "a",
        "a\nb\n",
        "a\r\nb\rc\nd",
        "\r\r\n\n\r",
        "end with cr\r",
        "\xEF\xBB\xBF" "bom\n",
        "para\xE2\x80\xA9sep\xE2\x80\xA8line\n",
        "frames\xEF\xB7\x90x\xEF\xB7\x91y\xEF\xB7\x92z",
        "nbsp\xC2\xA0 \xE2\x82\xAC\n",
        "cp1252 \xE2\x80 \xEF\xB7\x90 \xA0\r\n",
        "\t\x0B\x0C\x1B controls\n",
        // The pane is filled a megabyte at a time: a CR LF, a UTF-8 character and a long line
        // across that boundary.
        std::string((1 << 20) - 1, 'x') + "\r\nnext\n",
        std::string((1 << 20) - 1, 'x') + "\xC3\xA9 tail",
        std::string((1 << 20) + 5, '\xE9') + "\r",
    };
    for (const auto& bytes : cases) {
        SCOPED_TRACE(bytes.substr(0, 40));
        editor->setText(bytes);
        const std::string worked = quellin::PaneTextOf(bytes);
        const std::string pane = editor->text();
        EXPECT_TRUE(worked == pane) << worked.size() << " bytes worked out, " << pane.size() << " in the pane";
    }
}
