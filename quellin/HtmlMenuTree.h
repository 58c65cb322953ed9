#pragma once
// The HTML snippet menu PMHTML as data. Every item that is neither a separator nor a submenu
// inserts the snippet section named by its caption, except the items marked Inert, which do
// nothing when chosen. Captions are the menu captions exactly: "&&" shows as one ampersand and
// also names its section with both characters.
#include <QString>
#include <vector>

namespace quellin {

struct HtmlMenuItem {
    enum class Kind { Snippet, Inert, Separator, Submenu };

    Kind kind = Kind::Snippet;
    QString caption;
    std::vector<HtmlMenuItem> children; // Submenu only
};

// The top level of PMHTML: "Header", "Body", "Other", "Script".
const std::vector<HtmlMenuItem>& HtmlMenuTree();

} // namespace quellin
