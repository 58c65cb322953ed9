// The window's context menus: PMFTP on the remote view, PMBefehle on the editor (also reached
// with F10), and the menus the local browser, the HTML tools and printing fill. Shortcuts work
// where their menu belongs: a key that both menus use (F2, F3, F5) acts in the area that has
// the focus.
#include "quellin/ftp_main.h"

#include "platform/gui/ListView.h"
#include "richprint/TRECode.h"

#include <QAction>
#include <QMenu>

namespace quellin {

namespace {

QAction* item(QMenu* menu, QWidget* area, const char* name, const char* caption, const QKeySequence& shortcut = {},
              int tag = 0)
{
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QLatin1String(name));
    action->setData(tag);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        area->addAction(action);
    }
    return action;
}

QMenu* submenu(QMenu* menu, const char* name, const char* caption)
{
    QMenu* sub = menu->addMenu(QString::fromUtf8(caption));
    sub->setObjectName(QLatin1String(name));
    return sub;
}

QMenu* popupMenu(QWidget* owner, const char* name)
{
    auto* menu = new QMenu(owner);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

} // namespace

void Tmainform::buildRemoteMenu()
{
    PMFTP = popupMenu(this, "PMFTP");
    QWidget* area = FTPView;
    QMenu* view = submenu(PMFTP, "View1", "&View");
    mnu_view_big = item(view, area, "mnu_view_big", "&Big Icons");
    mnu_view_small = item(view, area, "mnu_view_small", "&Small icons");
    mnu_view_list = item(view, area, "mnu_view_list", "&List");
    mnu_view_details = item(view, area, "mnu_view_details", "&Details");
    connect(view, &QMenu::triggered, this, [this](QAction* a) { mnu_viewClick(a); });
    QMenu* sort = submenu(PMFTP, "Sort1", "&Sort");
    mnu_sort_name = item(sort, area, "mnu_sort_name", "&Name", {}, kNameColumn);
    mnu_sort_size = item(sort, area, "mnu_sort_size", "&Size", {}, kSizeColumn);
    mnu_sort_type = item(sort, area, "mnu_sort_type", "&Type", {}, kTypeColumn);
    mnu_sort_date = item(sort, area, "mnu_sort_date", "&Date", {}, kDateColumn);
    connect(sort, &QMenu::triggered, this, [this](QAction* a) { mnu_sortClick(a); });
    PMFTP->addSeparator();
    Loeschen1 = item(PMFTP, area, "Loeschen1", "&Delete", QKeySequence(Qt::Key_Delete));
    Umbennen1 = item(PMFTP, area, "Umbennen1", "&Rename", QKeySequence(Qt::Key_F2));
    verzeichnisanlegen1 = item(PMFTP, area, "verzeichnisanlegen1", "&Create Dir", QKeySequence(Qt::Key_F3));
    Auffrischen1 = item(PMFTP, area, "Auffrischen1", "Re&fresh", QKeySequence(Qt::Key_F5));
    PMFTP->addSeparator();
    SendCommand1 = item(PMFTP, area, "SendCommand1", "Send &Command", QKeySequence(Qt::Key_F6));
    CopyToLocal1 = item(PMFTP, area, "CopyToLocal1", "Copy To &Local", QKeySequence(Qt::CTRL | Qt::Key_C));
    connect(Loeschen1, &QAction::triggered, this, [this] { Loeschen1Click(0); });
    connect(Umbennen1, &QAction::triggered, this, [this] { Umbennen1Click(0); });
    connect(verzeichnisanlegen1, &QAction::triggered, this, [this] { verzeichnisanlegen1Click(0); });
    connect(Auffrischen1, &QAction::triggered, this, [this] { Auffrischen1Click(0); });
    connect(SendCommand1, &QAction::triggered, this, [this] { SendCommand1Click(); });
    connect(CopyToLocal1, &QAction::triggered, this, [this] { CopyClick(0); });
    FTPView->setContextMenu(PMFTP);

    PMLocal = popupMenu(this, "PMLocal");
    QWidget* local = LocalView;
    // View and Sort are there as on the remote side, without actions.
    submenu(PMLocal, "LocalView1", "&View");
    submenu(PMLocal, "LocalSort1", "&Sort");
    PMLocal->addSeparator();
    QAction* localDelete = item(PMLocal, local, "LocalDelete1", "&Delete", QKeySequence(Qt::Key_Delete), 1);
    QAction* localRename = item(PMLocal, local, "LocalRename1", "&Rename", QKeySequence(Qt::Key_F2), 1);
    QAction* localCreate = item(PMLocal, local, "LocalCreateDir1", "&Create Dir", QKeySequence(Qt::Key_F3), 1);
    QAction* localRefresh = item(PMLocal, local, "LocalRefresh1", "Re&fresh", QKeySequence(Qt::Key_F5), 1);
    PMLocal->addSeparator();
    CopyToFTP1 = item(PMLocal, local, "CopyToFTP1", "Copy To &FTP", QKeySequence(Qt::CTRL | Qt::Key_C), 1);
    connect(localDelete, &QAction::triggered, this, [this] { Loeschen1Click(1); });
    connect(localRename, &QAction::triggered, this, [this] { Umbennen1Click(1); });
    connect(localCreate, &QAction::triggered, this, [this] { verzeichnisanlegen1Click(1); });
    connect(localRefresh, &QAction::triggered, this, [this] { Auffrischen1Click(1); });
    connect(CopyToFTP1, &QAction::triggered, this, [this] { CopyClick(1); });
    LocalView->setContextMenu(PMLocal);
}

void Tmainform::buildEditorMenu()
{
    PMBefehle = popupMenu(this, "PMBefehle");
    QWidget* area = PanelEdit;
    QMenu* file = submenu(PMBefehle, "File1", "&File");
    Writeback1 = item(file, area, "Writeback1", "&Write back", QKeySequence(Qt::Key_F2));
    Neu1 = item(file, area, "Neu1", "&New", QKeySequence(Qt::CTRL | Qt::Key_N));
    Open1 = item(file, area, "Open1", "&Open", QKeySequence(Qt::CTRL | Qt::Key_O));
    Save1 = item(file, area, "Save1", "&Save", QKeySequence(Qt::CTRL | Qt::Key_S));
    file->addSeparator();
    Print2 = item(file, area, "Print2", "&Print", QKeySequence(Qt::CTRL | Qt::Key_P));
    Preview2 = item(file, area, "Preview2", "Pre&view");
    Printsetup1 = item(file, area, "Printsetup1", "P&rint setup");
    Pagesetup1 = item(file, area, "Pagesetup1", "P&age setup");
    file->addSeparator();
    Exit1 = item(file, area, "Exit1", "Exit");
    QMenu* search = submenu(PMBefehle, "Search1", "&Search");
    Find1 = item(search, area, "Find1", "&Find", QKeySequence(Qt::CTRL | Qt::Key_F));
    Replace1 = item(search, area, "Replace1", "&Replace", QKeySequence(Qt::CTRL | Qt::Key_H));
    QMenu* extras = submenu(PMBefehle, "Extras1", "E&xtras");
    HTMLCode1 = item(extras, area, "HTMLCode1", "&HTML-Code", QKeySequence(Qt::Key_F4));
    HTMLCheck1 = item(extras, area, "HTMLCheck1", "HTML-&Check", QKeySequence(Qt::Key_F5));
    Makroausfhren1 = item(extras, area, "Makroausfhren1", "&Makro ausführen", QKeySequence(Qt::Key_F3));
    Makroeingeben1 = item(extras, area, "Makroeingeben1", "Makro &eingeben", QKeySequence(Qt::CTRL | Qt::Key_F3));
    Menu1 = item(extras, area, "Menu1", "Men&u", QKeySequence(Qt::Key_F10));
    QMenu* help = submenu(PMBefehle, "Help1", "&Help");
    About1 = item(help, area, "About1", "&About");

    connect(Writeback1, &QAction::triggered, this, [this] { SBZurueckClick(); });
    connect(Neu1, &QAction::triggered, this, [this] { SBNeuClick(); });
    connect(Open1, &QAction::triggered, this, [this] { SBOeffnenClick(); });
    connect(Save1, &QAction::triggered, this, [this] { SBSpeichernClick(); });
    connect(Print2, &QAction::triggered, this, [this] { Dialogprint1Click(); });
    connect(Preview2, &QAction::triggered, this, [this] { Preview1Click(); });
    connect(Printsetup1, &QAction::triggered, this, [this] { Printersetup1Click(); });
    connect(Pagesetup1, &QAction::triggered, this, [this] { PageAdjust1Click(); });
    connect(Exit1, &QAction::triggered, this, [this] { Exit1Click(); });
    connect(Find1, &QAction::triggered, this, [this] { SBSuchenClick(); });
    connect(Replace1, &QAction::triggered, this, [this] { SBErsetzenClick(); });
    connect(HTMLCode1, &QAction::triggered, this, [this] { SBHTMLClick(); });
    connect(HTMLCheck1, &QAction::triggered, this, [this] { SBCheckClick(); });
    connect(Makroausfhren1, &QAction::triggered, this, [this] { Makroausfhren1Click(); });
    connect(Makroeingeben1, &QAction::triggered, this, [this] { Makroeingeben1Click(); });
    connect(Menu1, &QAction::triggered, this, [this] { Menu1Click(); });
    connect(About1, &QAction::triggered, this, [this] { About1Click(); });

    PMHTML = popupMenu(this, "PMHTML");
    PMPrint = popupMenu(this, "PMPrint");
    PMPrtDlgs = popupMenu(this, "PMPrtDlgs");
}

} // namespace quellin
