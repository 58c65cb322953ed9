#pragma once
// Names for data-driven test cases: GoogleTest allows only letters, digits and "_".
#include <cctype>
#include <string>

inline std::string PrintableTestName(const std::string& text)
{
    std::string name;
    for (char c : text)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name.empty() ? "empty" : name;
}
