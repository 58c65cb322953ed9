#include "quellin/HtmlCheckPane.h"

#include "quellin/HtmlCheck.h"
#include "quellin/StaleRuns.h"

#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <array>

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
    const ColourFormats formats = {colourFormat(TagColour::Blue), colourFormat(TagColour::Green),
                                   colourFormat(TagColour::Black)};
    editor.setUpdatesEnabled(false);

    // The raw text counts a line break as one character, as document positions do.
    // Runs already in their colours are left alone.
    const std::vector<ColourRun> runs =
        StaleRuns(*document, HtmlCheckRuns(document->toRawText()), formats);
    QTextCursor cursor(document);
    const auto paint = [&](qsizetype start, qsizetype end, TagColour colour) {
        cursor.setPosition(static_cast<int>(start));
        cursor.setPosition(static_cast<int>(end), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(formats[static_cast<std::size_t>(colour)]);
    };
    cursor.beginEditBlock();
    // Each stretch of touching runs first takes its most frequent colour at once; then only the
    // runs of the other colours are painted. Every format change costs a search in the
    // document's fragments, so the fewer changes the better: tags often touch one another
    // without text between them, and then blue is the most frequent.
    for (auto first = runs.begin(); first != runs.end();) {
        std::array<int, 3> counts{};
        auto last = first;
        ++counts[static_cast<std::size_t>(first->colour)];
        while (last + 1 != runs.end() && (last + 1)->start == last->start + last->length)
            ++counts[static_cast<std::size_t>((++last)->colour)];
        const auto base = static_cast<TagColour>(
            std::max_element(counts.begin(), counts.end()) - counts.begin());
        paint(first->start, last->start + last->length, base);
        for (auto run = first; run != last + 1; ++run)
            if (run->colour != base)
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
