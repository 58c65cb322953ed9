#include "richprint/TRECode.h"

#include <QScrollBar>
#include <QTextBlock>

namespace richprint {

TSRichEdit::TSRichEdit(QWidget* parent) : RichEdit(parent)
{
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (OnHScroll)
            OnHScroll();
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (OnVScroll)
            OnVScroll();
    });
}

int TSRichEdit::ParagraphCount() const
{
    return document()->blockCount();
}

QString TSRichEdit::ParagraphText(int index) const
{
    return document()->findBlockByNumber(index).text();
}

std::vector<FormatRun> TSRichEdit::ParagraphRuns(int index) const
{
    const QTextBlock block = document()->findBlockByNumber(index);
    const QFont defaultFont = document()->defaultFont();
    const QColor defaultColour = textColour();
    auto runOf = [&](const QTextCharFormat& format, int start, int length) {
        const QColor colour = format.foreground().style() == Qt::NoBrush
                                  ? defaultColour
                                  : format.foreground().color();
        return FormatRun{start, length, format.font().resolve(defaultFont), colour};
    };
    std::vector<FormatRun> runs;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        FormatRun run = runOf(fragment.charFormat(), fragment.position() - block.position(),
                              fragment.length());
        // Fragments split for reasons other than format (edits): join equal neighbours.
        if (!runs.empty() && SameFormat(runs.back(), run))
            runs.back().length += run.length;
        else
            runs.push_back(run);
    }
    if (runs.empty())
        runs.push_back(runOf(block.charFormat(), 0, 0));
    return runs;
}

bool SameFormat(const FormatRun& a, const FormatRun& b)
{
    return a.font.family() == b.font.family() && a.font.pointSizeF() == b.font.pointSizeF()
        && a.font.pixelSize() == b.font.pixelSize() && a.font.bold() == b.font.bold()
        && a.font.italic() == b.font.italic() && a.font.underline() == b.font.underline()
        && a.font.strikeOut() == b.font.strikeOut() && a.colour == b.colour;
}

} // namespace richprint
