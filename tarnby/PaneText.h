#pragma once
// The main pane's text as the passes and the loaders see it: one 8-bit string whose lines are
// separated by CR LF. A pane text is written with every line followed by CR LF, so an empty
// last line survives a round trip and a text without lines is the empty string.
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tarnby {

// Calls line(begin, end) for every line of text, split at CR LF, CR or LF; a final line break
// ends the last line instead of starting an empty one. Fast on pages of many megabytes.
template <typename LineFn>
void ForEachLine(std::string_view text, LineFn&& line)
{
    const char* p = text.data();
    const char* const end = p + text.size();
    const char* lf = nullptr;  // the next LF at or after p, once looked for
    bool lfKnown = false;
    while (p < end) {
        if (!lfKnown || (lf != nullptr && lf < p)) {
            lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
            lfKnown = true;
        }
        const char* const stop = lf ? lf : end;
        const char* const cr = static_cast<const char*>(std::memchr(p, '\r', static_cast<std::size_t>(stop - p)));
        if (cr == nullptr) {
            line(p, stop);
            p = stop + 1;
        } else {
            line(p, cr);
            p = (cr + 1 < end && cr[1] == '\n') ? cr + 2 : cr + 1;
        }
    }
}

// The lines of text, split as ForEachLine splits them.
std::vector<std::string> SplitPaneLines(std::string_view text);

// Every line break (CR LF, lone CR, lone LF) becomes CR LF; nothing else changes, so a text
// that ends without a line break still does.
std::string NormalizeLineBreaks(std::string_view text);

// Appends each line of bytes (split at CR LF, CR or LF) to pane, followed by CR LF.
void AppendLines(std::string& pane, std::string_view bytes);
// The same; into an empty pane the bytes are turned into the pane text where they lie, so a
// page of many megabytes is never held twice (spare capacity of bytes is used first).
void AppendLines(std::string& pane, std::string&& bytes);

// The pane text of these lines: each followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// ASCII-only lower-casing in place (the loaders lower-case whole texts of many megabytes).
void LowerCaseInPlace(std::string& text);

// What the batch mode prints of a page that no pass reduces, made where the bytes lie in one
// pass: every line break (CR LF, lone CR, lone LF) becomes LF, a last line without one gets
// one, and A-Z become a-z. The same bytes as the lower-cased pane text of AppendLines with
// each CR LF turned into LF.
void LowerCaseLinesWithLineFeeds(std::string& text);

} // namespace tarnby
