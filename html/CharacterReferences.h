#pragma once
// Character references ("&amp;", "&#233;", "&#xE9;", legacy "&copy" without ";").
#include "html/ParseErrors.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace html {

struct DecodedReference {
    std::size_t length = 0; // bytes of the reference, 0 if text[0] ('&') stays as it is
    std::string_view named; // the characters of a named reference (in the table)
    std::string numbered;   // or of a numbered one, short enough to need no allocation
    std::optional<ErrorCode> error;
    std::optional<ErrorCode> secondError; // a number both out of bounds and without ";"

    std::string_view characters() const { return numbered.empty() ? named : std::string_view(numbered); }
};

// text starts at "&". In an attribute value a legacy name without ";" followed by "=" or a
// letter or digit is left as written ("?a=1&copy=2" is an address, not a copyright sign).
DecodedReference DecodeReference(std::string_view text, bool inAttribute);

void AppendUtf8(std::string& out, char32_t c);

} // namespace html
