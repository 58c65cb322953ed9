#include "richprint/LineText.h"

#include <algorithm>

namespace richprint {

namespace {

bool IsBreak(QChar c)
{
    return c.unicode() < 33;
}

} // namespace

QString ExpandTabs(const QString& text, unsigned tabSize, std::vector<int>* sourceIndex)
{
    const qsizetype step = std::max<qsizetype>(1, tabSize);
    QString out;
    out.reserve(text.size());
    if (sourceIndex) {
        sourceIndex->clear();
        sourceIndex->reserve(text.size());
    }
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype count = text[i] == QLatin1Char('\t') ? step - out.size() % step : 1;
        if (text[i] == QLatin1Char('\t'))
            out.append(QString(count, QLatin1Char(' ')));
        else
            out.append(text[i]);
        if (sourceIndex)
            sourceIndex->insert(sourceIndex->end(), count, int(i));
    }
    return out;
}

int FitText(int length, int width, const MeasurePrefix& measure)
{
    if (length <= 0 || measure(length) <= width)
        return length;
    int low = 1;
    int high = length;
    int mid = 0;
    for (;;) {
        const int previous = mid;
        mid = (low + high) / 2;
        const int w = measure(mid);
        if (w > width)
            high = mid;
        else if (w < width)
            low = mid;
        else
            low = high;
        if (mid == previous || low >= high)
            break;
    }
    return std::max(mid, 1);
}

std::vector<WrapPart> WrapLine(const QString& text, int width,
                               const std::function<MeasurePrefix(int start)>& measureFrom)
{
    std::vector<WrapPart> parts;
    int start = 0;
    const int total = int(text.size());
    while (start < total) {
        const int rest = total - start;
        WrapPart part{start, FitText(rest, width, measureFrom(start)), 0};
        if (part.length < rest) {
            if (IsBreak(text[start + part.length])) {
                part.skipped = 1;
            } else {
                for (int i = part.length - 1; i >= 0; --i) {
                    if (IsBreak(text[start + i])) {
                        part.length = i + 1;
                        break;
                    }
                }
            }
        }
        parts.push_back(part);
        start += part.length + part.skipped;
    }
    return parts;
}

} // namespace richprint
