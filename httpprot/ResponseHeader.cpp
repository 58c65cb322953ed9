#include "httpprot/ResponseHeader.h"

#include "base/Text.h"

#include <cstring>
#include <limits>

namespace httpprot {

char* ReceiveBuffer::writePointer()
{
    if (start_ > 0) {
        std::memmove(data_.data(), data_.data() + start_, count_);
        start_ = 0;
    }
    return data_.data() + count_;
}

void ReceiveBuffer::commit(std::size_t n)
{
    count_ += n;
    data_[start_ + count_] = '\0';
}

std::size_t ReceiveBuffer::append(std::string_view bytes)
{
    const std::size_t n = std::min(bytes.size(), freeCount());
    std::memcpy(writePointer(), bytes.data(), n);
    commit(n);
    return n;
}

bool ReceiveBuffer::takeLine(std::string& line)
{
    const char* begin = data_.data() + start_;
    const void* lf = std::memchr(begin, '\n', count_);
    if (lf == nullptr)
        return false;
    const std::size_t length = static_cast<const char*>(lf) - begin;
    const std::size_t textLength = length > 0 && begin[length - 1] == '\r' ? length - 1 : length;
    line.assign(begin, textLength);
    start_ += length + 1;
    count_ -= length + 1;
    if (count_ == 0)
        start_ = 0;
    return true;
}

void ReceiveBuffer::clear()
{
    start_ = 0;
    count_ = 0;
    data_[0] = '\0';
}

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::optional<std::int64_t> ParseDecimal(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        const int digit = c - '0';
        if (value > (std::numeric_limits<std::int64_t>::max() - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

} // namespace

HeaderLine ReadHeaderLine(std::string_view line)
{
    HeaderLine result;
    const std::string_view start = line.substr(0, 8);
    if (start == "HTTP/1.0" || start == "HTTP/1.1") {
        const std::string code = base::Copy(line, 10, 3);
        const auto number = ParseDecimal(code);
        if (!number) {
            result.kind = HeaderLine::Kind::Malformed;
            result.error = "status code is not a number: \"" + code + "\"";
            return result;
        }
        result.kind = HeaderLine::Kind::Status;
        result.statusCode = static_cast<int>(*number);
        result.reasonPhrase = base::Copy(line, 14, static_cast<long long>(line.size()));
        return result;
    }
    const std::size_t colon = base::Pos(":", line);
    if (colon == 0)
        return result;
    result.kind = HeaderLine::Kind::Field;
    result.name = base::LowerCase(line.substr(0, colon - 1));
    result.value = base::Copy(line, static_cast<long long>(colon) + 2, static_cast<long long>(line.size()));
    return result;
}

std::optional<std::int64_t> ParseContentLength(std::string_view value)
{
    return ParseDecimal(value);
}

} // namespace httpprot
