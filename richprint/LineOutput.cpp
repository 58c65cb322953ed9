// TRichPrinter: the plain and the formatted line output.
#include "richprint/richprint.h"

#include "richprint/LineText.h"
#include "richprint/TRECode.h"

#include <QFontMetricsF>
#include <QPainter>

namespace richprint {

// Per-paragraph state of the formatted output: the expanded text, the run index of each of its
// characters, and the runs' device fonts and metrics.
struct TRichPrinter::RichParagraph {
    QString text;
    std::vector<int> runOf;
    std::vector<QFont> fonts;
    std::vector<QColor> colours;
    std::vector<QFontMetricsF> metrics;
    // Widths of whole stretches by their first character (-1: not measured yet): fitting and
    // drawing a line ask for the same stretches again, and shaping text is the costly part.
    mutable std::vector<qreal> stretchWidths;

    // Width of characters [i, j), all of one run.
    qreal PieceWidth(int i, int j) const
    {
        const bool whole = (i == 0 || runOf[i - 1] != runOf[i])
                           && (j == int(text.size()) || runOf[j] != runOf[j - 1]);
        if (whole && stretchWidths[i] >= 0)
            return stretchWidths[i];
        const qreal width = metrics[runOf[i]].horizontalAdvance(QStringView(text).mid(i, j - i).toString());
        if (whole)
            stretchWidths[i] = width;
        return width;
    }

    // Width of characters [start, start + length), each stretch in its own font.
    int Width(int start, int length) const
    {
        qreal width = 0;
        int i = start;
        const int end = start + length;
        while (i < end) {
            int j = i + 1;
            while (j < end && runOf[j] == runOf[i])
                ++j;
            width += PieceWidth(i, j);
            i = j;
        }
        return qRound(width);
    }
};

void TRichPrinter::PlainLoop(TSRichEdit& edit)
{
    const FormatRun first = edit.ParagraphRuns(0).front();
    bodyFont_ = DocumentDeviceFont(first.font);
    SetSurfaceFont(bodyFont_, first.colour);
    RecomputeLineHeight();
    const int lines = edit.lineCount();
    for (int i = 0; i < lines; ++i)
        WriteLine(edit.lineText(i));
}

void TRichPrinter::WriteLine(const QString& line)
{
    const QString text = line.contains(QLatin1Char('\t')) ? ExpandTabs(line, tabSize_) : line;
    const QFontMetricsF& metrics = *fontMetricsF_;
    auto measureFrom = [&](int start) {
        return [&, start](int length) {
            return qRound(metrics.horizontalAdvance(QStringView(text).mid(start, length).toString()));
        };
    };
    const int width = Area().width;
    if (measureFrom(0)(int(text.size())) <= width) {
        WritePlainPart(text);
    } else if (wordWrap_) {
        for (const WrapPart& part : WrapLine(text, width, measureFrom))
            WritePlainPart(text.mid(part.start, part.length));
    } else {
        WritePlainPart(text.left(FitText(int(text.size()), width, measureFrom(0))));
    }
}

void TRichPrinter::WritePlainPart(const QString& text)
{
    x_ = 0;
    if (y_ + lineHeight_ >= Area().height)
        NewPage();
    DrawText(Area().left + x_, Area().top + y_, text);
    NewLine();
}

const TRichPrinter::DeviceFontEntry& TRichPrinter::CachedDeviceFont(const QFont& font)
{
    auto it = deviceFonts_.find(font);
    if (it == deviceFonts_.end()) {
        const QFont device = DocumentDeviceFont(font);
        it = deviceFonts_.insert(font, {device, QFontMetricsF(device, painter_->device())});
    }
    return *it;
}

void TRichPrinter::RichLoop(TSRichEdit& edit)
{
    // Per job: the device and its resolution may differ from the last job's.
    deviceFonts_.clear();
    const int paragraphs = edit.lineCount();
    for (int i = 0; i < paragraphs; ++i)
        WriteRichParagraph(edit.ParagraphText(i), edit.ParagraphRuns(i));
}

void TRichPrinter::WriteRichParagraph(const QString& line, const std::vector<FormatRun>& runs)
{
    RichParagraph p;
    std::vector<int> source;
    p.text = ExpandTabs(line, tabSize_, &source);
    for (const FormatRun& run : runs) {
        const DeviceFontEntry& entry = CachedDeviceFont(run.font);
        p.fonts.push_back(entry.font);
        p.colours.push_back(run.colour);
        p.metrics.push_back(entry.metrics);
    }
    p.runOf.resize(p.text.size());
    p.stretchWidths.assign(p.text.size(), -1);
    std::size_t run = 0;
    for (qsizetype i = 0; i < p.text.size(); ++i) {
        while (run + 1 < runs.size() && source[i] >= runs[run].start + runs[run].length)
            ++run;
        p.runOf[i] = int(run);
    }
    auto measureFrom = [&](int start) {
        return [&, start](int length) { return p.Width(start, length); };
    };
    const int length = int(p.text.size());
    const int width = Area().width;
    if (p.Width(0, length) <= width || length == 0) {
        WriteRichLine(p, 0, length);
    } else if (wordWrap_) {
        for (const WrapPart& part : WrapLine(p.text, width, measureFrom))
            WriteRichLine(p, part.start, part.length);
    } else {
        WriteRichLine(p, 0, FitText(length, width, measureFrom(0)));
    }
}

void TRichPrinter::WriteRichLine(const RichParagraph& p, int start, int length)
{
    x_ = 0;
    if (y_ + lineHeight_ >= Area().height)
        NewPage();
    const TextArea area = Area();
    const int end = start + length;
    const int firstRun = length > 0 ? p.runOf[start] : 0;
    bool uniform = true;
    for (int i = start; i < end && uniform; ++i)
        uniform = p.runOf[i] == firstRun;
    if (uniform) {
        SetSurfaceFont(p.fonts[firstRun], p.colours[firstRun]);
        RecomputeLineHeight();
        QString text = p.text.mid(start, length);
        while (!text.isEmpty() && text.back().unicode() < 33)
            text.chop(1);
        DrawText(area.left + x_, area.top + y_, text);
        NewLine();
        return;
    }
    // The line takes the first of its largest fonts; all stretches share its baseline.
    int lineRun = firstRun;
    for (int i = start; i < end; ++i) {
        if (p.fonts[p.runOf[i]].pixelSize() > p.fonts[lineRun].pixelSize())
            lineRun = p.runOf[i];
    }
    SetSurfaceFont(p.fonts[lineRun], p.colours[lineRun]);
    RecomputeLineHeight();
    const int baseline = area.top + y_ + lineAscent_;
    qreal x = x_;
    int fontRun = -1;
    for (int i = start; i < end;) {
        const int r = p.runOf[i];
        const int first = i;
        QString stretch;
        for (; i < end && p.runOf[i] == r; ++i) {
            if (p.text[i].unicode() >= 32)
                stretch.append(p.text[i]);
        }
        const bool complete = stretch.size() == i - first;
        // Neighbours often differ in colour only; changing the font costs more than the pen.
        if (fontRun < 0 || p.fonts[r] != p.fonts[fontRun]) {
            painter_->setFont(p.fonts[r]);
            fontRun = r;
        }
        painter_->setPen(p.colours[r]);
        painter_->drawText(QPointF(area.left + x, baseline), stretch);
        x += complete ? p.PieceWidth(first, i) : p.metrics[r].horizontalAdvance(stretch);
    }
    x_ = qRound(x);
    SetSurfaceFont(font_, colour_);
    NewLine();
}

} // namespace richprint
