#pragma once
// The reduction passes written line for line as their algorithm reads, with the 1-based text
// operations and a line list whose count is re-read after every deletion. Slow (quadratic on
// big pages) and plain: the reference that the fast passes must match byte for byte.
#include <string>
#include <string_view>
#include <vector>

namespace literal {

std::string RemoveInlineFormatting(std::string text);
std::vector<std::string> HarvestLinks(std::string text);
std::vector<std::string> TidyLinkLines(std::vector<std::string> lines);

std::string ProcessLinks(std::string_view text);
std::string RemoveEmptyLinks(std::string_view text);
std::string RemoveLinkTags(std::string_view text);

} // namespace literal
