#pragma once
// The character encodings a web page may declare, under the names and labels browsers accept
// for them. Only names are kept here: decoding is glibc's iconv (see Decode.h).
#include <optional>
#include <string_view>

namespace html {

struct Encoding {
    std::string_view name;  // the standard name ("windows-1252", "Shift_JIS", "UTF-16LE", ...)
    const char* iconvName;  // what iconv_open knows it as; empty for UTF-8 and "replacement"
};

// label: as a page or a server writes it; ASCII white space around it is ignored and case does
// not matter. Nothing for a label no browser knows.
std::optional<Encoding> EncodingForLabel(std::string_view label);

// The encoding a standard name stands for (the names EncodingForLabel gives).
Encoding EncodingNamed(std::string_view name);

bool IsUtf16(const Encoding& encoding);

} // namespace html
