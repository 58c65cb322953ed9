#pragma once
// The macro language's key names: 65 rows in a fixed order, each a name and a Windows
// virtual-key code. Rows 1 to 60 are the virtual-key constants of the same name; rows 61 to 65
// are "ALT" (the code of MENU) and the dotted names that release a modifier. Within rows 1 to 60
// each code occurs once, so a code captured from the keyboard has one name.
#include <cstdint>
#include <span>
#include <string_view>

namespace makro {

struct KeyName {
    std::string_view name;
    std::uint8_t code;
};

// All 65 rows, in order.
std::span<const KeyName> KeyNameTable();

// The row whose name equals token exactly (case-sensitive), or nullptr.
const KeyName* FindKeyName(std::string_view token);

// The row among 1 to 60 with this virtual-key code (key capture), or nullptr.
const KeyName* KeyNameOfCode(int virtualKey);

// "MENU", "SHIFT", "CONTROL" and "ALT" press their key and leave it down.
bool IsModifierName(std::string_view name);
// ".MENU", ".SHIFT", ".CONTROL" and ".ALT" only release theirs.
bool IsReleaseName(std::string_view name);

} // namespace makro
