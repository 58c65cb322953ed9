#include "quellin/ftp_main.h"

#include "platform/core/IniFile.h"
#include "platform/core/PrivateTempFolder.h"
#include "platform/gui/Accessibility.h"
#include "platform/gui/Application.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/EditorFont.h"
#include "platform/gui/FileIcons.h"
#include "platform/gui/ListView.h"
#include "platform/gui/ShowWindow.h"
#include "platform/gui/StatusPanels.h"
#include "quellin/DriveCombo.h"
#include "quellin/HtmlProblemsPane.h"
#include "quellin/NoticeLabel.h"
#include "quellin/PathCombo.h"
#include "quellin/SettingsFileAccess.h"
#include "quellin/SiteList.h"
#include "quellin/U_about.h"
#include "quellin/WindowPasswords.h"
#include "richprint/TRECode.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStyle>
#include <QToolButton>

namespace quellin {

const char* const kWindowTitle = "Quellin";
const char* const kQuitQuestion = "Text changed - still quit?";

namespace {

constexpr int kTopBarHeight = 30;
constexpr int kLeftColumnWidth = 273;
constexpr int kBorder = 5;
constexpr int kSplitterWidth = 8;
constexpr int kSitesNarrow = 21;

QIcon toolIcon(const char* themeName, QStyle::StandardPixmap fallback)
{
    const QIcon icon = QIcon::fromTheme(QLatin1String(themeName));
    return icon.isNull() ? QApplication::style()->standardIcon(fallback) : icon;
}

// A flat tool button with a glyph; the hint is its tooltip and its text (for screen readers).
QToolButton* toolButton(QWidget* parent, QBoxLayout* layout, const char* name, const char* hint,
                        const QIcon& icon, bool checkable = false)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(QLatin1String(hint));
    button->setText(QLatin1String(hint));
    button->setIcon(icon);
    button->setAutoRaise(true);
    button->setCheckable(checkable);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    button->setFixedSize(24, 24);
    layout->addWidget(button);
    return button;
}

QLineEdit* edit(QWidget* parent, QBoxLayout* layout, const char* name, const char* hint, int stretch)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setToolTip(QLatin1String(hint));
    layout->addWidget(field, stretch);
    return field;
}

void label(QWidget* parent, QBoxLayout* layout, const char* name, const char* text)
{
    auto* l = new QLabel(QLatin1String(text), parent);
    l->setObjectName(QLatin1String(name));
    layout->addWidget(l);
}

// A panel whose contents keep a border of kBorder pixels.
QVBoxLayout* borderedColumn(QWidget* panel)
{
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(kBorder, kBorder, kBorder, kBorder);
    column->setSpacing(2);
    return column;
}

// The row of tools at the top of one of the left column's views.
QHBoxLayout* AddToolStrip(QVBoxLayout* column)
{
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    auto* tools = new QHBoxLayout;
    tools->setSpacing(1);
    column->addLayout(tools);
    return tools;
}

} // namespace

QString StartUpHelpText()
{
    return QStringLiteral(
        "Quellin - edit the files of your web site where they live: on the server.\r\n"
        "\r\n"
        "The top bar: pick a stored site from the small list on the left, or choose the\r\n"
        "protocol (FTP, FTP over TLS or SFTP) and type the user name, password, host, port\r\n"
        "and path, then press OK to connect. Asynch keeps the window working while files\r\n"
        "are transferred.\r\n"
        "\r\n"
        "The upper left view shows the server's folder: double-click a folder to enter it,\r\n"
        "a file to edit it here. The path list above it takes you back to any folder on the\r\n"
        "way; the right mouse button opens the commands (delete, rename, create a folder,\r\n"
        "refresh, send a command). The lower left view shows the folders of this computer.\r\n"
        "\r\n"
        "This editor: Write back stores the text on the server under the name shown above.\r\n"
        "The right mouse button here opens the file, search, HTML, macro and print commands.\r\n"
        "\r\n"
        "Sites and HTML snippets live in QUELLIN.INI in your configuration folder\r\n"
        "($XDG_CONFIG_HOME, normally ~/.config). Each key of the section [FTP-Accounts]\r\n"
        "is one site:   1=user:password@host/path   or   2=sftp://user@host:2222/path\r\n"
        "Keep the file readable only by you: it holds your passwords.\r\n");
}

Tmainform::Tmainform(QWidget* parent)
    : QMainWindow(parent), RemoteItems(std::make_unique<RemoteListModel>()),
      LocalItems(std::make_unique<LocalFolderModel>())
{
    setObjectName(QStringLiteral("mainform"));
    setWindowTitle(QLatin1String(kWindowTitle));
    platform::gui::EnsureIconTheme();

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(central);

    buildTopBar();
    column->addWidget(PanelTop);

    Splitter1 = new QSplitter(Qt::Horizontal, central);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setHandleWidth(kSplitterWidth);
    Splitter1->setChildrenCollapsible(false);
    column->addWidget(Splitter1, 1);
    buildLeftColumn();
    buildEditor();
    Splitter1->addWidget(PanelLeft);
    Splitter1->addWidget(PanelEdit);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({ kLeftColumnWidth, 2000 });

    Status = new platform::gui::StatusPanels({ { 272, true }, { 5, false }, { 50, true } }, this);
    Status->setObjectName(QStringLiteral("Status"));
    setStatusBar(Status);
    Notices = new NoticeLabel(Status);
    Status->addPermanentWidget(Notices);
    sizeCaretPanel();

    buildRemoteMenu();
    buildEditorMenu();
    buildEditorTools();

    session = MakeRemoteFiles(RemoteProtocol::Ftp, remoteHooks());
    Passwords = MakeWindowPasswords();
    Passwords->OnNotice = [this](const std::string& text) { Notices->add(platform::core::DecodeText(text).text); };
    Edit = std::make_unique<RemoteEdit>(remote(), platform::core::PrivateTempFolder(QStringLiteral("quellin")));
    connectRoundTrip();
    Memo->setText(platform::core::EncodeText(StartUpHelpText(), platform::core::TextEncoding::Utf8));
    Memo->setModified(false);
    resize(1000, 700);
    platform::gui::NameForAccessibility(this);
}

Tmainform::~Tmainform()
{
    logOutForClose();
}

void Tmainform::buildTopBar()
{
    PanelTop = new QWidget(this);
    PanelTop->setObjectName(QStringLiteral("PanelTop"));
    PanelTop->setFixedHeight(kTopBarHeight);
    auto* row = new QHBoxLayout(PanelTop);
    row->setContentsMargins(4, 3, 4, 3);
    row->setSpacing(3);

    CBSites = new QComboBox(PanelTop);
    CBSites->setObjectName(QStringLiteral("CBSites"));
    CBSites->setToolTip(QStringLiteral("Choose"));
    CBSites->setFixedWidth(kSitesNarrow);
    CBSites->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    CBSites->installEventFilter(this);
    connect(CBSites, &QComboBox::activated, this, [this] { CBSitesChange(); });
    row->addWidget(CBSites);

    CBProtocol = new QComboBox(PanelTop);
    CBProtocol->setObjectName(QStringLiteral("CBProtocol"));
    CBProtocol->setToolTip(QStringLiteral("Protocol"));
    CBProtocol->addItems({ QStringLiteral("FTP"), QStringLiteral("FTP over TLS"), QStringLiteral("SFTP") });
    connect(CBProtocol, &QComboBox::currentIndexChanged, this, [this] { CBProtocolChange(); });
    row->addWidget(CBProtocol);

    EditName = edit(PanelTop, row, "EditName", "Name", 2);
    label(PanelTop, row, "LabelColon", ":");
    EditPasswort = edit(PanelTop, row, "EditPasswort", "Password", 2);
    EditPasswort->setEchoMode(QLineEdit::Password);
    label(PanelTop, row, "LabelAt", "@");
    EditHostname = edit(PanelTop, row, "EditHostname", "URL", 3);
    label(PanelTop, row, "LabelPort", ":");
    EditPort = new QSpinBox(PanelTop);
    EditPort->setObjectName(QStringLiteral("EditPort"));
    EditPort->setToolTip(QStringLiteral("Port"));
    EditPort->setRange(1, 65535);
    EditPort->setValue(DefaultPort(RemoteProtocol::Ftp));
    // The spin box's own text field is what a screen reader lands on.
    EditPort->findChild<QLineEdit*>()->setAccessibleName(QStringLiteral("Port"));
    row->addWidget(EditPort);
    label(PanelTop, row, "LabelSlash", "/");
    EditPfad = edit(PanelTop, row, "EditPfad", "Path", 3);

    btn_connect = new QPushButton(QStringLiteral("&OK"), PanelTop);
    btn_connect->setObjectName(QStringLiteral("btn_connect"));
    btn_connect->setToolTip(QStringLiteral("Connect"));
    connect(btn_connect, &QPushButton::clicked, this, [this] { btn_connectClick(); });
    row->addWidget(btn_connect);

    chk_async = new QCheckBox(QStringLiteral("&Asynch"), PanelTop);
    chk_async->setObjectName(QStringLiteral("chk_async"));
    chk_async->setToolTip(QStringLiteral("Asynchronous"));
    connect(chk_async, &QCheckBox::clicked, this, [this] { chk_asyncClick(); });
    row->addWidget(chk_async);
}

void Tmainform::buildLeftColumn()
{
    PanelLeft = new QWidget(this);
    PanelLeft->setObjectName(QStringLiteral("PanelLeft"));
    auto* column = new QVBoxLayout(PanelLeft);
    column->setContentsMargins(kBorder, kBorder, kBorder, kBorder);
    column->setSpacing(0);
    Splitter2 = new QSplitter(Qt::Vertical, PanelLeft);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Splitter2->setHandleWidth(kSplitterWidth);
    Splitter2->setChildrenCollapsible(false);
    column->addWidget(Splitter2);

    auto* remote = new QWidget(Splitter2);
    remote->setObjectName(QStringLiteral("PanelFTP"));
    buildRemoteArea(remote);
    auto* local = new QWidget(Splitter2);
    local->setObjectName(QStringLiteral("PanelLocal"));
    buildLocalArea(local);
    Splitter2->addWidget(remote);
    Splitter2->addWidget(local);
}

void Tmainform::buildRemoteArea(QWidget* area)
{
    auto* column = new QVBoxLayout(area);
    QHBoxLayout* tools = AddToolStrip(column);
    cbx_path = new PathCombo(area);
    cbx_path->setObjectName(QStringLiteral("cbx_path"));
    cbx_path->setToolTip(QStringLiteral("Choose dir"));
    connect(cbx_path, &QComboBox::activated, this, [this] { cbx_pathDblClick(); });
    tools->addWidget(cbx_path, 1);
    btn_up = toolButton(area, tools, "btn_up", "Previous folder", toolIcon("go-up", QStyle::SP_FileDialogToParent));
    btn_list = toolButton(area, tools, "btn_list", "List", toolIcon("view-list", QStyle::SP_FileDialogListView), true);
    btn_details = toolButton(area, tools, "btn_details", "Report",
                             toolIcon("view-list-details", QStyle::SP_FileDialogDetailedView), true);
    btn_details->setChecked(true);
    remoteStyles_ = new QButtonGroup(this);
    remoteStyles_->addButton(btn_list);
    remoteStyles_->addButton(btn_details);
    connect(btn_up, &QToolButton::clicked, this, [this] { btn_upClick(); });
    connect(btn_list, &QToolButton::clicked, this, [this] { btn_listClick(); });
    connect(btn_details, &QToolButton::clicked, this, [this] { btn_detailsClick(); });

    FTPView = new platform::gui::ListView(area);
    FTPView->setObjectName(QStringLiteral("FTPView"));
    FTPView->setAccessibleName(QStringLiteral("Remote folder"));
    FTPView->setModel(RemoteItems.get());
    FTPView->setColumnWidths({ 120, 60, 120, 120 });
    FTPView->OnDblClick = [this] { FTPViewDblClick(); };
    FTPView->OnKeyPress = [this](char key) { FTPViewKeyPress(key); };
    FTPView->OnColumnClick = [this](int column) { FTPViewColumnClick(column); };
    column->addWidget(FTPView, 1);
}

void Tmainform::buildLocalArea(QWidget* area)
{
    auto* column = new QVBoxLayout(area);
    QHBoxLayout* tools = AddToolStrip(column);
    CBDrive = new DriveCombo(area);
    CBDrive->setObjectName(QStringLiteral("CBDrive"));
    CBDrive->setToolTip(QStringLiteral("Chose Folder"));
    connect(CBDrive, &QComboBox::activated, this, [this] { CBDriveChange(); });
    tools->addWidget(CBDrive, 1);
    SBUp = toolButton(area, tools, "SBUp", "Previous folder", toolIcon("go-up", QStyle::SP_FileDialogToParent));
    SBBigIcons = toolButton(area, tools, "SBBigIcons", "Large icons",
                            toolIcon("view-grid", QStyle::SP_FileDialogContentsView), true);
    SBSmallIcons = toolButton(area, tools, "SBSmallIcons", "List", toolIcon("view-list", QStyle::SP_FileDialogListView), true);
    SBList = toolButton(area, tools, "SBList", "Report",
                        toolIcon("view-list-details", QStyle::SP_FileDialogDetailedView), true);
    SBList->setChecked(true);
    localStyles_ = new QButtonGroup(this);
    for (QToolButton* b : { SBBigIcons, SBSmallIcons, SBList })
        localStyles_->addButton(b);
    connect(SBUp, &QToolButton::clicked, this, [this] { SBUpClick(); });
    connect(SBBigIcons, &QToolButton::clicked, this, [this] { SBBigIconsClick(); });
    connect(SBSmallIcons, &QToolButton::clicked, this, [this] { SBSmallIconsClick(); });
    connect(SBList, &QToolButton::clicked, this, [this] { SBListClick(); });

    LocalView = new platform::gui::ListView(area);
    LocalView->setObjectName(QStringLiteral("LocalView"));
    LocalView->setAccessibleName(QStringLiteral("Local folder"));
    LocalView->OnDblClick = [this] { LocalViewDblClick(); };
    LocalView->OnColumnClick = [this](int column) { LocalViewColumnClick(column); };
    LocalView->OnKeyPress = [this](char key) {
        if (key == 13)
            LocalViewDblClick();
        else if (key == 8)
            SBUpClick();
    };
    column->addWidget(LocalView, 1);
}

void Tmainform::buildEditor()
{
    PanelEdit = new QWidget(this);
    PanelEdit->setObjectName(QStringLiteral("PanelEdit"));
    QVBoxLayout* column = borderedColumn(PanelEdit);
    auto* tools = new QHBoxLayout;
    tools->setSpacing(1);
    column->addLayout(tools);
    SBZurueck = toolButton(PanelEdit, tools, "SBZurueck", "Write back", toolIcon("document-send", QStyle::SP_ArrowUp));
    SBNeu = toolButton(PanelEdit, tools, "SBNeu", "New", toolIcon("document-new", QStyle::SP_FileIcon));
    SBOeffnen = toolButton(PanelEdit, tools, "SBOeffnen", "Open", toolIcon("document-open", QStyle::SP_DialogOpenButton));
    SBSpeichern = toolButton(PanelEdit, tools, "SBSpeichern", "Save", toolIcon("document-save", QStyle::SP_DialogSaveButton));
    SBDrucken = toolButton(PanelEdit, tools, "SBDrucken", "Print", toolIcon("document-print", QStyle::SP_ComputerIcon));
    SBDruckEinrichten = toolButton(PanelEdit, tools, "SBDruckEinrichten", "Printer setup",
                                   toolIcon("document-page-setup", QStyle::SP_FileDialogDetailedView));
    SBSuchen = toolButton(PanelEdit, tools, "SBSuchen", "Find", toolIcon("edit-find", QStyle::SP_FileDialogContentsView));
    SBErsetzen = toolButton(PanelEdit, tools, "SBErsetzen", "Replace",
                            toolIcon("edit-find-replace", QStyle::SP_BrowserReload));
    SBHTML = toolButton(PanelEdit, tools, "SBHTML", "HTML Code", toolIcon("text-html", QStyle::SP_FileLinkIcon));
    SBCheck = toolButton(PanelEdit, tools, "SBCheck", "HTML check", toolIcon("tools-check-spelling", QStyle::SP_DialogApplyButton));
    connect(SBZurueck, &QToolButton::clicked, this, [this] { SBZurueckClick(); });
    connect(SBNeu, &QToolButton::clicked, this, [this] { SBNeuClick(); });
    connect(SBOeffnen, &QToolButton::clicked, this, [this] { SBOeffnenClick(); });
    connect(SBSpeichern, &QToolButton::clicked, this, [this] { SBSpeichernClick(); });
    connect(SBDrucken, &QToolButton::clicked, this, [this] { SBDruckenClick(); });
    connect(SBDruckEinrichten, &QToolButton::clicked, this, [this] { SBDruckEinrichtenClick(); });
    connect(SBSuchen, &QToolButton::clicked, this, [this] { SBSuchenClick(); });
    connect(SBErsetzen, &QToolButton::clicked, this, [this] { SBErsetzenClick(); });
    connect(SBHTML, &QToolButton::clicked, this, [this] { SBHTMLClick(); });
    connect(SBCheck, &QToolButton::clicked, this, [this] { SBCheckClick(); });
    EditTempName = new QLineEdit(PanelEdit);
    EditTempName->setObjectName(QStringLiteral("EditTempName"));
    EditTempName->setToolTip(QStringLiteral("Textname"));
    tools->addSpacing(6);
    tools->addWidget(EditTempName, 1);

    Memo = new richprint::TSRichEdit(PanelEdit);
    Memo->setObjectName(QStringLiteral("Memo"));
    Memo->setAccessibleName(QStringLiteral("Editor"));
    Memo->setWordWrap(false);
    Memo->setFont(platform::gui::EditorFont());
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Memo, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PMBefehle->popup(Memo->viewport()->mapToGlobal(pos)); });
    column->addWidget(Memo, 1);
    HtmlProblems = new HtmlProblemsPane(*Memo, PanelEdit);
    column->addWidget(HtmlProblems);
}

void Tmainform::FormCreate()
{
    setWindowState(windowState() | Qt::WindowMaximized);
    // The sizes below are those of the shown window.
    platform::gui::ShowAndWaitUntilExposed(this);
    IconCache = std::make_unique<ExtensionIconCache>([this](const std::string& extension) {
        const std::optional<QIcon> icon = platform::gui::ExtensionIcon(QString::fromStdString(extension));
        if (!icon)
            return -1;
        icons_small->add(*icon);
        return icons_large->add(*icon);
    });
    buildImages();
    loadSites();
    StartLocalBrowser();
    Status->setPanelWidth(0, Splitter1->handle(1)->mapTo(this, QPoint(0, 0)).x());
    const int localHeight = std::max(0, (PanelLeft->height() - 60) / 2);
    Splitter2->setSizes({ Splitter2->height() - kSplitterWidth - localHeight, localHeight });
    Notices->add(SettingsFileWarning(platform::core::IniFile(QLatin1String(kSettingsFile)).path()));
}

void Tmainform::buildImages()
{
    icons_small = std::make_unique<platform::gui::ImageList>(16);
    icons_large = std::make_unique<platform::gui::ImageList>(32);
    for (platform::gui::ImageList* list : { icons_small.get(), icons_large.get() }) {
        list->add(platform::gui::FolderIcon());
        list->add(platform::gui::DocumentIcon());
    }
    FTPView->setImageLists(icons_small.get(), icons_large.get());
    static_cast<PathCombo*>(cbx_path)->setIcons(platform::gui::HostIcon(), platform::gui::FolderIcon());
}

void Tmainform::loadSites()
{
    const SiteList list = ReadSiteList();
    for (const std::string& site : list.sites)
        CBSites->addItem(platform::core::DecodeText(SiteCaption(site)).text,
                         QByteArray(site.data(), static_cast<qsizetype>(site.size())));
    if (!list.problems.empty()) {
        QStringList lines;
        for (const std::string& problem : list.problems)
            lines << platform::core::DecodeText(problem).text;
        platform::gui::ShowMessage(QLatin1String(kSettingsFile), lines.join(QLatin1Char('\n')),
                                   platform::gui::MessageIcon::Warning);
    }
    if (list.sites.empty()) {
        // The panel is narrow: its tooltip and the site list's hold the whole hint.
        Status->setPanelText(0, QLatin1String(kNoSitesHint));
        Status->panel(0)->setToolTip(QLatin1String(kNoSitesHint));
        CBSites->setToolTip(QLatin1String(kNoSitesHint));
    }
}

void Tmainform::sizeCaretPanel()
{
    showCaretPosition(QStringLiteral("Line: 9999999, Pos: 9999999"));
    Status->setPanelText(2, QString());
}

void Tmainform::showCaretPosition(const QString& text)
{
    Status->setPanelText(2, text);
    const int needed = Status->panel(2)->sizeHint().width();
    if (needed > Status->panelWidth(2))
        Status->setPanelWidth(2, needed);
}

bool Tmainform::TransferUnderWay() const
{
    return TransferRunning() || remote().State() == remote::ConnectionState::Busy;
}

void Tmainform::transferStarted()
{
    if (transfers_++ == 0) {
        btn_connect->setEnabled(false);
        SendCommand1->setEnabled(false);
    }
}

void Tmainform::transferEnded()
{
    if (--transfers_ == 0) {
        remote().Async = chk_async->isChecked();
        btn_connect->setEnabled(true);
        SendCommand1->setEnabled(true);
        if (!noteAfterCommand_.isEmpty())
            Status->setPanelText(0, std::exchange(noteAfterCommand_, QString()));
    }
}

void Tmainform::noteWhenDone(const QString& note)
{
    if (!TransferRunning()) {
        Status->setPanelText(0, note);
        return;
    }
    noteAfterCommand_ = noteAfterCommand_.isEmpty() ? note : noteAfterCommand_ + QStringLiteral("; ") + note;
}

void Tmainform::Menu1Click()
{
    PMBefehle->popup(PanelEdit->mapToGlobal(QPoint(0, 0)));
}

void Tmainform::About1Click()
{
    if (!AboutBox)
        AboutBox = new TAboutBox(this);
    AboutBox->exec();
}

void Tmainform::Exit1Click()
{
    close();
}

void Tmainform::closeEvent(QCloseEvent* event)
{
    // The session's call is still on the stack below a transfer that turns the event loop.
    if (TransferRunning()) {
        event->ignore();
        return;
    }
    if (Memo->modified()
        && platform::gui::ShowMessage(platform::gui::Application::title(), QLatin1String(kQuitQuestion),
                                      platform::gui::MessageIcon::Question,
                                      platform::gui::Yes | platform::gui::No)
            != platform::gui::Yes) {
        event->ignore();
        return;
    }
    logOutForClose();
    event->accept();
}

void Tmainform::logOutForClose()
{
    if (remote().State() == remote::ConnectionState::LoggedOut)
        return;
    remote().setSilenceTimeout(kCloseTimeout);
    remote().Disconnect();
}

bool Tmainform::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == CBSites) {
        if (event->type() == QEvent::FocusIn)
            CBSitesEnter();
        else if (event->type() == QEvent::FocusOut
                 && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
            CBSitesExit();
    }
    return QMainWindow::eventFilter(watched, event);
}

} // namespace quellin
