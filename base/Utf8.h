#pragma once
// Well-formed UTF-8 as the Unicode standard defines it: no overlong forms, no surrogates,
// nothing past U+10FFFF, no sequence cut short.
#include <cstddef>
#include <string_view>

namespace base {

// The length of the well-formed sequence at bytes[at] (1 to 4), or 0 when none starts there.
// With 0, maximalPrefix (when given) is the length of the longest start of a well-formed
// sequence found there, at least 1: the bytes that one U+FFFD replaces.
std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at, std::size_t* maximalPrefix = nullptr);

bool IsValidUtf8(std::string_view bytes);

} // namespace base
