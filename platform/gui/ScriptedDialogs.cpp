#include "platform/gui/ScriptedDialogs.h"

namespace platform::gui {

void ScriptedDialogs::answerMessage(MessageButton button)
{
    Answer a;
    a.kind = Kind::Message;
    a.button = button;
    answers_.push_back(std::move(a));
}

void ScriptedDialogs::answerOpen(QStringList files, int filterIndex)
{
    Answer a;
    a.kind = Kind::OpenFiles;
    a.open = {std::move(files), filterIndex};
    answers_.push_back(std::move(a));
}

void ScriptedDialogs::answerSave(QString file, int filterIndex)
{
    Answer a;
    a.kind = Kind::SaveFile;
    a.save = {std::move(file), filterIndex};
    answers_.push_back(std::move(a));
}

void ScriptedDialogs::answerFont(std::optional<QFont> font)
{
    Answer a;
    a.kind = Kind::Font;
    a.font = std::move(font);
    answers_.push_back(std::move(a));
}

void ScriptedDialogs::answerColour(std::optional<QColor> colour)
{
    Answer a;
    a.kind = Kind::Colour;
    a.colour = colour;
    answers_.push_back(std::move(a));
}

void ScriptedDialogs::answerPrinter(bool accept, std::function<void(QPrinter&)> setup)
{
    Answer a;
    a.kind = Kind::Printer;
    a.accept = accept;
    a.setup = std::move(setup);
    answers_.push_back(std::move(a));
}

void ScriptedDialogs::answerInput(std::optional<QString> text)
{
    Answer a;
    a.kind = Kind::Input;
    a.text = std::move(text);
    answers_.push_back(std::move(a));
}

void ScriptedDialogs::answerPassword(std::optional<PasswordResult> result)
{
    Answer a;
    a.kind = Kind::Password;
    a.password = std::move(result);
    answers_.push_back(std::move(a));
}

void ScriptedDialogs::answerFindReplace(bool opens)
{
    Answer a;
    a.kind = Kind::FindReplace;
    a.accept = opens;
    answers_.push_back(std::move(a));
}

bool ScriptedDialogs::press(const FindReplaceQuery& query)
{
    if (!findReplaceHandler_)
        return false;
    // A copy: the handler may show the dialog again and so replace itself.
    const FindReplaceHandler handler = findReplaceHandler_;
    handler(query);
    return true;
}

std::optional<ScriptedDialogs::Answer> ScriptedDialogs::take(Question question)
{
    const Kind kind = question.kind;
    asked_.push_back(std::move(question));
    if (answers_.empty() || answers_.front().kind != kind) {
        ++unanswered_;
        return std::nullopt;
    }
    Answer a = std::move(answers_.front());
    answers_.pop_front();
    return a;
}

MessageButton ScriptedDialogs::message(const MessageRequest& request)
{
    Question q;
    q.kind = Kind::Message;
    q.message = request;
    if (const auto a = take(std::move(q)))
        return a->button;
    if (request.buttons & Cancel)
        return Cancel;
    return (request.buttons & No) ? No : Ok;
}

OpenFileResult ScriptedDialogs::openFiles(const OpenFileRequest& request)
{
    Question q;
    q.kind = Kind::OpenFiles;
    q.open = request;
    if (const auto a = take(std::move(q)))
        return a->open;
    return {};
}

SaveFileResult ScriptedDialogs::saveFile(const SaveFileRequest& request)
{
    Question q;
    q.kind = Kind::SaveFile;
    q.save = request;
    if (const auto a = take(std::move(q)))
        return a->save;
    return {};
}

std::optional<QFont> ScriptedDialogs::chooseFont(const QFont& initial)
{
    Question q;
    q.kind = Kind::Font;
    q.font = initial;
    if (const auto a = take(std::move(q)))
        return a->font;
    return std::nullopt;
}

std::optional<QColor> ScriptedDialogs::chooseColor(const QColor& initial)
{
    Question q;
    q.kind = Kind::Colour;
    q.colour = initial;
    if (const auto a = take(std::move(q)))
        return a->colour;
    return std::nullopt;
}

bool ScriptedDialogs::setupPrinter(QPrinter& printer)
{
    Question q;
    q.kind = Kind::Printer;
    const auto a = take(std::move(q));
    if (!a || !a->accept)
        return false;
    if (a->setup)
        a->setup(printer);
    return true;
}

void ScriptedDialogs::answerPageSetup(bool accept, std::function<void(PageSetupResult&)> edit)
{
    Answer a;
    a.kind = Kind::PageSetup;
    a.accept = accept;
    a.editPageSetup = std::move(edit);
    answers_.push_back(std::move(a));
}

PageSetupResult ScriptedDialogs::pageSetup(const PageSetupRequest& request, QPrinter*)
{
    Question q;
    q.kind = Kind::PageSetup;
    q.pageSetup = request;
    const auto a = take(std::move(q));
    PageSetupResult result{false, request.marginLeft, request.marginTop, request.marginRight,
                           request.marginBottom, request.portrait};
    if (!a || !a->accept)
        return result;
    result.accepted = true;
    if (a->editPageSetup)
        a->editPageSetup(result);
    return result;
}

std::optional<QString> ScriptedDialogs::input(const InputRequest& request)
{
    Question q;
    q.kind = Kind::Input;
    q.input = request;
    if (const auto a = take(std::move(q)))
        return a->text;
    return std::nullopt;
}

std::optional<PasswordResult> ScriptedDialogs::password(const PasswordRequest& request)
{
    Question q;
    q.kind = Kind::Password;
    q.password = request;
    const auto a = take(std::move(q));
    if (!a || !a->password)
        return std::nullopt;
    PasswordResult result = *a->password;
    result.remember = result.remember && request.offerRemember;
    return result;
}

bool ScriptedDialogs::showFindReplace(const FindReplaceRequest& request,
                                      FindReplaceHandler onAction)
{
    Question q;
    q.kind = Kind::FindReplace;
    q.findReplace = request;
    const auto a = take(std::move(q));
    if (!a || !a->accept)
        return false;
    findReplaceHandler_ = std::move(onAction);
    return true;
}

} // namespace platform::gui
