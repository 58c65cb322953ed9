#include "tarnby/ReductionPasses.h"

#include "base/StringList.h"
#include "tarnby/PaneText.h"
#include "tarnby/PassSteps.h"

#include <cstring>

namespace tarnby {

namespace steps {

namespace {

// Removes pattern until it no longer occurs, in one left-to-right sweep that keeps the kept
// text as a stack: an occurrence can only appear at the top when its last character arrives.
// This gives the same text as repeated find-first-and-delete because none of the patterns
// overlaps itself (no proper prefix is also a suffix) and each holds its last character once.
void RemoveUntilGone(std::string& s, std::string_view pattern)
{
    const std::size_t first = s.find(pattern);
    if (first == std::string::npos)
        return;
    const char last = pattern.back();
    const std::size_t m = pattern.size();
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
        if (hit && out >= m && std::memcmp(d + out - m, pattern.data(), m) == 0)
            out -= m;
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
        const std::size_t k = text.rfind('<', end - 1);
        if (k == std::string_view::npos)
            break;
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
    return base::SplitLines(collected);
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
    std::vector<std::string> kept;
    for (auto& line : base::SplitLines(text)) {
        // At most ten trailing blanks are ignored; blanks beyond them count as text.
        std::size_t n = line.size();
        for (int i = 0; i < 10 && n > 0 && line[n - 1] == ' '; ++i)
            --n;
        const std::size_t pipe = std::string_view(line).substr(0, n).rfind('|');
        const std::size_t p = pipe == std::string_view::npos ? 0 : pipe + 1;
        if (p + 2 < n)
            kept.push_back(std::move(line));
    }
    return JoinLines(kept);
}

std::string RemoveLinkTags(std::string_view text)
{
    std::vector<std::string> lines = base::SplitLines(text);
    for (auto& line : lines) {
        const std::size_t q = line.find('"');
        if (q != std::string::npos)
            line.erase(0, q + 1);
        const std::size_t r = line.rfind('"');
        if (r != std::string::npos)
            line.erase(r, 2);
    }
    return JoinLines(lines);
}

} // namespace tarnby
