#pragma once
// Which encoding a page's bytes are in, found as browsers find it: a byte-order mark, else the
// charset of the HTTP Content-Type, else a <meta> declaration among the first 1024 bytes, else
// UTF-8. Only the first two are certain; a page whose encoding was a guess is parsed again
// when the <meta> the tree builder meets declares another (see Page.h).
#include "html/EncodingLabels.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace html {

struct SniffedEncoding {
    Encoding encoding;
    std::size_t byteOrderMark = 0; // its length at the start of the page, to be skipped
    bool certain = false;
};

// contentType: the HTTP Content-Type header's value, or empty.
SniffedEncoding SniffEncoding(std::string_view bytes, std::string_view contentType);

// The charset a Content-Type value such as "text/html; charset=koi8-r" names, read as a
// <meta http-equiv=content-type content=...> is read.
std::optional<Encoding> EncodingFromContentType(std::string_view content);

// The <meta> declaration among the first 1024 bytes, by the standard's prescan. UTF-16
// declared in the page itself means UTF-8 (a page that is really UTF-16 has its mark).
std::optional<Encoding> PrescanForEncoding(std::string_view bytes);

} // namespace html
