#pragma once
// The option names a program's --help text and its man page list, to compare the two.
// An option name is "-x" or "--name[-more]" standing on its own: not inside a word
// ("start-up", "FILE-OR-URL") and not a bare "-" or "--".
#include <set>
#include <string>

namespace packaging {

using OptionSet = std::set<std::string>;

// Every option name anywhere in the text.
OptionSet OptionsInText(const std::string& text);

// The options a man page (roff source) defines: the tags of the ".TP" paragraphs of its
// OPTIONS section, with roff's escaped hyphens and font changes undone. Options merely mentioned
// in the paragraphs' bodies, in the synopsis or in other sections do not count.
OptionSet OptionsInManPage(const std::string& roff);

// The names of the man page's sections (".SH NAME", ".SH \"EXIT STATUS\""), quotes removed.
std::set<std::string> ManPageSections(const std::string& roff);

} // namespace packaging
