#pragma once
// Link addresses as a page writes them, made absolute by the rules of RFC 3986 (section 5):
// a reference with a scheme stands as it is; any other is merged with the base's path and
// its "." and ".." segments removed. Nothing is re-encoded or case-folded: the result keeps
// the bytes the page wrote.
#include <string>
#include <string_view>

namespace tarnby {

// An attribute value as a URL parser reads it: leading and trailing C0 controls and blanks
// dropped, and every TAB, LF and CR inside removed.
std::string CleanUrlText(std::string_view value);

// True when reference starts with a scheme: a letter, then letters, digits, "+", "-" or "."
// up to a ":".
bool HasScheme(std::string_view reference);

// reference resolved against base, an absolute URL (one with a scheme). A base without a
// scheme leaves reference as it is.
std::string ResolveReference(std::string_view base, std::string_view reference);

} // namespace tarnby
