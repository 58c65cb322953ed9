#include "tarnby/PaneText.h"

#include <cstring>

namespace tarnby {

namespace {

// Calls line(begin, end) for every line of text; a final line break ends the last line.
template <typename LineFn>
void ForEachLine(std::string_view text, LineFn&& line)
{
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        const char* q = p;
        while (q < end && *q != '\r' && *q != '\n')
            ++q;
        line(p, q);
        if (q < end && *q == '\r' && q + 1 < end && q[1] == '\n')
            ++q;
        p = q + 1;
    }
}

} // namespace

std::string NormalizeLineBreaks(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 64);
    const bool endsWithBreak = !text.empty() && (text.back() == '\r' || text.back() == '\n');
    ForEachLine(text, [&out](const char* begin, const char* end) {
        out.append(begin, end);
        out += "\r\n";
    });
    if (!endsWithBreak && !out.empty())
        out.resize(out.size() - 2);
    return out;
}

void AppendLines(std::string& pane, std::string_view bytes)
{
    ForEachLine(bytes, [&pane](const char* begin, const char* end) {
        pane.append(begin, end);
        pane += "\r\n";
    });
}

std::string JoinLines(const std::vector<std::string>& lines)
{
    std::size_t size = 0;
    for (const auto& line : lines)
        size += line.size() + 2;
    std::string out;
    out.reserve(size);
    for (const auto& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

void LowerCaseInPlace(std::string& text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
}

} // namespace tarnby
