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
    const QString text = document->toRawText();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (const ColourRun& run : HtmlCheckRuns(text)) {
        cursor.setPosition(static_cast<int>(run.start));
        cursor.setPosition(static_cast<int>(run.start + run.length), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(formats[static_cast<int>(run.colour)]);
    }
    cursor.endEditBlock();

    editor.setSelection(caret, 0);
    editor.horizontalScrollBar()->setValue(horizontal);
    editor.verticalScrollBar()->setValue(vertical);
    document->setModified(wasModified);
    editor.setUpdatesEnabled(true);
}

} // namespace quellin
