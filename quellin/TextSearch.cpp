#include "quellin/TextSearch.h"

namespace quellin {

namespace {

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

bool isWholeWord(QStringView text, qsizetype start, qsizetype length)
{
    const qsizetype end = start + length;
    return (start == 0 || !isWordCharacter(text[start - 1]))
        && (end == text.size() || !isWordCharacter(text[end]));
}

} // namespace

qsizetype FindForward(QStringView text, QStringView what, qsizetype from, SearchOptions options)
{
    if (what.isEmpty() || from < 0)
        return -1;
    const Qt::CaseSensitivity cs = options.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (qsizetype at = text.indexOf(what, from, cs); at >= 0;
         at = text.indexOf(what, at + 1, cs)) {
        if (!options.wholeWord || isWholeWord(text, at, what.size()))
            return at;
    }
    return -1;
}

std::vector<qsizetype> FindAllForward(QStringView text, QStringView what, qsizetype from,
                                      SearchOptions options)
{
    std::vector<qsizetype> matches;
    for (qsizetype at = FindForward(text, what, from, options); at >= 0;
         at = FindForward(text, what, at + what.size(), options))
        matches.push_back(at);
    return matches;
}

} // namespace quellin
