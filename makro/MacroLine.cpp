#include "makro/MacroLine.h"

#include "base/Text.h"
#include "base/Utf8.h"

#include <cstdint>

namespace makro {

namespace {

struct Keyword {
    LineKind kind;
    std::string_view text;
};

// In the order the dispatch tests them; the comment test comes between Start and Sleep.
constexpr Keyword keywordsBeforeComment[] = {
    {LineKind::Window, "WINDOW: "}, {LineKind::Wait, "WAIT: "}, {LineKind::Start, "START: "}};
constexpr Keyword keywordsAfterComment[] = {
    {LineKind::Sleep, "SLEEP: "}, {LineKind::Repeat, "REPEAT: "}, {LineKind::ExitOnError, "EXITONERROR"}};

std::size_t KeywordLength(LineKind kind)
{
    for (const auto* list : {&keywordsBeforeComment, &keywordsAfterComment}) {
        for (const Keyword& keyword : *list) {
            if (keyword.kind == kind)
                return keyword.text.size();
        }
    }
    return 0;
}

} // namespace

std::string CutLine(std::string_view line)
{
    // A line is typed as UTF-8 when its bytes are valid UTF-8, else one character per byte:
    // count characters in the encoding it will be typed in. Only the kept part is scanned, so
    // an endless line costs no more than a short one.
    std::size_t at = 0;
    for (std::size_t kept = 0; kept < maxLineLength && at < line.size(); ++kept) {
        const std::size_t length = base::Utf8SequenceLength(line, at);
        if (length == 0)
            return std::string(line.substr(0, maxLineLength));
        at += length;
    }
    return std::string(line.substr(0, at));
}

LineKind ClassifyLine(std::string_view line)
{
    const std::string upper = base::UpperCase(line);
    const std::string_view copy = upper;
    for (const Keyword& keyword : keywordsBeforeComment) {
        if (copy.starts_with(keyword.text))
            return keyword.kind;
    }
    if (copy.starts_with(';'))
        return LineKind::Comment;
    for (const Keyword& keyword : keywordsAfterComment) {
        if (copy.starts_with(keyword.text))
            return keyword.kind;
    }
    return LineKind::Keys;
}

std::string TextAfterKeyword(std::string_view line, LineKind kind)
{
    return std::string(line.substr(std::min(KeywordLength(kind), line.size())));
}

NumberAndRest SplitNumberAndRest(std::string_view line, LineKind kind)
{
    const std::string_view arguments = line.substr(std::min(KeywordLength(kind), line.size()));
    const std::size_t comma = arguments.find(',');
    if (comma == std::string_view::npos)
        return {ToIntegerOrZero(arguments), {}};
    return {ToIntegerOrZero(arguments.substr(0, comma)), std::string(arguments.substr(comma + 1))};
}

int ToIntegerOrZero(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && text[at] == ' ')
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        negative = text[at++] == '-';
    int base = 10;
    if (at < text.size() && text[at] == '$') {
        base = 16;
        ++at;
    }
    if (at == text.size())
        return 0;
    std::int64_t value = 0;
    for (; at < text.size(); ++at) {
        const int digit = base::HexDigitValue(text[at]);
        if (digit < 0 || digit >= base)
            return 0;
        value = value * base + digit;
        if (value > std::int64_t{INT32_MAX} + 1)
            return 0;
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX || value < INT32_MIN)
        return 0;
    return static_cast<int>(value);
}

} // namespace makro
