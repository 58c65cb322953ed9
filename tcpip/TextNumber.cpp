#include "tcpip/TextNumber.h"

#include <climits>
#include <cstdint>

namespace tcpip {

std::optional<std::int64_t> ToNumber64(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return std::nullopt;
    // Accumulated negatively: the most negative value has no positive counterpart.
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        const int digit = text[i] - '0';
        if (value < (INT64_MIN + digit) / 10)
            return std::nullopt;
        value = value * 10 - digit;
    }
    if (!negative) {
        if (value == INT64_MIN)
            return std::nullopt;
        value = -value;
    }
    return value;
}

std::optional<std::int32_t> ToNumber(std::string_view text)
{
    const auto value = ToNumber64(text);
    if (!value || *value > INT_MAX || *value < INT_MIN)
        return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

std::string ByteLimitText(std::uint64_t bytes)
{
    constexpr std::uint64_t megabyte = 1 << 20;
    if (bytes >= megabyte && bytes % megabyte == 0)
        return std::to_string(bytes / megabyte) + " MB";
    return std::to_string(bytes) + " bytes";
}

} // namespace tcpip
