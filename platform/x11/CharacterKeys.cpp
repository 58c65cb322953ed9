#include "platform/x11/CharacterKeys.h"

#include "platform/x11/DesktopServices.h"

namespace platform::x11 {

std::optional<int> ControlCharacterKey(char32_t character)
{
    switch (character) {
    case U'\b': return 0x08;
    case U'\t': return 0x09;
    case U'\r': return 0x0D;
    case U'\n': return NeedsControl | 0x0D;
    case 0x1B: return 0x1B;
    default: break;
    }
    if (character >= 1 && character <= 26)
        return NeedsControl | static_cast<int>('A' + character - 1);
    if (character < 32)
        return NoKey;
    return std::nullopt;
}

} // namespace platform::x11
