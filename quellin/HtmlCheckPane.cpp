#include "quellin/HtmlCheckPane.h"

#include "quellin/HtmlCheck.h"

#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>

namespace quellin {

namespace {

QTextCharFormat colourFormat(TagColour colour)
{
    QTextCharFormat format;
    switch (colour) {
    case TagColour::Blue: format.setForeground(QColor(0, 0, 255)); break;
    case TagColour::Green: format.setForeground(QColor(0, 128, 0)); break;
    case TagColour::Black: format.setForeground(QColor(0, 0, 0)); break;
    }
    return format;
}

} // namespace

void ColourHtmlTags(platform::gui::RichEdit& editor)
{
    QTextDocument* document = editor.document();
    const int caret = editor.selStart();
    const bool wasModified = document->isModified();
    const int horizontal = editor.horizontalScrollBar()->value();
    const int vertical = editor.verticalScrollBar()->value();
    const QTextCharFormat formats[] = {colourFormat(TagColour::Blue),
                                       colourFormat(TagColour::Green),
                                       colourFormat(TagColour::Black)};
    editor.setUpdatesEnabled(false);

    // The raw text counts a line break as one character, as document positions do.
    const std::vector<ColourRun> runs = HtmlCheckRuns(document->toRawText());
    QTextCursor cursor(document);
    const auto paint = [&](qsizetype start, qsizetype end, TagColour colour) {
        cursor.setPosition(static_cast<int>(start));
        cursor.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(formats[static_cast<int>(colour)]);
    };
    cursor.beginEditBlock();
    // Each stretch of touching runs turns black at once and then gets its tags coloured: a
    // third fewer format changes, each of which costs a search in the document's fragments.
    for (auto first = runs.begin(); first != runs.end();) {
        auto last = first;
        while (last + 1 != runs.end() && (last + 1)->start == last->start + last->length)
            ++last;
        paint(first->start, last->start + last->length, TagColour::Black);
        for (auto run = first; run != last + 1; ++run)
            if (run->colour != TagColour::Black)
                paint(run->start, run->start + run->length, run->colour);
        first = last + 1;
    }
    cursor.endEditBlock();

    editor.setSelection(caret, 0);
    editor.horizontalScrollBar()->setValue(horizontal);
    editor.verticalScrollBar()->setValue(vertical);
    document->setModified(wasModified);
    editor.setUpdatesEnabled(true);
}

} // namespace quellin
