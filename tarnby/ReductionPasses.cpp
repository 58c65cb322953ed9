#include "tarnby/ReductionPasses.h"

#include "tarnby/PaneText.h"
#include "tarnby/PassSteps.h"

#include <algorithm>
#include <cstring>

namespace tarnby {

namespace steps {

namespace {

// Whether the m bytes before d + out are pattern; compared from the back, where most
// candidates differ already.
bool EndsWith(const char* d, std::size_t out, std::string_view pattern)
{
    if (out < pattern.size())
        return false;
    for (std::size_t i = 1; i <= pattern.size(); ++i)
        if (d[out - i] != pattern[pattern.size() - i])
            return false;
    return true;
}

// Removes pattern until it no longer occurs, in one left-to-right sweep that keeps the kept
// text as a stack: an occurrence can only appear at the top when its last character arrives.
// This gives the same text as repeated find-first-and-delete because none of the patterns
// overlaps itself (no proper prefix is also a suffix) and each holds its last character only
// at its end.
void RemoveUntilGone(std::string& s, std::string_view pattern)
{
    const std::size_t first = s.find(pattern);
    if (first == std::string::npos)
        return;
    const char last = pattern.back();
    const std::size_t n = s.size();
    char* const d = s.data();
    std::size_t out = first;
    std::size_t in = first;
    while (in < n) {
        const void* hit = std::memchr(d + in, last, n - in);
        const std::size_t end = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - d) + 1 : n;
        std::memmove(d + out, d + in, end - in);
        out += end - in;
        in = end;
        if (hit && EndsWith(d, out, pattern))
            out -= pattern.size();
    }
    s.resize(out);
}

} // namespace

void RemoveInlineFormatting(std::string& text)
{
    for (std::string_view tag : {"<b>", "</b>", "<i>", "</i>", "</font>"})
        RemoveUntilGone(text, tag);
}

std::vector<std::string> HarvestLinks(std::string_view text)
{
    // Every chunk runs from one "<" to the next, so it holds a single "<", at its start: the
    // chunk is a link exactly when it starts with "<a h".
    std::string collected;
    std::string_view pending;
    std::size_t end = text.size();
    while (end > 0) {
        const void* hit = memrchr(text.data(), '<', end);
        if (hit == nullptr)
            break;
        const auto k = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
        const std::string_view chunk = text.substr(k, end - k);
        end = k;
        if (!chunk.starts_with("<a h")) {
            const std::size_t close = chunk.find('>');
            const std::string_view rest = chunk.substr(close == std::string_view::npos ? 1 : close + 1);
            if (!rest.empty())
                pending = rest;
        } else if (chunk.find('#') == std::string_view::npos
                   && chunk.find("onmouse") == std::string_view::npos) {
            collected += chunk;
            collected += pending;
            collected += "\r\n";
            pending = {};
        }
    }
    return SplitPaneLines(collected);
}

} // namespace steps

std::string ProcessLinks(std::string_view text)
{
    std::string page = NormalizeLineBreaks(text);
    steps::RemoveInlineFormatting(page);
    return JoinLines(steps::TidyLinkLines(steps::HarvestLinks(page)));
}

std::string RemoveEmptyLinks(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    ForEachLine(text, [&out](const char* begin, const char* end) {
        const std::string_view line(begin, static_cast<std::size_t>(end - begin));
        // At most ten trailing blanks are ignored; blanks beyond them count as text.
        std::size_t n = line.size();
        for (int i = 0; i < 10 && n > 0 && line[n - 1] == ' '; ++i)
            --n;
        const std::size_t pipe = line.substr(0, n).rfind('|');
        const std::size_t p = pipe == std::string_view::npos ? 0 : pipe + 1;
        if (p + 2 < n)
            out.append(line).append("\r\n");
    });
    return out;
}

std::string RemoveLinkTags(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    ForEachLine(text, [&out](const char* begin, const char* end) {
        std::string_view line(begin, static_cast<std::size_t>(end - begin));
        const std::size_t q = line.find('"');
        if (q != std::string_view::npos)
            line.remove_prefix(q + 1);
        const std::size_t r = line.rfind('"');
        if (r == std::string_view::npos)
            out.append(line);
        else
            out.append(line.substr(0, r)).append(line.substr(std::min(r + 2, line.size())));
        out.append("\r\n");
    });
    return out;
}

} // namespace tarnby
