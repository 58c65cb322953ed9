// Fuzz target: the HTML check's runs must colour every character as the plain walk does, with
// each search started afresh (the runs reuse earlier searches to stay linear).
#include "quellin/HtmlCheck.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

namespace {

// '.' untouched, else the colour's number; later colourings overwrite earlier ones.
QByteArray PlainWalk(const QString& text)
{
    QByteArray colours(text.size(), '.');
    const auto paint = [&](qsizetype first, qsizetype last, quellin::TagColour colour) {
        for (qsizetype i = first; i <= last; ++i)
            colours[i] = static_cast<char>('0' + static_cast<int>(colour));
    };
    qsizetype p = 0;
    for (;;) {
        const qsizetype b = text.indexOf(QLatin1Char('<'), p);
        if (b < 0)
            break;
        const qsizetype g = text.indexOf(QLatin1Char('>'), b);
        if (g < 0)
            break;
        const qsizetype s = text.indexOf(QLatin1Char(' '), b);
        if (s >= 0 && s < g) {
            paint(b, s, quellin::TagColour::Blue);
            paint(s + 1, g, quellin::TagColour::Green);
        } else {
            paint(b, g, quellin::TagColour::Blue);
        }
        const qsizetype n = text.indexOf(QLatin1Char('<'), b + 1);
        paint(g + 1, n < 0 ? text.size() - 1 : n - 1, quellin::TagColour::Black);
        p = g + 1;
    }
    return colours;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QByteArray colours(text.size(), '.');
    qsizetype end = 0;
    for (const quellin::ColourRun& run : quellin::HtmlCheckRuns(text)) {
        if (run.length <= 0 || run.start < end || run.start + run.length > text.size())
            std::abort();
        end = run.start + run.length;
        colours.replace(run.start, run.length, QByteArray(run.length, static_cast<char>('0' + static_cast<int>(run.colour))));
    }
    if (colours != PlainWalk(text))
        std::abort();
    return 0;
}
