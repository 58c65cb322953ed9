#pragma once
// The problems of an HTML page for the HTML check's list and for "quellin --check": the
// parser's errors (see html/ParseErrors.h), and, for a page that lives in a local folder, the
// href and src values that name a relative file which is not there. Headless.
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quellin {

struct HtmlProblem {
    std::uint32_t line = 1;   // from 1
    std::uint32_t column = 1; // from 1, in characters
    std::string message;      // UTF-8

    friend bool operator==(const HtmlProblem&, const HtmlProblem&) = default;
};

// utf8: the page's text (any line ends); localFolder: the folder the page was read from, or
// empty when it has none (a remote or a new text). In the order of their positions.
std::vector<HtmlProblem> FindHtmlProblems(std::string_view utf8, const QString& localFolder);

} // namespace quellin
