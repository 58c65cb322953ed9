#pragma once
// What every layout agrees on when a character is turned into a key: control characters are
// typed with their named key (tab, return, backspace, escape) or as Ctrl and a letter, as
// VkKeyScanA reports them.
#include <optional>

namespace platform::x11 {

// The keyScan() result for a control character (below 32), or nothing for any other character.
std::optional<int> ControlCharacterKey(char32_t character);

} // namespace platform::x11
