#pragma once
// A page's bytes as UTF-8, from the encoding it is in. Nothing is ever dropped silently: what
// does not decode becomes U+FFFD, one for each stray byte (in UTF-16, each stray unit); in
// UTF-8 one for each cut-off start of a sequence, as browsers count them.
#include "html/EncodingLabels.h"

#include <string>
#include <string_view>

namespace html {

// bytes decoded from encoding; UTF-8 by our own check, every other encoding by glibc's iconv.
// "replacement" gives one U+FFFD for a page that is not empty.
std::string DecodeToUtf8(std::string_view bytes, const Encoding& encoding);

} // namespace html
