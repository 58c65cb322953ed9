#include "html/Decode.h"

#include "base/Utf8.h"

#include <cerrno>
#include <cstdint>
#include <iconv.h>

namespace html {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

std::string RepairUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t invalid = 0;
        const std::size_t length = base::Utf8SequenceLength(bytes, at, &invalid);
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

std::string DecodeToUtf8(std::string_view bytes, const Encoding& encoding)
{
    if (encoding.name == "replacement")
        return bytes.empty() ? std::string() : std::string(kReplacement);
    if (encoding.name == "UTF-8")
        return base::IsValidUtf8(bytes) ? std::string(bytes) : RepairUtf8(bytes);
    return Iconv(bytes, encoding);
}

} // namespace html
