#pragma once
// Dialogs for tests: every question is recorded, and answered from a script of answers given
// in advance, in order. A question whose turn finds no answer of its own kind is answered as
// cancelled (Cancel, No or Ok for a message box, in that order of preference) and counted in
// unanswered(), so a test that forgot an answer fails instead of hanging on a real dialog.
#include "platform/gui/Dialogs.h"

#include <deque>
#include <functional>

namespace platform::gui {

class ScriptedDialogs : public Dialogs {
public:
    enum class Kind { Message, OpenFiles, SaveFile, Font, Colour, Printer, Input, Password, FindReplace, PageSetup };

    struct Question {
        Kind kind = Kind::Message;
        MessageRequest message;   // Kind::Message
        OpenFileRequest open;     // Kind::OpenFiles
        SaveFileRequest save;     // Kind::SaveFile
        InputRequest input;       // Kind::Input
        PasswordRequest password; // Kind::Password
        FindReplaceRequest findReplace; // Kind::FindReplace
        QFont font;               // Kind::Font: the initial font
        QColor colour;            // Kind::Colour: the initial colour
        PageSetupRequest pageSetup; // Kind::PageSetup
    };

    void answerMessage(MessageButton button);
    // An empty list cancels.
    void answerOpen(QStringList files, int filterIndex = 0);
    // An empty name cancels.
    void answerSave(QString file, int filterIndex = 0);
    void answerFont(std::optional<QFont> font);
    void answerColour(std::optional<QColor> colour);
    // setup runs on the printer when accepted (to send the output to a PDF file, say).
    void answerPrinter(bool accept, std::function<void(QPrinter&)> setup = {});
    void answerInput(std::optional<QString> text);
    // nullopt cancels; remember is ignored when the question offered no box.
    void answerPassword(std::optional<PasswordResult> result);
    // Whether the next find or replace dialog opens.
    void answerFindReplace(bool opens);
    // A button press in the open find or replace dialog (the last one that opened); false when
    // none is open.
    bool press(const FindReplaceQuery& query);
    // edit changes the request's values as the user would; a cancelled answer keeps them.
    void answerPageSetup(bool accept, std::function<void(PageSetupResult&)> edit = {});

    const std::vector<Question>& asked() const { return asked_; }
    const Question& last() const { return asked_.back(); }
    int unanswered() const { return unanswered_; }
    // Answers given but not yet asked for.
    std::size_t pending() const { return answers_.size(); }

    MessageButton message(const MessageRequest& request) override;
    OpenFileResult openFiles(const OpenFileRequest& request) override;
    SaveFileResult saveFile(const SaveFileRequest& request) override;
    std::optional<QFont> chooseFont(const QFont& initial) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    bool setupPrinter(QPrinter& printer) override;
    std::optional<QString> input(const InputRequest& request) override;
    std::optional<PasswordResult> password(const PasswordRequest& request) override;
    bool showFindReplace(const FindReplaceRequest& request, FindReplaceHandler onAction) override;
    PageSetupResult pageSetup(const PageSetupRequest& request, QPrinter* printer) override;

private:
    struct Answer {
        Kind kind = Kind::Message;
        MessageButton button = NoButton;
        OpenFileResult open;
        SaveFileResult save;
        std::optional<QFont> font;
        std::optional<QColor> colour;
        bool accept = false;
        std::function<void(QPrinter&)> setup;
        std::optional<QString> text;
        std::optional<PasswordResult> password;
        std::function<void(PageSetupResult&)> editPageSetup;
    };

    // Records the question and takes the next answer when it is of the same kind.
    std::optional<Answer> take(Question question);

    std::vector<Question> asked_;
    std::deque<Answer> answers_;
    int unanswered_ = 0;
    FindReplaceHandler findReplaceHandler_;
};

} // namespace platform::gui
