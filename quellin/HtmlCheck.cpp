#include "quellin/HtmlCheck.h"

namespace quellin {

namespace {

// The next position at or after from of one character, remembered so that repeated queries
// with growing starting points scan each character at most once.
class ForwardFinder {
public:
    ForwardFinder(QStringView text, QChar what) : text_(text), what_(what) {}

    // -1 when there is none.
    qsizetype next(qsizetype from)
    {
        if (found_ != kUnknown && (found_ == -1 || found_ >= from))
            return found_;
        found_ = text_.indexOf(what_, from);
        return found_;
    }

private:
    static constexpr qsizetype kUnknown = -2;
    QStringView text_;
    QChar what_;
    qsizetype found_ = kUnknown;
};

void addRun(std::vector<ColourRun>& runs, qsizetype first, qsizetype last, TagColour colour)
{
    if (last < first)
        return;
    if (!runs.empty() && runs.back().colour == colour
        && runs.back().start + runs.back().length == first) {
        runs.back().length += last - first + 1;
        return;
    }
    runs.push_back({first, last - first + 1, colour});
}

} // namespace

std::vector<ColourRun> HtmlCheckRuns(QStringView text)
{
    std::vector<ColourRun> runs;
    ForwardFinder openings(text, QLatin1Char('<'));
    ForwardFinder closings(text, QLatin1Char('>'));
    ForwardFinder blanks(text, QLatin1Char(' '));
    qsizetype p = 0;
    for (;;) {
        const qsizetype b = openings.next(p);
        if (b < 0)
            break;
        const qsizetype g = closings.next(b);
        if (g < 0)
            break;
        const qsizetype s = blanks.next(b);
        if (s >= 0 && s < g) {
            addRun(runs, b, s, TagColour::Blue);
            addRun(runs, s + 1, g, TagColour::Green);
        } else {
            addRun(runs, b, g, TagColour::Blue);
        }
        const qsizetype n = openings.next(b + 1);
        addRun(runs, g + 1, n < 0 ? text.size() - 1 : n - 1, TagColour::Black);
        p = g + 1;
    }
    return runs;
}

} // namespace quellin
