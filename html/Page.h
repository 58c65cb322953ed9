#pragma once
// A page parsed from its bytes as they came from a file or a server: its encoding found (see
// EncodingSniffing.h), its text decoded to UTF-8, its tree built. When the encoding was only a
// guess and the first <meta> in the tree declares another, the page is decoded and parsed
// again in the declared one, as browsers do.
#include "html/Document.h"
#include "html/EncodingLabels.h"
#include "html/TreeBuilder.h"

#include <memory>
#include <string>
#include <string_view>

namespace html {

struct ParsedPage {
    Encoding encoding;
    std::string decoded; // the text the document refers to, unless it is the bytes themselves
    std::unique_ptr<Document> document;
};

// bytes: must outlive the result (valid UTF-8 is parsed in place). contentType: the HTTP
// Content-Type header's value, or empty.
std::unique_ptr<ParsedPage> ParsePage(std::string_view bytes, std::string_view contentType,
                                      Templates templates = Templates::Standard);

} // namespace html
