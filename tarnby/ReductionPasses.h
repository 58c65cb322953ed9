#pragma once
// The three reduction passes that turn a page's source into "URL|text" lines.
// Each pass takes a pane's whole text (lines separated by CR LF; an empty last line after a
// final line break is not a line) and returns the pane's new whole text.
#include <string>
#include <string_view>

namespace tarnby {

// Pass 1: harvest links, remove the other tags and the inline formatting, insert the "|".
std::string ProcessLinks(std::string_view text);
// Pass 2: drop links without text.
std::string RemoveEmptyLinks(std::string_view text);
// Pass 3: cut each anchor tag down to its URL.
std::string RemoveLinkTags(std::string_view text);

} // namespace tarnby
