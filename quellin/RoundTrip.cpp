// Opening a remote file in the editor and writing it back; copying between the views.
//
// The editor's modified flag is cleared by a completed open and by a successful write-back, and
// by nothing else here: a failed write-back (the message says the file was not written) leaves
// the text and the flag as they were, so closing still asks before the edit is lost. Opening a
// remote file over a modified text asks first, as opening a local one does.
#include "quellin/ftp_main.h"

#include "platform/gui/Application.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ListView.h"
#include "platform/gui/StatusPanels.h"
#include "richprint/TRECode.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

namespace quellin {

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
    TransferScope transfer(*this);
    if (Edit->WriteBack(Memo->text()))
        Memo->setModified(false);
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
        TransferScope transfer(*this);
        Edit->CopyToLocal(name);
        return;
    }
    const int row = LocalView->selectedRow();
    if (row < 0 || Local->AtDrives())
        return;
    const LocalItem item = LocalItems->item(row);
    if (item.kind() != QLatin1String("file"))
        return;
    TransferScope transfer(*this);
    Edit->CopyToFtp(item.path(), QFile::encodeName(item.caption()).toStdString());
}

void Tmainform::connectRoundTrip()
{
    Edit->OnProgress = [this](const std::string& text) { Status->setPanelText(0, QString::fromStdString(text)); };
    Edit->OnOpened = [this](const std::string& name, const std::string& bytes) {
        const platform::core::DecodedText shownName = platform::core::DecodeText(name);
        editNameEncoding_ = shownName.encoding;
        EditTempName->setText(shownName.text);
        Memo->setText(bytes);
        Memo->setModified(false);
        Files->adoptShape(Edit->Shape());
        Edit->MarkShown(Memo->text());
    };
}

} // namespace quellin
