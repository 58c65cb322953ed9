#include "tarnby/httptst1.h"

#include "base/Exception.h"
#include "platform/core/IniFile.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/RichEdit.h"
#include "platform/gui/Shell.h"
#include "platform/gui/ShowWindow.h"
#include "tarnby/PageFiles.h"
#include "tarnby/PageLinks.h"
#include "tarnby/PaneHistory.h"
#include "tarnby/ReductionPasses.h"
#include "tarnby/ToolStrip.h"
#include "tarnby/check/PaneCheck.h"
#include "decor/ToolGlyphs.h"
#include "decor/vexaCap.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QStatusBar>

namespace tarnby {

using platform::gui::dialogs;
using platform::gui::MessageIcon;

const char* const kProductTitle = "Tarnby v1.1c";
const char* const kWindowCaption = "Tarnby";
const char* const kOpenFilter =
    "Web files (*.htm;*.html;*.asp)|*.htm;*.html;*.asp|Text Files (*.txt)|*.txt|All files (*.*)|*.*";
const char* const kSaveFilter = "Plain Text or HTML|*.*|RTF File - Rich Text Format|*.*";
const char* const kHomePageUrl = "https://tarnby.example.org/";

namespace {

constexpr int kMinWidth = 376;
constexpr int kMinHeight = 210;
constexpr const char* kSettingsFile = "Tarnby.ini";
constexpr const char* kReady = "Ready";

std::string localName(const QString& path) { return QFile::encodeName(path).toStdString(); }

std::vector<std::string> localNames(const QStringList& paths)
{
    std::vector<std::string> names;
    for (const QString& p : paths)
        names.push_back(localName(p));
    return names;
}

// The home-page image: a small globe.
QPixmap homePageImage()
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x40, 0x80, 0xFF));
    p.setPen(QPen(QColor(0x00, 0x00, 0x80), 2));
    p.drawEllipse(QRectF(2, 2, 20, 20));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 1));
    p.drawEllipse(QRectF(8, 2, 8, 20));
    p.drawLine(QPointF(2, 12), QPointF(22, 12));
    p.drawLine(QPointF(4, 7), QPointF(20, 7));
    p.drawLine(QPointF(4, 17), QPointF(20, 17));
    return pixmap;
}

QAction* addItem(QMenu* menu, const char* name, const QString& caption)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

QString HelpText()
{
    return QStringLiteral(
        "Tarnby v1.1  \n"
        "                    \n"
        "                 H E L P\n"
        "                    \n"
        "Use the Process Menu In Numbered Order, 1,2,3.. \n"
        "Level 1. All formatting and non link tags are removed,  \n"
        "then the pipe symbol is inserted as a database delimiter. \n"
        "Level 2. Tags with no associated Text are removed. \n"
        "Level 3. The begginning and end of the Link \n"
        "Tag is removed if desired. (optional) ");
}

THttpTestForm::THttpTestForm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("HttpTestForm"));
    setWindowTitle(QLatin1String(kWindowCaption));

    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    setCentralWidget(central);

    buildPanel();
    column->addWidget(Panel1);

    DisplayMemo = new QPlainTextEdit(central);
    DisplayMemo->setObjectName(QStringLiteral("DisplayMemo"));
    QFont logFont = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    logFont.setStyleHint(QFont::SansSerif);
    logFont.setPointSize(8);
    logFont.setBold(true);
    DisplayMemo->setFont(logFont);
    DisplayMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    DisplayMemo->setFixedHeight(74);
    column->addWidget(DisplayMemo);

    Memo1 = new platform::gui::RichEdit(central);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setWordWrap(false);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The page pane gives way in a low window, never the log pane: without this its size hint
    // (scroll bars always on) would squeeze the log pane below its 74 pixels.
    Memo1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Ignored);
    Memo1->setMinimumSize(0, 0);
    column->addWidget(Memo1, 1);
    history_ = new PaneHistory(Memo1);

    Memo2 = new platform::gui::RichEdit(central);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setWordWrap(false);
    Memo2->hide();

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    setStatusBar(StatusBar1);
    CancelCheckButton = new QPushButton(QStringLiteral("Cancel check"), StatusBar1);
    CancelCheckButton->setObjectName(QStringLiteral("CancelCheckButton"));
    CancelCheckButton->setAccessibleName(QStringLiteral("Cancel check"));
    CancelCheckButton->hide();
    StatusBar1->addPermanentWidget(CancelCheckButton);
    connect(CancelCheckButton, &QPushButton::clicked, this, &THttpTestForm::MenuCancelCheckClick);

    buildMenus();
    setUpFetch();
    SetButtons(true);
    Process->setEnabled(true);

    setMinimumSize(kMinWidth, kMinHeight);
    resize(kMinWidth, 391);

    // The gradient caption bar in its own colours (navy to blue, grey to silver, 64 bands).
    VexaCaption1 = new decor::TVexaCaption(this);
    QFont captionFont(QStringLiteral("MS Sans Serif"));
    captionFont.setStyleHint(QFont::SansSerif);
    captionFont.setPixelSize(14);
    VexaCaption1->SetCaptionFont(captionFont);
    captionFont.setBold(true);
    VexaCaption1->SetApplicationNameFont(captionFont);
}

void THttpTestForm::buildPanel()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setFixedHeight(57);
    // The panel clips its contents rather than widening the window past its smallest size.
    Panel1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    Panel1->setMinimumWidth(0);
    QFont panelFont = Panel1->font();
    panelFont.setPointSize(8);
    Panel1->setFont(panelFont);

    auto* left = new QVBoxLayout(Panel1);
    left->setContentsMargins(2, 1, 2, 1);
    left->setSpacing(1);

    auto* tools = new QHBoxLayout;
    tools->setSpacing(0);
    left->addLayout(tools);
    const qreal ratio = qApp->devicePixelRatio();
    const auto buttons = BuildToolButtons(
        Panel1, tools,
        {
            {QStringLiteral("GetButton"), QStringLiteral("&Get URL  "),
             QStringLiteral("Get the source of the webpage at the URL "),
             decor::GetUrlGlyph(ratio), [this] { MenuGetClick(); }},
            {QStringLiteral("AbortButton"), QStringLiteral("&Abort  "), QStringLiteral("Abort Get"),
             decor::AbortGlyph(ratio), [this] { MenuAbortClick(); }},
            {QStringLiteral("Process"), QStringLiteral("Process 1 ->"),
             QStringLiteral("Process Links, Remove other tags and formatting"), QImage(),
             [this] { MenuProcessClick(); }},
            {QStringLiteral("TransparentButton4"), QStringLiteral("Process 2 ->"),
             QStringLiteral("Remove Links with no text (usually image links)"), QImage(),
             [this] { MenuRemoveLinksClick(); }},
            {QStringLiteral("TransparentButton5"), QStringLiteral("Process 3 "),
             QStringLiteral("Remove remaining tag components"), QImage(),
             [this] { MenuRemoveTagsClick(); }},
        });
    GetButton = buttons[0];
    AbortButton = buttons[1];
    Process = buttons[2];
    TransparentButton4 = buttons[3];
    TransparentButton5 = buttons[4];
    tools->addStretch(1);

    auto* urlRow = new QHBoxLayout;
    urlRow->setSpacing(2);
    left->addLayout(urlRow);
    Panel2 = new QFrame(Panel1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* labelBox = new QHBoxLayout(Panel2);
    labelBox->setContentsMargins(4, 0, 4, 0);
    Label1 = new QLabel(QStringLiteral("URL:"), Panel2);
    Label1->setObjectName(QStringLiteral("Label1"));
    labelBox->addWidget(Label1);
    urlRow->addWidget(Panel2);
    URLEdit = new QLineEdit(Panel1);
    URLEdit->setObjectName(QStringLiteral("URLEdit"));
    URLEdit->setToolTip(QStringLiteral("protocol://[user[:password]@]server[:port]/path"));
    urlRow->addWidget(URLEdit, 1);
    Button1 = new QPushButton(Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setFixedSize(33, 9);
    Button1->setDefault(true);
    Button1->setFocusPolicy(Qt::NoFocus);
    connect(Button1, &QPushButton::clicked, this, [this] { MenuGetClick(); });
    // Enter in the URL box starts a fetch, as the default button does in a dialog.
    connect(URLEdit, &QLineEdit::returnPressed, Button1, &QPushButton::click);
    urlRow->addWidget(Button1, 0, Qt::AlignVCenter);

    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(homePageImage());
    Image1->setToolTip(QStringLiteral("Go to Tarnby Home Page"));
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->installEventFilter(this);
    urlRow->addWidget(Image1, 0, Qt::AlignRight | Qt::AlignVCenter);
}

void THttpTestForm::buildMenus()
{
    QMenuBar* bar = menuBar();
    auto menu = [&](const char* name, const char* caption) {
        QMenu* m = bar->addMenu(QLatin1String(caption));
        m->setObjectName(QLatin1String(name));
        return m;
    };
    auto on = [this](QAction* action, void (THttpTestForm::*handler)()) {
        connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return action;
    };

    File1 = menu("File1", "&File");
    MenuOpen = on(addItem(File1, "MenuOpen", QStringLiteral("&Open File(s)")),
                  &THttpTestForm::BatchConcatenate1Click);
    Save1 = on(addItem(File1, "Save1", QStringLiteral("&Save")), &THttpTestForm::Save1Click);
    Print1 = on(addItem(File1, "Print1", QStringLiteral("&Print")), &THttpTestForm::Print1Click);
    Exit1 = on(addItem(File1, "Exit1", QStringLiteral("E&xit")), &THttpTestForm::Exit1Click);

    Process1 = menu("Process1", "&Process");
    MenuProcess = on(addItem(Process1, "MenuProcess",
                             QStringLiteral("1. Process Links, Remove other tags and formatting")),
                     &THttpTestForm::MenuProcessClick);
    MenuRemoveLinks =
        on(addItem(Process1, "MenuRemoveLinks",
                   QStringLiteral("2. Remove Links With no Text (usually image links) ")),
           &THttpTestForm::MenuRemoveLinksClick);
    MenuRemoveTags = on(addItem(Process1, "MenuRemoveTags",
                                QStringLiteral("3. Remove Tag <a href\" and  \"> components")),
                        &THttpTestForm::MenuRemoveTagsClick);
    MenuHtmlLinks = on(addItem(Process1, "MenuHtmlLinks", QStringLiteral("&Links (HTML parser)")),
                       &THttpTestForm::MenuHtmlLinksClick);
    MenuCheckLinks = on(addItem(Process1, "MenuCheckLinks", QStringLiteral("&Check links")),
                        &THttpTestForm::MenuCheckLinksClick);
    MenuCancelCheck = on(addItem(Process1, "MenuCancelCheck", QStringLiteral("Cancel link check")),
                         &THttpTestForm::MenuCancelCheckClick);
    MenuCancelCheck->setEnabled(false);
    Reset1 = on(addItem(Process1, "Reset1", QStringLiteral("Reset")), &THttpTestForm::Reset1Click);

    Edit1 = menu("Edit1", "&Edit");
    Undo1 = addItem(Edit1, "Undo1", QStringLiteral("Undo"));
    connect(Undo1, &QAction::triggered, this, [this] { history_->undo(); });
    Copy1 = addItem(Edit1, "Copy1", QStringLiteral("Copy    Ctrl-C"));
    connect(Copy1, &QAction::triggered, Memo1, &QPlainTextEdit::copy);
    Cut1 = addItem(Edit1, "Cut1", QStringLiteral("Cut        Ctrl-X"));
    connect(Cut1, &QAction::triggered, Memo1, &QPlainTextEdit::cut);
    Paste1 = addItem(Edit1, "Paste1", QStringLiteral("Paste    Ctrl-V"));
    connect(Paste1, &QAction::triggered, Memo1, &QPlainTextEdit::paste);
    Clear1 = addItem(Edit1, "Clear1", QStringLiteral("Clear"));
    connect(Clear1, &QAction::triggered, this, [this] { replacePane({}); });
    SelectAllCtrlA1 = addItem(Edit1, "SelectAllCtrlA1", QStringLiteral("Select All    Ctrl-A"));
    connect(SelectAllCtrlA1, &QAction::triggered, Memo1, &QPlainTextEdit::selectAll);

    View1 = menu("View1", "&View");
    Font1 = addItem(View1, "Font1", QStringLiteral("Font"));
    connect(Font1, &QAction::triggered, this, [this] {
        if (const auto font = dialogs().chooseFont(Memo1->font()))
            Memo1->setFont(*font);
    });
    FontColor1 = addItem(View1, "FontColor1", QStringLiteral("Font Color"));
    connect(FontColor1, &QAction::triggered, this, [this] {
        if (const auto colour = dialogs().chooseColor(Memo1->textColour()))
            Memo1->setTextColour(*colour);
    });
    BackgroundColor1 = addItem(View1, "BackgroundColor1", QStringLiteral("Background Color"));
    connect(BackgroundColor1, &QAction::triggered, this, [this] {
        if (const auto colour = dialogs().chooseColor(Memo1->backgroundColour()))
            Memo1->setBackgroundColour(*colour);
    });

    WebSite1 = menu("WebSite1", "&WebSite");
    MenuGet = on(addItem(WebSite1, "MenuGet", QStringLiteral("Get")), &THttpTestForm::MenuGetClick);
    MenuAbort = on(addItem(WebSite1, "MenuAbort", QStringLiteral("Abort")),
                   &THttpTestForm::MenuAbortClick);

    Help1 = on(bar->addAction(QStringLiteral("&Help")), &THttpTestForm::Help1Click);
    Help1->setObjectName(QStringLiteral("Help1"));
}

void THttpTestForm::setStatus(const QString& text)
{
    StatusBar1->showMessage(text);
    StatusBar1->repaint();
}

void THttpTestForm::FormCreate(const std::vector<std::string>& files)
{
    platform::gui::ShowAndWaitUntilExposed(this);
    setStatus(QLatin1String(kReady));
    if (!files.empty()) {
        Memo1->setText(loadShowingProgress([&] {
            return LoadFiles(files, [this](int number) {
                setStatus(QStringLiteral(" Files Loading...  ") + QString::number(number));
            }, &loadedPages_);
        }));
        setStatus(QLatin1String(kReady));
    }
    Memo2->clear();
    setStatus(QLatin1String(kReady));
}

std::string THttpTestForm::loadShowingProgress(const std::function<std::string()>& load)
{
    try {
        return load();
    } catch (...) {
        // The error box follows; the status bar must not go on claiming that files load.
        setStatus(QLatin1String(kReady));
        throw;
    }
}

void THttpTestForm::SetButtons(bool enabled)
{
    GetButton->setEnabled(enabled);
    Process->setEnabled(enabled);
    AbortButton->setEnabled(!enabled);
}

bool THttpTestForm::event(QEvent* event)
{
    // The status bar shows the window's own texts until the window changes them: menu items
    // hovered on their way must not wipe "Ready" or the fetch status.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

void THttpTestForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    const platform::core::IniFile settings{QLatin1String(kSettingsFile)};
    URLEdit->setText(QString::fromStdString(settings.readString("Data", "URL")));
}

void THttpTestForm::closeEvent(QCloseEvent* event)
{
    // A fetch still under way would keep the program alive after its window has gone.
    MenuAbortClick();
    try {
        platform::core::IniFile settings{QLatin1String(kSettingsFile)};
        settings.writeString("Data", "URL", URLEdit->text().toStdString());
    } catch (const std::exception& e) {
        // The window still closes; the user learns that the URL was not kept.
        platform::gui::ShowMessage(QLatin1String(kProductTitle), QString::fromUtf8(e.what()),
                                   MessageIcon::Error);
    }
    QMainWindow::closeEvent(event);
}

void THttpTestForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (width() < kMinWidth || height() < kMinHeight)
        resize(std::max(width(), kMinWidth), std::max(height(), kMinHeight));
    DisplayMemo->setFixedHeight(height() > 234 ? 74 : 35);
    Memo1->viewport()->update();
}

bool THttpTestForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Image1 && event->type() == QEvent::MouseButtonDblClick) {
        Image1DblClick();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void THttpTestForm::BatchConcatenate1Click()
{
    replacePane({});
    loadedPages_.clear();
    platform::gui::OpenFileRequest request;
    request.filters = platform::gui::ParseFileFilter(QLatin1String(kOpenFilter));
    request.filterIndex = 0;
    request.multiSelect = true;
    request.mustExist = true;
    const auto answer = dialogs().openFiles(request);
    if (answer.accepted()) {
        Memo1->setText(loadShowingProgress([&] {
            return LoadFilesWithNames(localNames(answer.files), [this](int number) {
                setStatus(QStringLiteral("Loading File(s)...  ") + QString::number(number));
            }, &loadedPages_);
        }));
    }
    Process->setEnabled(true);
    setStatus(QLatin1String(kReady));
}

void THttpTestForm::Save1Click()
{
    platform::gui::SaveFileRequest request;
    request.filters = platform::gui::ParseFileFilter(QLatin1String(kSaveFilter));
    request.fileName = documentName();
    const auto answer = dialogs().saveFile(request);
    if (!answer.accepted())
        return;
    if (answer.filterIndex == 1)
        Memo1->saveRtf(localName(answer.file));
    else
        Memo1->savePlainText(localName(answer.file));
}

void THttpTestForm::Print1Click()
{
    QPrinter printer;
    if (dialogs().setupPrinter(printer))
        Memo1->printTo(printer);
}

void THttpTestForm::Exit1Click()
{
    const auto answer = dialogs().message({QStringLiteral("Confimation"),
                                           QStringLiteral("Save To a File?"), MessageIcon::Question,
                                           platform::gui::Yes | platform::gui::No
                                               | platform::gui::Cancel,
                                           platform::gui::NoButton});
    if (answer == platform::gui::Cancel)
        return;
    if (answer == platform::gui::Yes)
        Save1Click();
    close();
}

void THttpTestForm::runPass(const QString& status, Pass pass)
{
    setStatus(status);
    replacePane(pass(Memo1->text()));
    Memo1->repaint();
    setStatus(QLatin1String(kReady));
}

void THttpTestForm::MenuProcessClick()
{
    if (Process->isEnabled()) {
        Process->setEnabled(false);
        Process->repaint();
    }
    runPass(QStringLiteral(" Processing File....Please Wait..."), &ProcessLinks);
}

void THttpTestForm::MenuRemoveLinksClick()
{
    runPass(QStringLiteral("Removing Empty Links"), &RemoveEmptyLinks);
}

void THttpTestForm::MenuRemoveTagsClick()
{
    runPass(QStringLiteral("Removing <a href> Tags"), &RemoveLinkTags);
}

void THttpTestForm::MenuHtmlLinksClick()
{
    setStatus(QStringLiteral("Reading Links With the HTML Parser..."));
    std::string lines;
    if (loadedPages_.empty())
        lines = LinkLines(ExtractLinks(Memo1->text(), {}));
    for (const LoadedPage& page : loadedPages_)
        lines += LinkLines(ExtractLinks(page.bytes, page.url, page.contentType));
    replacePane(lines);
    Memo1->repaint();
    setStatus(QLatin1String(kReady));
}

void THttpTestForm::replacePane(std::string_view text)
{
    history_->replace(text);
}

void THttpTestForm::Reset1Click()
{
    Process->setEnabled(true);
}

void THttpTestForm::Help1Click()
{
    platform::gui::ShowMessage(QLatin1String(kProductTitle), HelpText());
}

void THttpTestForm::Image1DblClick()
{
    const QUrl url{QLatin1String(kHomePageUrl)};
    if (!platform::gui::OpenUrl(url))
        platform::gui::ShowMessage(QLatin1String(kProductTitle),
                                   QStringLiteral("The web browser could not be started for ")
                                       + url.toString(),
                                   MessageIcon::Warning);
}

} // namespace tarnby
