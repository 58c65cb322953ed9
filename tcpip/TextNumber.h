#pragma once
// Decimal text -> number, as the platform's string conversion takes it: leading blanks, an
// optional sign, decimal digits and nothing after them.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tcpip {

// Empty when the text is no such number or does not fit in 32 bits signed.
std::optional<std::int32_t> ToNumber(std::string_view text);
// The same for 64 bits signed (file sizes).
std::optional<std::int64_t> ToNumber64(std::string_view text);

// A limit in a message: "64 MB" for whole megabytes, else "4096 bytes".
std::string ByteLimitText(std::uint64_t bytes);

} // namespace tcpip
