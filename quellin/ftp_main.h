#pragma once
// Tmainform: Quellin's main window. A top bar to pick a stored site (CBSites) or type the log-in
// data and connect; a left column with the remote folder view (FTPView) above the local
// browser (LocalView); the editor (Memo) on the right; a status bar of three panels.
//
// The window owns one remote-files session (session): FTP, FTP over TLS or SFTP, as the log-in
// row's protocol says, and talks to it through remote::RemoteFiles only; a connect with another
// protocol replaces it (RemoteSessions.h). Command handlers let the session's exceptions escape:
// the application object shows their message and the window stays as it was. While a transfer
// is under way (asynchronous transfers turn the event loop, so commands can arrive inside one)
// connecting and "Send Command" are disabled and the other remote commands do nothing. After a
// transfer whose final reply failed the session stays busy: connecting again (which logs out
// first) is the way out, so it stays enabled then.
//
// Handlers are split by area: this file's ftp_main.cpp (layout, start, close, about),
// SiteCommands.cpp (sites, connect, trace), RemoteView.cpp (the remote folder view and its
// commands), RoundTrip.cpp (opening and writing back remote files), LocalBrowser.cpp (the
// local drives and folders), HtmlTools.cpp (snippets and check), EditorCommands.cpp (the
// editor's file, search, print and macro commands).
#include "platform/core/TextCodec.h"
#include "quellin/EditorFiles.h"
#include "quellin/ExtensionIcons.h"
#include "quellin/LocalFolderModel.h"
#include "quellin/RemoteEdit.h"
#include "quellin/RemoteListing.h"
#include "quellin/RemoteSessions.h"
#include "quellin/SearchReplace.h"

#include <QMainWindow>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QSplitter;
class QToolButton;

namespace platform::gui {
class ImageList;
class ListView;
class StatusPanels;
} // namespace platform::gui
namespace richprint {
class TRichPrinter;
class TSRichEdit;
}
namespace makro {
class TFormMakro;
}

namespace quellin {

class TAboutBox;
class HtmlProblemsPane;
class NoticeLabel;
class SitePassword;

// The window's texts (also what its tests compare against).
extern const char* const kWindowTitle;        // "Quellin"
extern const char* const kQuitQuestion;       // "Text changed - still quit?"
QString StartUpHelpText();

class Tmainform : public QMainWindow {
    Q_OBJECT
public:
    explicit Tmainform(QWidget* parent = nullptr);
    ~Tmainform() override;

    // Start-up, in order: show maximised, images, sites, local browser, panel sizes; then the
    // warning when other users may read or write the settings file (in Notices, where it stays).
    void FormCreate();
    // The about box the program created at start (the window makes one when none was given).
    void setAboutBox(TAboutBox* box) { AboutBox = box; }
    // The macro window the program created at start: F3 runs its text, Ctrl+F3 shows it.
    void setMacroWindow(makro::TFormMakro* window) { MacroWindow = window; }

    // Whether a transfer the window started is running (commands may arrive inside one).
    bool TransferRunning() const { return transfers_ > 0; }
    // In the status bar now, or when the running command has ended (see noteAfterCommand_).
    void noteWhenDone(const QString& note);
    // Running, or left busy by a transfer whose final reply failed (until the next log-out).
    bool TransferUnderWay() const;
    // The longest the log-out at close may wait for a silent server.
    static constexpr std::chrono::milliseconds kCloseTimeout{ 3000 };

    // --- Sites, connection, trace (SiteCommands.cpp) ---
    void CBSitesChange();
    void CBSitesEnter();
    void CBSitesExit();
    // A new protocol brings its own port, unless the user had typed another one.
    void CBProtocolChange();
    void btn_connectClick();
    void chk_asyncClick();
    void ftp_trace(const std::string& text, remote::TraceLevel level);
    // The protocol and port the log-in row shows.
    RemoteProtocol chosenProtocol() const;
    void showProtocol(RemoteProtocol protocol, std::uint16_t port);

    // --- Remote folder view (RemoteView.cpp) ---
    void Refresh();
    void FTPViewDblClick();
    void FTPViewKeyPress(char key);
    void FTPViewColumnClick(int column);
    void SortView(int key);
    void btn_upClick();
    void btn_listClick();
    void btn_detailsClick();
    void mnu_viewClick(QAction* item);
    void mnu_sortClick(QAction* item);
    void cbx_pathDblClick();
    // tag 0: the remote view's context menu; 1: the local browser's.
    void Loeschen1Click(int tag);
    void Umbennen1Click(int tag);
    void verzeichnisanlegen1Click(int tag);
    void Auffrischen1Click(int tag);
    void SendCommand1Click();

    // --- Remote edit round trip (RoundTrip.cpp) ---
    void OpenRemoteFile(const RemoteItem& item);
    void SBZurueckClick();
    void CopyClick(int tag);

    // --- Local browser (LocalBrowser.cpp) ---
    void StartLocalBrowser();
    void SetFiles();
    void CBDriveUpdate();
    void LocalCommand(int tag, const char* command);
    void CBDriveChange();
    void SBUpClick();
    void SBBigIconsClick();
    void SBSmallIconsClick();
    void SBListClick();
    void LocalViewDblClick();
    void LocalViewColumnClick(int column);

    // --- HTML tools (HtmlTools.cpp) ---
    void SBHTMLClick();
    void SBCheckClick();

    // --- Editor commands (EditorCommands.cpp) ---
    void SBNeuClick();
    void SBOeffnenClick();
    void SBSpeichernClick();
    void SBSuchenClick();
    void SBErsetzenClick();
    void SBDruckenClick();
    void Print1Click();
    void Dialogprint1Click();
    void Preview1Click();
    void SBDruckEinrichtenClick();
    void Printersetup1Click();
    void PageAdjust1Click();
    void Makroeingeben1Click();
    void Makroausfhren1Click();

    // Status panel 2 shows the caret's "Line: …, Pos: …" whole: sized at start for seven-digit
    // numbers, and widened when a text needs more.
    void showCaretPosition(const QString& text);

    // --- The window (ftp_main.cpp) ---
    void Menu1Click();
    void About1Click();
    void Exit1Click();

    // The session and the window state of the remote view.
    remote::RemoteFiles& remote() const { return *session; }
    std::unique_ptr<remote::RemoteFiles> session;
    std::unique_ptr<RemoteListModel> RemoteItems;
    std::unique_ptr<ExtensionIconCache> IconCache;
    std::unique_ptr<platform::gui::ImageList> icons_small;
    std::unique_ptr<platform::gui::ImageList> icons_large;
    // The round trip over the session: it owns the session's data and completion events, and
    // its LocalFolder follows the local browser ("Copy To Local" into the Drives list is refused).
    std::unique_ptr<RemoteEdit> Edit;
    // The local browser: where it is, and its items as the view's model.
    std::unique_ptr<LocalBrowserState> Local;
    std::unique_ptr<LocalFolderModel> LocalItems;
    // Where a log-in's password comes from: the keyring, the site, or a prompt.
    std::unique_ptr<SitePassword> Passwords;
    TAboutBox* AboutBox = nullptr;
    makro::TFormMakro* MacroWindow = nullptr;

    // Controls, named as the window's design names them (also their object names).
    QWidget* PanelTop;
    QComboBox* CBSites;
    QComboBox* CBProtocol; // FTP, FTP over TLS, SFTP (RemoteProtocol's order)
    QLineEdit* EditName;
    QLineEdit* EditPasswort;
    QLineEdit* EditHostname;
    QSpinBox* EditPort;
    QLineEdit* EditPfad;
    QPushButton* btn_connect;
    QCheckBox* chk_async;
    QSplitter* Splitter1;
    QWidget* PanelLeft;
    QSplitter* Splitter2;
    QComboBox* cbx_path;
    QToolButton* btn_up;
    QToolButton* btn_list;
    QToolButton* btn_details;
    platform::gui::ListView* FTPView;
    QComboBox* CBDrive;
    QToolButton* SBUp;
    QToolButton* SBBigIcons;
    QToolButton* SBSmallIcons;
    QToolButton* SBList;
    platform::gui::ListView* LocalView;
    QWidget* PanelEdit;
    QToolButton* SBZurueck;
    QToolButton* SBNeu;
    QToolButton* SBOeffnen;
    QToolButton* SBSpeichern;
    QToolButton* SBDrucken;
    QToolButton* SBDruckEinrichten;
    QToolButton* SBSuchen;
    QToolButton* SBErsetzen;
    QToolButton* SBHTML;
    QToolButton* SBCheck;
    QLineEdit* EditTempName;
    richprint::TSRichEdit* Memo;
    HtmlProblemsPane* HtmlProblems; // below Memo, filled by the HTML check
    platform::gui::StatusPanels* Status;
    NoticeLabel* Notices; // at the status bar's right end: warnings the trace must not hide

    // Context menus and their items.
    QMenu* PMFTP;
    QAction* mnu_view_big;
    QAction* mnu_view_small;
    QAction* mnu_view_list;
    QAction* mnu_view_details;
    QAction* mnu_sort_name;
    QAction* mnu_sort_size;
    QAction* mnu_sort_type;
    QAction* mnu_sort_date;
    QAction* Loeschen1;
    QAction* Umbennen1;
    QAction* verzeichnisanlegen1;
    QAction* Auffrischen1;
    QAction* SendCommand1;
    QAction* CopyToLocal1;
    QMenu* PMBefehle;
    QAction* Writeback1;
    QAction* Neu1;
    QAction* Open1;
    QAction* Save1;
    QAction* Print2;
    QAction* Preview2;
    QAction* Printsetup1;
    QAction* Pagesetup1;
    QAction* Exit1;
    QAction* Find1;
    QAction* Replace1;
    QAction* HTMLCode1;
    QAction* HTMLCheck1;
    QAction* Makroausfhren1;
    QAction* Makroeingeben1;
    QAction* Menu1;
    QAction* About1;
    // Filled by the local browser, the HTML tools and printing.
    QMenu* PMLocal;
    QAction* CopyToFTP1;
    QMenu* PMHTML;
    QMenu* PMPrint;
    QMenu* PMPrtDlgs;
    // The editor's file commands and its find and replace (EditorCommands.cpp).
    std::unique_ptr<EditorFiles> Files;
    std::unique_ptr<SearchReplace> Search;
    // The print engine with Quellin's settings (EditorCommands.cpp).
    richprint::TRichPrinter* RichPrinter1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Marks a transfer the window started: connect and "Send Command" stay disabled meanwhile.
    class TransferScope {
    public:
        explicit TransferScope(Tmainform& form) : form_(form) { form_.transferStarted(); }
        ~TransferScope() { form_.transferEnded(); }
        TransferScope(const TransferScope&) = delete;
        TransferScope& operator=(const TransferScope&) = delete;

    private:
        Tmainform& form_;
    };
    void transferStarted();
    void transferEnded();

    void buildTopBar();
    void buildLeftColumn();
    void buildRemoteArea(QWidget* area);
    void buildLocalArea(QWidget* area);
    void buildEditor();
    void buildRemoteMenu();
    void buildEditorMenu();
    // The HTML menu, the file and search commands and the caret display (EditorCommands.cpp).
    void buildEditorTools();
    void buildImages();
    void loadSites();
    // What the session reports back to the window: trace, reconnects, unknown host keys.
    RemoteHooks remoteHooks();
    // Runs a session call as a transfer of the window: commands arriving inside its wait do
    // nothing, connect and "Send Command" are disabled meanwhile.
    template <typename Call>
    void remoteCall(Call&& call)
    {
        TransferScope transfer(*this);
        call(remote());
    }
    // Logs out with a short timeout, so a silent server cannot hold the window open.
    void logOutForClose();
    std::string remoteName(const QString& text) const;

    void sizeCaretPanel();
    // Shows the round trip's progress and its opened files in the window.
    void connectRoundTrip();
    // The image index of a local item (folders, drives and files by extension).
    int localImage(const LocalItem& item);

    int transfers_ = 0;
    // The protocol CBProtocol showed last (its port is the one a new protocol replaces).
    RemoteProtocol shownProtocol_ = RemoteProtocol::Ftp;
    // Listing entries the session left out while the view was listed (their names are unusable).
    int leftOutNames_ = 0;
    // What a command wants the user to read ("Reconnected: ...", where a kept text went, a store
    // made directly), shown in the status bar when the command has ended: the trace of its
    // exchanges, a refresh among them, would hide it at once.
    QString noteAfterCommand_;
    // How the opened file's name was decoded, so a write-back uses the same bytes.
    platform::core::TextEncoding editNameEncoding_ = platform::core::TextEncoding::Utf8;
    int driveImage_ = -1;
    // How the site fields' bytes were decoded, so they go back to the server unchanged.
    platform::core::TextEncoding fieldsEncoding_ = platform::core::TextEncoding::Utf8;
    QButtonGroup* remoteStyles_;
    QButtonGroup* localStyles_;
};

} // namespace quellin
