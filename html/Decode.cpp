#include "html/Decode.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>

namespace html {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The length of the well-formed UTF-8 sequence at bytes[at] (no overlong forms, no
// surrogates, nothing past U+10FFFF); when none starts there, 0, and invalid is set to the
// bytes that make one U+FFFD: the longest start of a well-formed sequence, at least one byte.
std::size_t SequenceLength(std::string_view bytes, std::size_t at, std::size_t& invalid)
{
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
    const std::uint8_t lead = byte(at);
    if (lead < 0x80)
        return 1;
    invalid = 1;
    std::size_t length = 0;
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
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (at + i >= bytes.size() || byte(at + i) < low || byte(at + i) > high)
            return 0;
        low = 0x80;
        high = 0xBF;
        invalid = i + 1;
    }
    return length;
}

std::string RepairUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t invalid = 0;
        const std::size_t length = SequenceLength(bytes, at, invalid);
        if (length == 0) {
            out += kReplacement;
            at += invalid;
        } else {
            out.append(bytes.substr(at, length));
            at += length;
        }
    }
    return out;
}

std::string Iconv(std::string_view bytes, const Encoding& encoding)
{
    const iconv_t converter = iconv_open("UTF-8", encoding.iconvName);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return RepairUtf8(bytes);
    // A unit that does not decode is skipped whole: two bytes in UTF-16, one byte elsewhere.
    const std::size_t unit = IsUtf16(encoding) ? 2 : 1;
    std::string out;
    out.resize(bytes.size() * 2 + 16);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    std::size_t written = 0;
    while (inLeft > 0) {
        char* to = out.data() + written;
        std::size_t outLeft = out.size() - written;
        const std::size_t result = iconv(converter, &in, &inLeft, &to, &outLeft);
        written = out.size() - outLeft;
        if (result != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ, or EINVAL for a sequence cut off at the end.
        if (out.size() - written < kReplacement.size())
            out.resize(out.size() * 2);
        out.replace(written, kReplacement.size(), kReplacement);
        written += kReplacement.size();
        const std::size_t skip = std::min(unit, inLeft);
        in += skip;
        inLeft -= skip;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    // Flush what a stateful encoding (ISO-2022-JP) still holds.
    for (;;) {
        char* to = out.data() + written;
        std::size_t outLeft = out.size() - written;
        const std::size_t result = iconv(converter, nullptr, nullptr, &to, &outLeft);
        written = out.size() - outLeft;
        if (result != static_cast<std::size_t>(-1) || errno != E2BIG)
            break;
        out.resize(out.size() * 2);
    }
    iconv_close(converter);
    out.resize(written);
    return out;
}

} // namespace

bool IsValidUtf8(std::string_view bytes)
{
    for (std::size_t at = 0; at < bytes.size();) {
        // Runs of ASCII, eight bytes at a time.
        while (bytes.size() - at >= 8) {
            std::uint64_t word;
            __builtin_memcpy(&word, bytes.data() + at, 8);
            if (word & 0x8080808080808080ull)
                break;
            at += 8;
        }
        if (at >= bytes.size())
            break;
        std::size_t invalid = 0;
        const std::size_t length = SequenceLength(bytes, at, invalid);
        if (length == 0)
            return false;
        at += length;
    }
    return true;
}

std::string DecodeToUtf8(std::string_view bytes, const Encoding& encoding)
{
    if (encoding.name == "replacement")
        return bytes.empty() ? std::string() : std::string(kReplacement);
    if (encoding.name == "UTF-8")
        return IsValidUtf8(bytes) ? std::string(bytes) : RepairUtf8(bytes);
    return Iconv(bytes, encoding);
}

} // namespace html
