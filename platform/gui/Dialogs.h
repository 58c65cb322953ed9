#pragma once
// The one seam through which every message box, standard dialog and input box of the programs
// goes, so that tests can answer them without a person. Commands call dialogs(); a test
// installs a ScriptedDialogs with ScopedDialogs.
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class QPrinter;

namespace platform::gui {

enum class MessageIcon { None, Information, Warning, Error, Question };

// Buttons of a message box, combinable; the answer is one of them.
enum MessageButton : unsigned {
    NoButton = 0,
    Ok = 1u << 0,
    Cancel = 1u << 1,
    Yes = 1u << 2,
    No = 1u << 3,
    Abort = 1u << 4,
    Retry = 1u << 5,
    Ignore = 1u << 6,
};
using MessageButtons = unsigned;

struct MessageRequest {
    QString caption;
    QString text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = Ok;
    MessageButton defaultButton = NoButton; // NoButton: the first of the buttons
};

// One entry of a file-type list: "Web files (*.htm;*.html)" with its patterns.
struct FileFilter {
    QString description;
    QStringList patterns;
};

// Parses the programs' filter strings, "description|pattern;pattern|description|pattern".
// A trailing description without a pattern list gets "*".
std::vector<FileFilter> ParseFileFilter(const QString& filter);

struct OpenFileRequest {
    QString title;
    std::vector<FileFilter> filters;
    int filterIndex = 0;      // 0-based, the filter selected when the dialog opens
    bool multiSelect = false;
    bool mustExist = true;
    QString folder;           // empty: the current folder
    QString defaultSuffix;    // without the dot
};

// An empty file list means the dialog was cancelled.
struct OpenFileResult {
    QStringList files;        // absolute names, in the order the dialog gives them
    int filterIndex = 0;      // 0-based, the filter selected when the dialog closed
    bool accepted() const { return !files.isEmpty(); }
};

struct SaveFileRequest {
    QString title;
    std::vector<FileFilter> filters;
    int filterIndex = 0;
    QString fileName;         // preset name
    QString defaultSuffix;
    bool confirmOverwrite = false;
};

// An empty file name means the dialog was cancelled. The name is as the user typed it.
struct SaveFileResult {
    QString file;
    int filterIndex = 0;
    bool accepted() const { return !file.isEmpty(); }
};

struct InputRequest {
    QString caption;
    QString prompt;
    QString text;             // preset answer
};

// A password question with a masked field and, when offered, a check box "Remember in the
// keyring" (hidden otherwise).
struct PasswordRequest {
    QString caption;
    QString text;             // what the password is for
    bool offerRemember = false;
    bool remember = false;    // the box's preset
};

struct PasswordResult {
    QString password;
    bool remember = false;    // false whenever the box was not offered
};

// A modeless find or replace dialog: it stays open beside the window and reports each press of
// its buttons with the texts and boxes as they stand. Searches always run forward; the dialogs
// offer no direction choice.
enum class FindAction { FindNext, Replace, ReplaceAll };

struct FindReplaceRequest {
    bool replace = false;     // the replace dialog: a replace-with field, Replace and Replace All
    QString findText;         // preset
};

struct FindReplaceQuery {
    FindAction action = FindAction::FindNext;
    QString findText;
    QString replaceText;      // the replace dialog only
    bool matchCase = false;
    bool wholeWord = false;
};

using FindReplaceHandler = std::function<void(const FindReplaceQuery&)>;

// The page setup dialog. Margins are in hundredths of a millimetre, or in thousandths of an
// inch when thousandthsOfInches; the disable flags grey out their part of the dialog.
struct PageSetupRequest {
    int marginLeft = 0;
    int marginTop = 0;
    int marginRight = 0;
    int marginBottom = 0;
    bool thousandthsOfInches = false;
    bool portrait = true;
    bool disableMargins = false;
    bool disableOrientation = false;
    bool disablePaper = false;
    bool disablePrinter = false;
};

// Cancelled: accepted is false and the values are the request's.
struct PageSetupResult {
    bool accepted = false;
    int marginLeft = 0;
    int marginTop = 0;
    int marginRight = 0;
    int marginBottom = 0;
    bool portrait = true;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual MessageButton message(const MessageRequest& request) = 0;
    virtual OpenFileResult openFiles(const OpenFileRequest& request) = 0;
    virtual SaveFileResult saveFile(const SaveFileRequest& request) = 0;
    virtual std::optional<QFont> chooseFont(const QFont& initial) = 0;
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;
    // Sets up printer (printer, copies, range, file) and returns whether to print.
    virtual bool setupPrinter(QPrinter& printer) = 0;
    virtual std::optional<QString> input(const InputRequest& request) = 0;
    // nullopt: cancelled.
    virtual std::optional<PasswordResult> password(const PasswordRequest& request) = 0;
    // Shows the dialog and returns at once: whether it opened. Showing a dialog of the same kind
    // again brings the open one to the front with the new handler. The handler runs on every
    // button press until the dialog is closed.
    virtual bool showFindReplace(const FindReplaceRequest& request,
                                 FindReplaceHandler onAction) = 0;
    // Sets the chosen printer and paper on printer (when there is one) when accepted.
    virtual PageSetupResult pageSetup(const PageSetupRequest& request, QPrinter* printer) = 0;
};

// The dialogs in force: the last installed, or the real Qt dialogs.
Dialogs& dialogs();

// Installs dialogs for the lifetime of this object (tests); restores the previous on exit.
class ScopedDialogs {
public:
    explicit ScopedDialogs(Dialogs& dialogs);
    ~ScopedDialogs();
    ScopedDialogs(const ScopedDialogs&) = delete;
    ScopedDialogs& operator=(const ScopedDialogs&) = delete;

private:
    Dialogs* previous_;
};

// Convenience for the most common box.
MessageButton ShowMessage(const QString& caption, const QString& text,
                          MessageIcon icon = MessageIcon::None, MessageButtons buttons = Ok);

// An input box with a caption, a prompt and a preset answer. Cancel answers the preset, as the
// programs' input boxes always did.
QString InputBox(const QString& caption, const QString& prompt, const QString& preset);

} // namespace platform::gui
