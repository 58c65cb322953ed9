#pragma once
// The HTML named character references: every name as written after "&" (with its ";" where
// the name has one; the legacy names that may stand without ";" appear both ways), sorted by
// name in byte order, with the characters each stands for in UTF-8.
#include <span>
#include <string_view>

namespace html {

struct NamedReference {
    std::string_view name;
    std::string_view characters;
};

inline constexpr std::size_t kLongestReferenceName = 32;

std::span<const NamedReference> NamedReferences();

} // namespace html
