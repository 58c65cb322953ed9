#include "base/Utf8.h"

#include <cstdint>
#include <cstring>

namespace base {

std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at, std::size_t* maximalPrefix)
{
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    const std::uint8_t lead = byte(at);
    if (lead < 0x80)
        return 1;
    std::size_t prefix = 1;
    const auto fail = [&]() -> std::size_t {
        if (maximalPrefix)
            *maximalPrefix = prefix;
        return 0;
    };
    std::size_t length = 0;
    // The range of the second byte, narrowed where a form is forbidden.
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return fail();
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (at + i >= bytes.size() || byte(at + i) < low || byte(at + i) > high)
            return fail();
        low = 0x80;
        high = 0xBF;
        prefix = i + 1;
    }
    return length;
}

bool IsValidUtf8(std::string_view bytes)
{
    for (std::size_t at = 0; at < bytes.size();) {
        // Runs of ASCII, eight bytes at a time.
        while (bytes.size() - at >= 8) {
            std::uint64_t word;
            std::memcpy(&word, bytes.data() + at, 8);
            if (word & 0x8080808080808080ull)
                break;
            at += 8;
        }
        if (at >= bytes.size())
            break;
        const std::size_t length = Utf8SequenceLength(bytes, at);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

} // namespace base
