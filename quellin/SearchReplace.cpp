#include "quellin/SearchReplace.h"

#include "platform/gui/RichEditPositions.h"
#include "quellin/TextSearch.h"

#include <QTextCursor>

namespace quellin {

using platform::gui::FindAction;
using platform::gui::FindReplaceQuery;

namespace {

SearchOptions optionsOf(const FindReplaceQuery& query)
{
    return {query.matchCase, query.wholeWord};
}

} // namespace

void SearchReplace::showFind()
{
    show(false);
}

void SearchReplace::showReplace()
{
    show(true);
}

void SearchReplace::show(bool replaceDialog)
{
    platform::gui::FindReplaceRequest request;
    request.replace = replaceDialog;
    const bool opened = platform::gui::dialogs().showFindReplace(
        request, [this, replaceDialog](const FindReplaceQuery& query) {
            if (!replaceDialog)
                findNext(query);
            else if (query.action != FindAction::FindNext) // the replace dialog's Find Next does nothing
                replace(query);
        });
    if (opened)
        editor_.setSelection(0, 0);
}

int SearchReplace::searchStart()
{
    const int start = editor_.selStart();
    const bool matchSelected = editor_.selLength() > 0;
    editor_.setSelection(start, 0);
    return matchSelected ? start + 1 : start;
}

bool SearchReplace::findNext(const FindReplaceQuery& query)
{
    const int from = searchStart();
    const qsizetype at = FindForward(editor_.wholeText(), query.findText, from, optionsOf(query));
    if (at < 0)
        return false;
    editor_.setFocus();
    editor_.setSelection(static_cast<int>(at), static_cast<int>(query.findText.size()));
    return true;
}

int SearchReplace::replace(const FindReplaceQuery& query)
{
    const int from = searchStart();
    if (query.action == FindAction::ReplaceAll)
        return replaceAll(query, from);
    const qsizetype at = FindForward(editor_.wholeText(), query.findText, from, optionsOf(query));
    if (at < 0)
        return 0;
    editor_.setFocus();
    editor_.setSelection(static_cast<int>(at), static_cast<int>(query.findText.size()));
    editor_.replaceSelection(query.replaceText);
    return 1;
}

int SearchReplace::replaceAll(const FindReplaceQuery& query, int from)
{
    const std::vector<qsizetype> matches =
        FindAllForward(editor_.wholeText(), query.findText, from, optionsOf(query));
    if (matches.empty())
        return 0;
    editor_.setFocus();
    // Last match first: the string positions of the earlier ones stay valid.
    QTextDocument& document = *editor_.document();
    const int length = static_cast<int>(query.findText.size());
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (auto it = matches.rbegin(); it != matches.rend(); ++it) {
        const int start = static_cast<int>(*it);
        cursor.setPosition(platform::gui::StringToDocumentPosition(document, start));
        cursor.setPosition(platform::gui::StringToDocumentPosition(document, start + length),
                           QTextCursor::KeepAnchor);
        cursor.insertText(query.replaceText);
    }
    cursor.endEditBlock();
    const int count = static_cast<int>(matches.size());
    const int growth = static_cast<int>(query.replaceText.size()) - length;
    const int lastEnd = static_cast<int>(matches.back()) + (count - 1) * growth
        + static_cast<int>(query.replaceText.size());
    editor_.setSelection(lastEnd, 0);
    return count;
}

} // namespace quellin
