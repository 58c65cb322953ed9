#include "tarnby/PaneText.h"

namespace tarnby {

std::vector<std::string> SplitPaneLines(std::string_view text)
{
    std::vector<std::string> lines;
    ForEachLine(text, [&lines](const char* begin, const char* end) { lines.emplace_back(begin, end); });
    return lines;
}

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
