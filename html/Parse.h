#pragma once
// An HTML page parsed into its document tree, by the HTML standard's tokenization and tree
// construction (without running scripts).
#include "html/Document.h"
#include "html/TreeBuilder.h"

#include <memory>
#include <string_view>

namespace html {

// utf8: the page as UTF-8; it must outlive the document. errors: when given, filled with the
// page's parse errors in the order of their offsets (at most Document::kMostErrors).
std::unique_ptr<Document> Parse(std::string_view utf8, Templates templates = Templates::Standard,
                                std::vector<ParseError>* errors = nullptr);

} // namespace html
