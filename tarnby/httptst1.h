#pragma once
// Tarnby's one window: URL box, log pane, the page pane (Memo1) and the status bar; its
// commands open and concatenate files, run the three reduction passes, save, print and set the
// page pane's font and colours. The last URL is kept in "Tarnby.ini", section "Data", key "URL".
//
// Every dialog goes through platform::gui::dialogs(); the home page opens through
// platform::gui::OpenUrl. Handlers let file errors escape: the application object shows them.
#include "tarnby/PageFetch.h"
#include "tarnby/PageSources.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QAbstractButton;
class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;

namespace platform::gui {
class RichEdit;
}

namespace decor {
class TVexaCaption;
}
namespace httpprot {
class THttpCli;
}

namespace tarnby {

class PaneHistory;
namespace check {
class PaneCheck;
}

// The texts the window shows (also what its tests compare against).
extern const char* const kProductTitle;     // "Tarnby v1.1c": application title, Help caption
extern const char* const kWindowCaption;    // "Tarnby"
extern const char* const kOpenFilter;
extern const char* const kSaveFilter;
extern const char* const kHomePageUrl;
QString HelpText();

class THttpTestForm : public QMainWindow {
    Q_OBJECT
public:
    explicit THttpTestForm(QWidget* parent = nullptr);
    ~THttpTestForm() override;

    // Start-up: shows the window, then loads the command-line files into Memo1 (lower-cased)
    // with a status text before each. Throws base::EFileError naming a file that cannot be
    // read; Memo1 is then left as it was.
    void FormCreate(const std::vector<std::string>& files);

    // GetButton and Process take enabled, AbortButton the opposite.
    void SetButtons(bool enabled);

    // The file name the save dialog proposes: the last fetched document's name.
    QString documentName() const;

    // Command handlers.
    void BatchConcatenate1Click();
    void Save1Click();
    void Print1Click();
    void Exit1Click();
    void MenuProcessClick();
    void MenuRemoveLinksClick();
    void MenuRemoveTagsClick();
    // The HTML parser's links of the pages as last fetched or loaded (their original bytes);
    // of the pane's text when nothing was loaded.
    void MenuHtmlLinksClick();
    // Checks the pane's "URL|text" lines in the background and, when every one has its result,
    // appends it to each ("URL|text|RESULT") as one step that Undo takes back. The status bar
    // shows the progress; the pane is read-only meanwhile; Cancel leaves it as it was.
    void MenuCheckLinksClick();
    void MenuCancelCheckClick();
    bool checkingLinks() const;
    void Reset1Click();
    void MenuGetClick();
    void MenuAbortClick();
    void Help1Click();
    void Image1DblClick();

    // Controls, named as the window's design names them (also their object names).
    decor::TVexaCaption* VexaCaption1;
    QFrame* Panel1;
    QAbstractButton* GetButton;
    QAbstractButton* AbortButton;
    QAbstractButton* Process;
    QAbstractButton* TransparentButton4;
    QAbstractButton* TransparentButton5;
    QFrame* Panel2;
    QLabel* Label1;
    QLineEdit* URLEdit;
    QPushButton* Button1;
    QLabel* Image1;
    QPlainTextEdit* DisplayMemo;
    platform::gui::RichEdit* Memo1;
    platform::gui::RichEdit* Memo2;
    QStatusBar* StatusBar1;
    // The window's HTTP client (owned by the window); the fetch command drives it.
    httpprot::THttpCli* HttpCli1;

    QMenu* File1;
    QMenu* Process1;
    QMenu* Edit1;
    QMenu* View1;
    QMenu* WebSite1;
    QAction* MenuOpen;
    QAction* Save1;
    QAction* Print1;
    QAction* Exit1;
    QAction* MenuProcess;
    QAction* MenuRemoveLinks;
    QAction* MenuRemoveTags;
    QAction* MenuHtmlLinks;
    QAction* MenuCheckLinks;
    QAction* MenuCancelCheck;
    QPushButton* CancelCheckButton; // in the status bar while links are checked
    QAction* Reset1;
    QAction* Undo1;
    QAction* Copy1;
    QAction* Cut1;
    QAction* Paste1;
    QAction* Clear1;
    QAction* SelectAllCtrlA1;
    QAction* Font1;
    QAction* FontColor1;
    QAction* BackgroundColor1;
    QAction* MenuGet;
    QAction* MenuAbort;
    QAction* Help1;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPanel();
    void buildMenus();
    // Writes the status text and paints the bar at once, before any work that follows.
    void setStatus(const QString& text);
    // Runs a loader that reports progress in the status bar; on failure the bar says "Ready"
    // again before the error goes on to the application's error box.
    std::string loadShowingProgress(const std::function<std::string()>& load);
    using Pass = std::string (*)(std::string_view);
    // Memo1's whole text taken once, run through the pass, and set once.
    void runPass(const QString& status, Pass pass);
    // Puts a new whole text into Memo1 as one step that Undo takes back.
    void replacePane(std::string_view text);

    // The pages of the last load or fetch, as they were read.
    std::vector<LoadedPage> loadedPages_;
    PaneHistory* history_; // owned by Memo1
    bool shown_ = false;
    // HttpCli1's settings, event handlers, document file and log (FetchCommand.cpp).
    std::unique_ptr<PageFetch> fetch_;
    void setUpFetch();
    // The link check under way, if any (CheckCommand.cpp).
    std::unique_ptr<check::PaneCheck> paneCheck_;
    void endCheck(const QString& status);
};

} // namespace tarnby
