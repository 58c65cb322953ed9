#pragma once
// An HTML page parsed into its document tree, by the HTML standard's tokenization and tree
// construction (without running scripts).
#include "tarnby/html/Document.h"
#include "tarnby/html/TreeBuilder.h"

#include <memory>
#include <string_view>

namespace tarnby::html {

// utf8: the page as UTF-8; it must outlive the document.
std::unique_ptr<Document> Parse(std::string_view utf8, Templates templates = Templates::Standard);

} // namespace tarnby::html
