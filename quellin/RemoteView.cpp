// The remote folder view: filling it from a listing, sorting, view styles, walking folders and
// the commands of its context menu. Commands that need the session do nothing while a
// transfer is under way, and run as one of the window's transfers (remoteCall).
#include "quellin/ftp_main.h"

#include "platform/gui/Dialogs.h"
#include "platform/gui/ListView.h"
#include "platform/gui/StatusPanels.h"
#include "quellin/PathCombo.h"
#include "quellin/SafeNames.h"
#include "tcpip/Ftp.h"

#include <QAction>
#include <QLineEdit>
#include <QToolButton>

namespace quellin {

namespace {

QString shown(const std::string& name)
{
    return platform::core::DecodeText(name).text;
}

// The user's answer; empty when the box was cancelled (then nothing is sent).
std::optional<QString> ask(const QString& caption, const QString& prompt, const QString& preset)
{
    return platform::gui::dialogs().input({ caption, prompt, preset });
}

} // namespace

void Tmainform::Refresh()
{
    RemoteItems->clear();
    leftOutNames_ = 0;
    std::vector<remote::RemoteEntry> entries;
    remoteCall([&](remote::RemoteFiles& r) { entries = r.List("."); });
    std::vector<RemoteItem> items;
    items.reserve(entries.size());
    int leftOut = leftOutNames_;
    for (const remote::RemoteEntry& entry : entries) {
        if (!IsUsableEntryName(entry.name)) {
            ++leftOut;
            continue;
        }
        RemoteItem item = ToRemoteItem(entry);
        item.imageIndex = item.type == tcpip::ft_directory ? kImageFolder : IconCache->ImageFor(entry.name, kImageDocument);
        items.push_back(std::move(item));
    }
    RemoteItems->setItems(std::move(items));
    RemoteItems->SortBy(kNameColumn);
    if (leftOut > 0)
        Status->setPanelText(0, QStringLiteral("%1 entries of the listing left out: their names hold control "
                                               "characters or \"/\" and cannot be used safely")
                                    .arg(leftOut));
}

void Tmainform::FTPViewDblClick()
{
    const int row = FTPView->selectedRow();
    if (row < 0 || TransferUnderWay())
        return;
    const RemoteItem item = RemoteItems->item(row);
    if (item.type != tcpip::ft_directory) {
        OpenRemoteFile(item);
        return;
    }
    remoteCall([&](remote::RemoteFiles& r) { r.ChangeFolder(item.name); });
    auto* path = static_cast<PathCombo*>(cbx_path);
    path->push(shown(item.name));
    Refresh();
    path->setCurrentIndex(path->lastIndex());
    btn_up->setEnabled(true);
}

void Tmainform::FTPViewKeyPress(char key)
{
    if (key == 13)
        FTPViewDblClick();
    else if (key == 8)
        btn_upClick();
}

void Tmainform::FTPViewColumnClick(int column)
{
    SortView(column);
}

void Tmainform::SortView(int key)
{
    RemoteItems->SortBy(key);
}

void Tmainform::mnu_sortClick(QAction* item)
{
    SortView(item->data().toInt());
}

void Tmainform::btn_upClick()
{
    if (TransferUnderWay())
        return;
    remoteCall([](remote::RemoteFiles& r) { r.ChangeFolder(".."); });
    static_cast<PathCombo*>(cbx_path)->pop();
    Refresh();
}

void Tmainform::cbx_pathDblClick()
{
    if (TransferUnderWay())
        return;
    auto* path = static_cast<PathCombo*>(cbx_path);
    const int chosen = path->currentIndex();
    bool stepped = false;
    while (chosen < path->lastIndex()) {
        remoteCall([](remote::RemoteFiles& r) { r.ChangeFolder(".."); });
        path->removeItem(path->lastIndex());
        stepped = true;
    }
    path->setCurrentIndex(chosen);
    if (stepped)
        Refresh();
}

void Tmainform::btn_listClick()
{
    FTPView->setViewStyle(platform::gui::ViewStyle::List);
    btn_list->setChecked(true);
}

void Tmainform::btn_detailsClick()
{
    FTPView->setViewStyle(platform::gui::ViewStyle::Report);
    btn_details->setChecked(true);
}

void Tmainform::mnu_viewClick(QAction* item)
{
    if (item == mnu_view_list)
        btn_listClick();
    else if (item == mnu_view_details)
        btn_detailsClick();
    else if (item == mnu_view_big)
        FTPView->setViewStyle(platform::gui::ViewStyle::Icon);
    else if (item == mnu_view_small)
        FTPView->setViewStyle(platform::gui::ViewStyle::SmallIcon);
}

void Tmainform::Loeschen1Click(int tag)
{
    if (tag != 0) {
        LocalCommand(tag, "delete");
        return;
    }
    const int row = FTPView->selectedRow();
    if (row < 0 || TransferUnderWay())
        return;
    const RemoteItem item = RemoteItems->item(row);
    const bool folder = item.type == tcpip::ft_directory;
    const QString question = (folder ? QStringLiteral("Delete the folder \"%1\" on the server?")
                                     : QStringLiteral("Delete the file \"%1\" on the server?"))
                                 .arg(shown(item.name));
    if (platform::gui::ShowMessage(QStringLiteral("Delete"), question, platform::gui::MessageIcon::Question,
                                   platform::gui::Yes | platform::gui::No)
        != platform::gui::Yes)
        return;
    remoteCall([&](remote::RemoteFiles& r) { folder ? r.RemoveFolder(item.name) : r.Delete(item.name); });
    Refresh();
}

void Tmainform::Umbennen1Click(int tag)
{
    if (tag != 0) {
        LocalCommand(tag, "rename");
        return;
    }
    const int row = FTPView->selectedRow();
    if (row < 0 || TransferUnderWay())
        return;
    const RemoteItem item = RemoteItems->item(row);
    const std::optional<QString> answer = ask(QStringLiteral("Rename"), QStringLiteral("Name:"), shown(item.name));
    if (!answer)
        return;
    const std::string newName = platform::core::EncodeText(*answer, platform::core::DecodeText(item.name).encoding);
    RequireSafeFileName(newName);
    remoteCall([&](remote::RemoteFiles& r) { r.Rename(item.name, newName); });
    Refresh();
}

void Tmainform::verzeichnisanlegen1Click(int tag)
{
    if (tag != 0) {
        LocalCommand(tag, "create folder");
        return;
    }
    if (TransferUnderWay())
        return;
    const std::optional<QString> answer = ask(QStringLiteral("Create Dir"), QStringLiteral("Name:"), QString());
    if (!answer)
        return;
    const std::string name = platform::core::EncodeText(*answer, platform::core::TextEncoding::Utf8);
    RequireSafeFileName(name);
    remoteCall([&](remote::RemoteFiles& r) { r.MakeFolder(name); });
    Refresh();
}

void Tmainform::Auffrischen1Click(int tag)
{
    if (tag != 0) {
        LocalCommand(tag, "refresh");
        return;
    }
    if (TransferUnderWay())
        return;
    Refresh();
}

void Tmainform::SendCommand1Click()
{
    // Inside a transfer the replies of the command and of the transfer would be paired off by
    // one; the menu item is disabled then, and a shortcut that slips through does nothing.
    if (TransferRunning())
        return;
    tcpip::T_FTP* ftp = FtpSessionOf(remote());
    if (!ftp) {
        platform::gui::ShowMessage(QStringLiteral("Send Command"),
                                   QStringLiteral("Send Command works for FTP only: an SFTP server takes no raw "
                                                  "commands. Nothing was sent."),
                                   platform::gui::MessageIcon::Information);
        return;
    }
    const std::optional<QString> answer = ask(QStringLiteral("FTP"), QStringLiteral("Command:"), QString());
    if (!answer || answer->isEmpty())
        return;
    ftp->SendLine(platform::core::EncodeText(*answer, platform::core::TextEncoding::Utf8));
    ftp->ReadReply();
}

} // namespace quellin
