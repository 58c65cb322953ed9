// Opening a remote file in the editor and writing it back; copying between the views. After a
// write-back or a copy the view it changed is listed again.
//
// The editor's modified flag is cleared by a completed open and by a successful write-back of
// the text as it still is (not when it was edited during the upload), and by nothing else here: a failed write-back (the message says the file was not written) leaves
// the text and the flag as they were, so closing still asks before the edit is lost. Opening a
// remote file over a modified text asks first, as opening a local one does.
//
// A write-back whose server copy changed since the open asks Yes (overwrite it), No (keep my
// text as a local copy and open the server's version) or Cancel (nothing is sent, the text
// stays modified).
#include "quellin/ftp_main.h"

#include "platform/gui/Application.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ListView.h"
#include "platform/gui/StatusPanels.h"
#include "quellin/EditableText.h"
#include "richprint/TRECode.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <algorithm>
#include <iterator>

namespace quellin {

namespace {

// The question's choices in order, each on the button that answers it.
struct ConflictButton {
    platform::gui::MessageButton button;
    const char* caption;
};
constexpr ConflictButton kConflictButtons[] = { { platform::gui::Yes, "Yes" },
                                                { platform::gui::No, "No" },
                                                { platform::gui::Cancel, "Cancel" } };

remote::ConflictAnswer askAboutConflict(const std::string& name)
{
    const remote::ConflictQuestion question = remote::ConflictQuestionFor(name);
    const std::size_t shown = std::min(question.choices.size(), std::size(kConflictButtons));
    QString text = QString::fromStdString(question.text) + QLatin1Char('\n');
    for (std::size_t i = 0; i < shown; ++i) {
        const QString label = QString::fromStdString(question.choices[i].label);
        // A choice named like its button needs no line ("Cancel: Cancel").
        if (label != QLatin1String(kConflictButtons[i].caption))
            text += QStringLiteral("\n%1: %2").arg(QLatin1String(kConflictButtons[i].caption), label);
    }
    const platform::gui::MessageButton answer =
        platform::gui::ShowMessage(QString::fromStdString(question.caption), text, platform::gui::MessageIcon::Warning,
                                   platform::gui::Yes | platform::gui::No | platform::gui::Cancel);
    for (std::size_t i = 0; i < shown; ++i)
        if (answer == kConflictButtons[i].button)
            return question.choices[i].answer;
    return remote::ConflictAnswer::Cancel;
}

} // namespace

void Tmainform::OpenRemoteFile(const RemoteItem& item)
{
    if (TransferUnderWay())
        return;
    // Opening replaces the editor's text: unsaved edits go only when the user says so.
    if (Memo->modified()
        && platform::gui::ShowMessage(platform::gui::Application::title(), QStringLiteral("Text changed - still open new?"),
                                      platform::gui::MessageIcon::Question, platform::gui::Yes | platform::gui::No)
            != platform::gui::Yes)
        return;
    TransferScope transfer(*this);
    Edit->Open(item.name);
}

void Tmainform::SBZurueckClick()
{
    if (TransferUnderWay() || EditTempName->text().isEmpty())
        return;
    Edit->EditTempName = platform::core::EncodeText(EditTempName->text(), editNameEncoding_);
    // A Windows-1252 file with characters that code page lacks: the whole file becomes UTF-8,
    // or nothing is sent. Never a file that mixes the two.
    std::string text;
    bool converted = false;
    if (Memo->encoding() == platform::core::TextEncoding::Windows1252) {
        const QString whole = Memo->wholeText();
        const QString missing = CharactersOutsideWindows1252(whole);
        if (!missing.isEmpty()) {
            QStringList shownMissing;
            for (const char32_t c : missing.toUcs4())
                shownMissing << QString::fromUcs4(&c, 1);
            const QString question =
                QStringLiteral("These characters cannot be written in Windows-1252, the encoding of \"%1\": %2\n\n"
                               "Yes: convert the whole file to UTF-8 and write it back.\nNo: go back and edit it.")
                    .arg(EditTempName->text(), shownMissing.join(QLatin1Char(' ')));
            if (platform::gui::ShowMessage(QStringLiteral("Write back"), question, platform::gui::MessageIcon::Question,
                                           platform::gui::Yes | platform::gui::No)
                != platform::gui::Yes)
                return;
            text = platform::core::EncodeText(whole, platform::core::TextEncoding::Utf8);
            converted = true;
        }
    }
    if (!converted)
        text = Memo->text();
    TransferScope transfer(*this);
    // Saved is only what was sent: an edit made while an asynchronous upload ran stays modified.
    const int sentRevision = Memo->document()->revision();
    const std::optional<remote::WriteBackOutcome> outcome = Edit->WriteBack(text);
    if (!outcome || *outcome == remote::WriteBackOutcome::Cancelled)
        return;
    if (*outcome == remote::WriteBackOutcome::KeepMineOpenTheirs) {
        // The kept copy is in the local view's folder; the server's copy has another size.
        SetFiles();
        Refresh();
        return;
    }
    if (Memo->document()->revision() == sentRevision) {
        if (converted) {
            // The pane reads the file as it now is on the server, caret where it was.
            const int caret = Memo->selStart();
            Memo->setText(text);
            Memo->setSelection(caret, 0);
        }
        Memo->setModified(false);
    }
    // New sizes and new names show at once.
    Refresh();
}

void Tmainform::CopyClick(int tag)
{
    if (TransferUnderWay())
        return;
    if (tag == 0) {
        const int row = FTPView->selectedRow();
        if (row < 0)
            return;
        const std::string name = RemoteItems->item(row).name;
        const QString target = Edit->LocalFolder + QFile::decodeName(QByteArray::fromStdString(name));
        if (QFileInfo::exists(target)
            && platform::gui::ShowMessage(QStringLiteral("Copy To Local"),
                                          QStringLiteral("Replace the local file \"%1\"?").arg(target),
                                          platform::gui::MessageIcon::Question, platform::gui::Yes | platform::gui::No)
                != platform::gui::Yes)
            return;
        {
            TransferScope transfer(*this);
            Edit->CopyToLocal(name);
        }
        SetFiles();
        return;
    }
    const int row = LocalView->selectedRow();
    if (row < 0 || Local->AtDrives())
        return;
    const LocalItem item = LocalItems->item(row);
    if (item.kind() != QLatin1String("file"))
        return;
    {
        TransferScope transfer(*this);
        Edit->CopyToFtp(item.path(), QFile::encodeName(item.caption()).toStdString());
    }
    Refresh();
}

void Tmainform::connectRoundTrip()
{
    const auto showInStatus = [this](const std::string& text) { Status->setPanelText(0, QString::fromStdString(text)); };
    Edit->OnProgress = showInStatus;
    Edit->OnNotice = [this](const std::string& text) { noteWhenDone(platform::core::DecodeText(text).text); };
    Edit->OnConflict = askAboutConflict;
    Edit->OnOpened = [this](const std::string& name, std::string_view bytes) {
        const platform::core::DecodedText shownName = platform::core::DecodeText(name);
        editNameEncoding_ = shownName.encoding;
        EditTempName->setText(shownName.text);
        Memo->setText(bytes);
        Memo->setModified(false);
        Files->adoptShape(Edit->Shape());
    };
}

} // namespace quellin
