#pragma once
// The main pane's text as the passes and the loaders see it: one 8-bit string whose lines are
// separated by CR LF. A pane text is written with every line followed by CR LF, so an empty
// last line survives a round trip and a text without lines is the empty string.
#include <string>
#include <string_view>
#include <vector>

namespace tarnby {

// Every line break (CR LF, lone CR, lone LF) becomes CR LF; nothing else changes, so a text
// that ends without a line break still does.
std::string NormalizeLineBreaks(std::string_view text);

// Appends each line of bytes (split at CR LF, CR or LF) to pane, followed by CR LF.
void AppendLines(std::string& pane, std::string_view bytes);

// The pane text of these lines: each followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// ASCII-only lower-casing in place (the loaders lower-case whole texts of many megabytes).
void LowerCaseInPlace(std::string& text);

} // namespace tarnby
