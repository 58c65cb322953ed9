#include "makro/u_makro.h"

#include "base/StringList.h"
#include "makro/CaptionedButton.h"
#include "makro/KeyCaptureEdit.h"
#include "makro/KeyNames.h"
#include "makro/MacroPlayer.h"
#include "makro/MacroTexts.h"
#include "makro/U_wndnam.h"
#include "makro/UserInfoSource.h"
#include "platform/gui/Dialogs.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace makro {

namespace gui = platform::gui;

namespace {

const QString lineBreak = QStringLiteral("\n"); // one line break of the text: CR LF in the file

} // namespace

TFormMakro::TFormMakro(DesktopFactory desktop, QWidget* parent)
    : QDialog(parent), desktop_(std::move(desktop))
{
    setWindowTitle(QStringLiteral("Macro"));
    buildPanels();
    buildMenu();
    setLines(InitialMacroLines());
    resize(560, 400);
}

void TFormMakro::buildPanels()
{
    PanelBtn = new QFrame(this);
    BtnExcecute = CaptionedButton(QStringLiteral("&Execute"), PanelBtn);
    BtnbLoad = CaptionedButton(QStringLiteral("&Load"), PanelBtn);
    BthSave = CaptionedButton(QStringLiteral("&Save"), PanelBtn);
    for (QPushButton* button : {BtnExcecute, BtnbLoad, BthSave})
        button->setAutoDefault(false);
    LabelVKey = new QLabel(QStringLiteral("&VKey:"), PanelBtn);
    EditVKey = new KeyCaptureEdit(PanelBtn);
    EditVKey->setAccessibleName(QStringLiteral("VKey"));
    EditVKey->setContextMenuPolicy(Qt::NoContextMenu);
    LabelVKey->setBuddy(EditVKey);
    auto* buttons = new QHBoxLayout(PanelBtn);
    buttons->addWidget(BtnExcecute);
    buttons->addWidget(BtnbLoad);
    buttons->addWidget(BthSave);
    buttons->addStretch();
    buttons->addWidget(LabelVKey);
    buttons->addWidget(EditVKey);

    PanelEdit = new QFrame(this);
    MemoEdit = new QPlainTextEdit(PanelEdit);
    MemoEdit->setAccessibleName(QStringLiteral("Macro text"));
    MemoEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoEdit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoEdit->setContextMenuPolicy(Qt::NoContextMenu);
    MemoEdit->installEventFilter(this);
    auto* edit = new QVBoxLayout(PanelEdit);
    edit->setContentsMargins(5, 5, 5, 5);
    edit->addWidget(MemoEdit);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PanelBtn);
    layout->addWidget(PanelEdit, 1);

    connect(BtnExcecute, &QPushButton::clicked, this, &TFormMakro::BtnExcecuteClick);
    connect(BtnbLoad, &QPushButton::clicked, this, &TFormMakro::BtnbLoadClick);
    connect(BthSave, &QPushButton::clicked, this, &TFormMakro::BthSaveClick);
    connect(EditVKey, &KeyCaptureEdit::keyCaptured, this, &TFormMakro::EditVKeyKeyDown);
}

QAction* TFormMakro::addCommand(QMenu* menu, const QString& name, const QString& caption,
                                const QKeySequence& shortcut, void (TFormMakro::*handler)())
{
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    if (handler)
        connect(action, &QAction::triggered, this, handler);
    menu->addAction(action);
    addAction(action); // shortcuts work while the window has the focus, menu shown or not
    if (!shortcut.isEmpty())
        shortcutActions_.push_back(action);
    return action;
}

void TFormMakro::buildMenu()
{
    PopupMenu1 = new QMenu(this);
    QMenu* Men1 = PopupMenu1->addMenu(QStringLiteral("&Menu"));
    Men1->setObjectName(QStringLiteral("Men1"));
    addCommand(Men1, QStringLiteral("Ausfhren1"), QStringLiteral("&Execute"), QKeySequence(Qt::ALT | Qt::Key_A),
               &TFormMakro::BtnExcecuteClick);
    // Alt+L and Alt+S are the Load and Save buttons' accelerators already; the entries show
    // them without a second shortcut of their own (two would cancel each other out).
    addCommand(Men1, QStringLiteral("Laden1"), QStringLiteral("&Load\tAlt+L"), {}, &TFormMakro::BtnbLoadClick);
    addCommand(Men1, QStringLiteral("Speichern1"), QStringLiteral("&Save\tAlt+S"), {}, &TFormMakro::BthSaveClick);
    addCommand(Men1, QStringLiteral("NeuerMakro1"), QStringLiteral("&New"), QKeySequence(Qt::CTRL | Qt::Key_N),
               &TFormMakro::NeuerMakro1Click);
    PopupMenu1->addSeparator();

    QMenu* Tasten1 = PopupMenu1->addMenu(QStringLiteral("&Keys"));
    Tasten1->setObjectName(QStringLiteral("Tasten1"));
    addCommand(Tasten1, QStringLiteral("VirtuelleTaste1"), QStringLiteral("&Virtual Key"),
               QKeySequence(Qt::CTRL | Qt::Key_Return), &TFormMakro::VirtuelleTaste1Click);
    connect(addCommand(Tasten1, QStringLiteral("Tabulator1"), QStringLiteral("&Tab"),
                       QKeySequence(Qt::CTRL | Qt::Key_Tab), nullptr),
            &QAction::triggered, this, [this] { insertText(QStringLiteral("<TAB>")); });
    // The "<" key right of the left Shift key on a 102-key keyboard.
    connect(addCommand(Tasten1, QStringLiteral("Kleinerzeichen1"), QStringLiteral("&Lower than"),
                       QKeySequence(Qt::CTRL | Qt::Key_Less), nullptr),
            &QAction::triggered, this, [this] { insertText(QStringLiteral("<<>")); });
    PopupMenu1->addSeparator();

    QMenu* Befehle1 = PopupMenu1->addMenu(QStringLiteral("&Commands"));
    Befehle1->setObjectName(QStringLiteral("Befehle1"));
    struct Insert {
        const char* name;
        const char* caption;
        QKeyCombination key;
        const char* command;
    };
    const Insert inserts[] = {
        {"ExitOnError1", "ExitOnError", Qt::CTRL | Qt::Key_E, "ExitOnError"},
        {"Wiederholen1", "Repeat", Qt::CTRL | Qt::Key_R, "Repeat: ,"},
        {"Pause1", "Sleep", Qt::CTRL | Qt::Key_P, "Sleep: "},
    };
    for (const Insert& insert : inserts) {
        const QString command = QString::fromLatin1(insert.command);
        connect(addCommand(Befehle1, QString::fromLatin1(insert.name), QString::fromLatin1(insert.caption),
                           QKeySequence(insert.key), nullptr),
                &QAction::triggered, this, [this, command] { insertCommand(command); });
    }
    addCommand(Befehle1, QStringLiteral("Programm1"), QStringLiteral("Start"), QKeySequence(Qt::CTRL | Qt::Key_S),
               &TFormMakro::Programm1Click);
    addCommand(Befehle1, QStringLiteral("Wait1"), QStringLiteral("Wait"), QKeySequence(Qt::CTRL | Qt::Key_A),
               &TFormMakro::Wait1Click);
    addCommand(Befehle1, QStringLiteral("Fenstertitel1"), QStringLiteral("Window"), QKeySequence(Qt::CTRL | Qt::Key_W),
               &TFormMakro::Fenstertitel1Click);

    auto* showMenu = new QAction(this);
    showMenu->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10));
    connect(showMenu, &QAction::triggered, this, [this] {
        PopupMenu1->popup(MemoEdit->viewport()->mapToGlobal(MemoEdit->cursorRect().bottomLeft()));
    });
    addAction(showMenu);
}

std::vector<std::string> TFormMakro::lines() const
{
    const std::string text = platform::core::EncodeText(MemoEdit->toPlainText(), encoding_);
    return base::SplitLines(text);
}

void TFormMakro::setLines(const std::vector<std::string>& lines)
{
    base::StringList list;
    list.lines() = lines;
    const platform::core::DecodedText decoded = platform::core::DecodeText(list.text());
    encoding_ = decoded.encoding;
    QString text = decoded.text;
    text.replace(QStringLiteral("\r\n"), lineBreak);
    if (text.endsWith(lineBreak))
        text.chop(1);
    MemoEdit->setPlainText(text);
}

void TFormMakro::LoadMacroFile(const std::string& fileName)
{
    base::StringList file;
    file.loadFromFile(fileName);
    setLines(file.lines());
}

void TFormMakro::SaveMacroFile(const std::string& fileName) const
{
    base::StringList file;
    file.lines() = lines();
    try {
        file.saveToFile(fileName);
    } catch (const base::EFileError& error) {
        throw base::EFileError("Datei " + fileName + " kann nicht erstellt werden", error.code());
    }
}

RunEnd TFormMakro::Play(const std::function<void(const FailedLine&)>& onError)
{
    const std::vector<std::string> text = lines();
    const std::unique_ptr<platform::x11::DesktopServices> desktop = desktop_();
    MacroPlayer player(*desktop, onError);
    return player.run(text);
}

RunEnd TFormMakro::PlayWithErrorBox()
{
    return Play([](const FailedLine& line) {
        gui::ShowMessage(QStringLiteral("Information"),
                         QStringLiteral("Fehler\n") + platform::core::DecodeText(DescribeFailedLine(line)).text,
                         gui::MessageIcon::Information, gui::Ok);
    });
}

void TFormMakro::BtnbLoadClick()
{
    gui::OpenFileRequest request;
    request.filters = gui::ParseFileFilter(QStringLiteral("Makro |*.mkr|Textdatei|*.txt|Alle Dateien|*.*"));
    request.defaultSuffix = QStringLiteral("mkr");
    const gui::OpenFileResult chosen = gui::dialogs().openFiles(request);
    if (!chosen.accepted())
        return;
    lastFileName_ = chosen.files.front();
    LoadMacroFile(QFile::encodeName(lastFileName_).toStdString());
}

void TFormMakro::BthSaveClick()
{
    gui::SaveFileRequest request;
    request.filters = gui::ParseFileFilter(QStringLiteral("Makro|*.mkr|Alle Dateien|*.*"));
    request.defaultSuffix = QStringLiteral("mkr");
    request.fileName = lastFileName_;
    request.confirmOverwrite = false;
    const gui::SaveFileResult chosen = gui::dialogs().saveFile(request);
    if (chosen.accepted())
        SaveMacroFile(QFile::encodeName(chosen.file).toStdString());
}

void TFormMakro::NeuerMakro1Click()
{
    // Cleared first: when the stored user information cannot be read, the text stays empty.
    setLines({});
    setLines(NewMacroLines(ReadUserInfo(), QDateTime::currentDateTime()));
    // What is typed next starts a line of its own below the header, not inside it.
    MemoEdit->moveCursor(QTextCursor::End);
    insertText(lineBreak);
}

void TFormMakro::Programm1Click()
{
    gui::OpenFileRequest request;
    request.filters = gui::ParseFileFilter(QStringLiteral("Programme|*.exe|Alle Dateien|*.*"));
    const gui::OpenFileResult chosen = gui::dialogs().openFiles(request);
    if (!chosen.accepted())
        return;
    QString path = chosen.files.front();
    // Start splits its command line at blanks: a path with a blank is quoted to stay whole.
    if (path.contains(QLatin1Char(' ')))
        path = QLatin1Char('"') + path + QLatin1Char('"');
    insertCommand(QStringLiteral("Start: ") + path);
}

void TFormMakro::Fenstertitel1Click()
{
    insertWindowTitle(QStringLiteral("Window: "));
}

void TFormMakro::Wait1Click()
{
    insertWindowTitle(QStringLiteral("Wait: ,"));
}

void TFormMakro::insertWindowTitle(const QString& keyword)
{
    if (!picker_ || picker_->exec() != QDialog::Accepted)
        return;
    insertCommand(keyword + QString::fromStdString(picker_->selectedTitle()));
}

void TFormMakro::VirtuelleTaste1Click()
{
    EditVKey->setFocus(Qt::ShortcutFocusReason);
}

void TFormMakro::EditVKeyKeyDown(int virtualKey)
{
    const KeyName* row = KeyNameOfCode(virtualKey);
    if (!row)
        return;
    const QString name = QString::fromLatin1(row->name.data(), static_cast<qsizetype>(row->name.size()));
    EditVKey->setText(name);
    EditVKey->selectAll();
    MemoEdit->setFocus(Qt::OtherFocusReason);
    QString token = QLatin1Char('<') + name + QLatin1Char('>');
    if (IsModifierName(row->name))
        token += QStringLiteral("<.") + name + QLatin1Char('>');
    insertText(token);
}

void TFormMakro::insertText(const QString& text)
{
    MemoEdit->textCursor().insertText(text);
    MemoEdit->ensureCursorVisible();
}

void TFormMakro::insertCommand(const QString& command)
{
    insertText(lineBreak + command);
}

void TFormMakro::contextMenuEvent(QContextMenuEvent* event)
{
    PopupMenu1->popup(event->globalPos());
}

void TFormMakro::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    MemoEdit->setFocus(Qt::ActiveWindowFocusReason);
}

bool TFormMakro::eventFilter(QObject* watched, QEvent* event)
{
    // The text field would keep Ctrl+A, Ctrl+Tab and the like for itself; the window's
    // commands come first.
    if (watched == MemoEdit && event->type() == QEvent::ShortcutOverride) {
        const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
        for (const QAction* action : shortcutActions_) {
            if (action->shortcut() == pressed)
                return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace makro
