#pragma once
// The macro window ("Macro"): a plain editor for the macro text with commands that insert
// command lines and key tokens, a field that turns one key press into its token, Load, Save,
// New, and Execute, which plays the text (see MacroPlayer).
// Invariants: the text lives as long as the window (closing it keeps it); every insert
// replaces the selection, puts the line break before the command and leaves the caret after
// it; the name last chosen in the Load dialog is the one Save proposes.
#include "makro/DesktopFactory.h"
#include "makro/MacroPlayer.h"
#include "platform/core/TextCodec.h"

#include <QDialog>
#include <string>
#include <vector>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QPushButton;

namespace makro {

class KeyCaptureEdit;
class TWindNameDlg;

class TFormMakro : public QDialog {
    Q_OBJECT
public:
    explicit TFormMakro(DesktopFactory desktop, QWidget* parent = nullptr);

    void setWindowNameDialog(TWindNameDlg* picker) { picker_ = picker; }

    // The macro text as 8-bit lines (an empty last line after a final line break is no line).
    std::vector<std::string> lines() const;
    void setLines(const std::vector<std::string>& lines);

    // File names are the file system's bytes, whatever their encoding. Throws base::EFileError
    // naming the file; the text is unchanged then.
    void LoadMacroFile(const std::string& fileName);
    void SaveMacroFile(const std::string& fileName) const;

    // Plays the text; the run holds the program's thread until it ends. Throws the run's
    // errors (time encoding, no X server) to the caller. onError learns the failed line when
    // ExitOnError ends the run.
    RunEnd Play(const std::function<void(const FailedLine&)>& onError);
    // Play with the "Fehler" box, which names the failed line.
    RunEnd PlayWithErrorBox();
    void BtnExcecuteClick() { PlayWithErrorBox(); }
    void BtnbLoadClick();
    void BthSaveClick();
    void NeuerMakro1Click();
    void Programm1Click();
    void Fenstertitel1Click();
    void Wait1Click();
    void VirtuelleTaste1Click();

    QFrame* PanelBtn;
    QPushButton* BtnExcecute;
    QPushButton* BtnbLoad;
    QPushButton* BthSave;
    QLabel* LabelVKey;
    KeyCaptureEdit* EditVKey;
    QFrame* PanelEdit;
    QPlainTextEdit* MemoEdit;
    QMenu* PopupMenu1;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPanels();
    void buildMenu();
    QAction* addCommand(QMenu* menu, const QString& name, const QString& caption,
                        const QKeySequence& shortcut, void (TFormMakro::*handler)());
    void insertText(const QString& text);
    void insertCommand(const QString& command);
    void insertWindowTitle(const QString& keyword);
    void EditVKeyKeyDown(int virtualKey);

    DesktopFactory desktop_;
    TWindNameDlg* picker_ = nullptr;
    QString lastFileName_;
    platform::core::TextEncoding encoding_ = platform::core::TextEncoding::Utf8;
    std::vector<QAction*> shortcutActions_;
};

} // namespace makro
