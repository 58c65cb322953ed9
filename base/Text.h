#pragma once
// 8-bit text operations with 1-based positions, as the algorithms are written.
// A position of 0 means "absent". Strings may hold any byte, NUL included.
#include <cstddef>
#include <string>
#include <string_view>

namespace base {

// The value of a hexadecimal digit of either case, or -1 for any other character.
constexpr int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Position of the first occurrence of sub in s; 0 when absent or when sub is empty.
std::size_t Pos(std::string_view sub, std::string_view s);

// Position of the last character of s that is one of delimiters; 0 when none is.
std::size_t LastDelimiter(std::string_view delimiters, std::string_view s);

// Removes count characters from position index. Does nothing when index < 1, index > length
// or count <= 0; a count that runs past the end is cut at the end.
void Delete(std::string& s, long long index, long long count);

// Inserts sub before position index. index <= 1 inserts at the front; an index past the end
// (one past the end and beyond) appends.
void Insert(std::string_view sub, std::string& s, long long index);

// count characters from position index (clamped to the string), as a new string.
std::string Copy(std::string_view s, long long index, long long count);

// Drops leading characters whose code is 32 or less (blanks and control characters).
std::string TrimLeft(std::string_view s);

// ASCII-only case mapping: bytes outside A-Z / a-z are left as they are.
std::string LowerCase(std::string_view s);
std::string UpperCase(std::string_view s);

// Removes every occurrence of what from s, left to right, without re-scanning what was kept.
void RemoveAll(std::string& s, std::string_view what);

} // namespace base
