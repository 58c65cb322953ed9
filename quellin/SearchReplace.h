#pragma once
// Find and Replace in the editor through the modeless dialogs of the dialog seam.
//
// Every search runs forward from the selection start and never wraps. It steps one character
// past the start while a match (any selection) is selected, so Find Next moves on to the next
// occurrence; with nothing selected it looks at the caret's own position too, so a search from
// the start of the text finds a match at its first character and a Replace finds a match right
// after the previous replacement. Positions are string positions of the pane (CR LF counts two).
#include "platform/gui/Dialogs.h"
#include "platform/gui/RichEdit.h"

namespace quellin {

class SearchReplace {
public:
    explicit SearchReplace(platform::gui::RichEdit& editor) : editor_(editor) {}

    // Show the find or replace dialog; when it opened, the caret goes to the start of the text.
    void showFind();
    void showReplace();

    // Find Next: selects the next match and focuses the editor; when there is none the
    // selection stays collapsed to its start. Returns whether a match was found.
    bool findNext(const platform::gui::FindReplaceQuery& query);
    // Replace: the next match replaced by the replace text. Replace All: every match from the
    // search start to the end of the text, as one undo step. The caret ends after the last
    // replacement. Returns the number of replacements.
    int replace(const platform::gui::FindReplaceQuery& query);

private:
    void show(bool replaceDialog);
    // Collapses the selection to its start and returns where the search begins.
    int searchStart();
    int replaceAll(const platform::gui::FindReplaceQuery& query, int from);

    platform::gui::RichEdit& editor_;
};

} // namespace quellin
