#pragma once
// The editor control of Quellin: the platform's rich-edit pane with two scroll notifications
// and the caret's line and column for the main window's status line.
#include "platform/gui/RichEdit.h"

#include <QColor>
#include <QFont>
#include <functional>
#include <vector>

namespace richprint {

// A stretch of a paragraph in one character format: characters [start, start + length) of the
// paragraph's text, drawn in font and colour.
struct FormatRun {
    int start = 0;
    int length = 0;
    QFont font;
    QColor colour;
};

// Whether two runs look the same: face, size, bold, italic, underline, strike-out and colour.
bool SameFormat(const FormatRun& a, const FormatRun& b);

class TSRichEdit : public platform::gui::RichEdit {
    Q_OBJECT
public:
    explicit TSRichEdit(QWidget* parent = nullptr);

    // Raised after the pane has scrolled horizontally or vertically, by the user or by code.
    std::function<void()> OnHScroll;
    std::function<void()> OnVScroll;

    // 0-based line holding the selection start, and the selection start's offset in that line.
    int CaretLine() const { return caretLine(); }
    int CaretColumn() const { return caretColumn(); }

    // Paragraphs (the lines between hard breaks) with their formats, read from the document's
    // own format runs in one pass: neither the selection nor the view changes. Runs cover the
    // text without gaps or overlaps; an empty paragraph has one empty run in its typing format.
    int ParagraphCount() const;
    QString ParagraphText(int index) const;
    std::vector<FormatRun> ParagraphRuns(int index) const;
};

} // namespace richprint
