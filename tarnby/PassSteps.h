#pragma once
// The steps of pass 1, one function each, so that each can be checked on its own.
// All searches are case-sensitive; text is 8-bit and may hold any byte.
#include <string>
#include <string_view>
#include <vector>

namespace tarnby::steps {

// Step A: removes "<b>", then "</b>", "<i>", "</i>" and "</font>" until none of them occurs,
// so an occurrence that a removal brings together goes too. Line breaks are kept.
void RemoveInlineFormatting(std::string& text);

// Step B: walks text (lines separated by CR LF) from its end, keeping each link chunk with the
// text that followed it up to the next tag, and returns the collected lines (last link first).
// Links with "#" or "onmouse" anywhere in their chunk are dropped.
std::vector<std::string> HarvestLinks(std::string_view text);

// Step C: joins continuation lines to their link line, drops lines without a ">" or a double
// quote, cuts "target" attributes and puts "|" after each line's last ">". Every line gets its
// two visits; a first line has no line before it to join or to step back to (see
// docs/tarnby-passes.md). Runs in time linear in the size of the lines.
std::vector<std::string> TidyLinkLines(std::vector<std::string> lines);

} // namespace tarnby::steps
