// The local drives and folders below the remote view.
#include "quellin/ftp_main.h"

#include "platform/gui/Application.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/ListView.h"
#include "quellin/LocalCommands.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileIconProvider>
#include <QToolButton>

namespace quellin {

namespace {

void showMessage(const QString& text)
{
    platform::gui::ShowMessage(platform::gui::Application::title(), text);
}

} // namespace

void Tmainform::StartLocalBrowser()
{
    driveImage_ = icons_small->add(QFileIconProvider().icon(QFileIconProvider::Drive));
    icons_large->add(QFileIconProvider().icon(QFileIconProvider::Drive));
    LocalItems->imageIndex = [this](const LocalItem& item) { return localImage(item); };
    LocalView->setModel(LocalItems.get());
    LocalView->setImageLists(icons_small.get(), icons_large.get());
    Local = std::make_unique<LocalBrowserState>(MountedDrives(), QCoreApplication::applicationDirPath() + '/');
    SetFiles();
}

int Tmainform::localImage(const LocalItem& item)
{
    if (item.kind() == QLatin1String("drive"))
        return driveImage_;
    if (item.kind() == QLatin1String("dir"))
        return kImageFolder;
    return IconCache->ImageFor(QFile::encodeName(item.caption()).toStdString(), kImageDocument);
}

void Tmainform::SetFiles()
{
    SBUp->setEnabled(!Local->AtDrives());
    LocalItems->setItems(Local->Items(), Local->AtDrives());
    Edit->LocalFolder = Local->AtDrives() ? QString() : Local->LocalFolder;
    CBDriveUpdate();
}

void Tmainform::CBDriveUpdate()
{
    const QStringList items = Local->ComboItems();
    CBDrive->clear();
    CBDrive->addItems(items);
    for (int i = 0; i < items.size(); ++i)
        if (ParseDriveComboItem(items[i]).current)
            CBDrive->setCurrentIndex(i);
}

void Tmainform::LocalCommand(int /*tag*/, const char* command)
{
    // The drive list has no folder to change; its items are no files.
    if (Local->AtDrives())
        return;
    const std::string_view what(command);
    const int row = LocalView->selectedRow();
    const LocalItem* selected = row < 0 ? nullptr : &LocalItems->item(row);
    bool changed = true;
    if (what == "delete")
        changed = LocalDeleteCommand(*Local, selected);
    else if (what == "rename")
        changed = LocalRenameCommand(*Local, selected);
    else if (what == "create folder")
        changed = LocalCreateDirCommand(*Local);
    if (changed)
        SetFiles();
}

void Tmainform::CBDriveChange()
{
    if (CBDrive->currentIndex() < 0)
        return;
    const QString refused = Local->ChooseComboItem(CBDrive->currentText());
    if (!refused.isEmpty()) {
        showMessage(refused);
        CBDriveUpdate();
    } else {
        SetFiles();
        if (LocalItems->rowCount() > 0)
            LocalView->setSelectedRow(0);
    }
    LocalView->setFocus();
}

void Tmainform::SBUpClick()
{
    if (Local->AtDrives())
        return;
    Local->Up();
    SetFiles();
    LocalView->setFocus();
    if (LocalItems->rowCount() > 0)
        LocalView->setSelectedRow(0);
}

void Tmainform::SBBigIconsClick()
{
    LocalView->setViewStyle(platform::gui::ViewStyle::Icon);
    SBBigIcons->setChecked(true);
}

void Tmainform::SBSmallIconsClick()
{
    LocalView->setViewStyle(platform::gui::ViewStyle::List);
    SBSmallIcons->setChecked(true);
}

void Tmainform::SBListClick()
{
    LocalView->setViewStyle(platform::gui::ViewStyle::Report);
    SBList->setChecked(true);
}

void Tmainform::LocalViewDblClick()
{
    const int row = LocalView->selectedRow();
    if (row < 0)
        return;
    const QString message = Local->Open(LocalItems->item(row));
    if (message.isEmpty())
        SetFiles();
    else
        showMessage(message);
}

void Tmainform::LocalViewColumnClick(int /*column*/)
{
    showMessage(QStringLiteral("This could start a sorting routine."));
}

} // namespace quellin
