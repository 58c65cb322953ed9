#include "html/CharacterReferences.h"

#include "base/Text.h"
#include "html/NamedReferences.h"

#include <algorithm>

namespace html {

namespace {

bool IsAsciiAlphanumeric(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Numbers 0x80..0x9F name the characters Windows-1252 gives those bytes, where it has one.
constexpr char32_t kC1Replacements[32] = {
    0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

char32_t NumberedCharacter(char32_t number)
{
    if (number == 0 || number > 0x10FFFF || (number >= 0xD800 && number <= 0xDFFF))
        return 0xFFFD;
    if (number >= 0x80 && number <= 0x9F)
        return kC1Replacements[number - 0x80];
    return number;
}

std::optional<ErrorCode> NumberError(char32_t number)
{
    if (number == 0)
        return ErrorCode::NullCharacterReference;
    if (number > 0x10FFFF)
        return ErrorCode::CharacterReferenceOutsideUnicodeRange;
    if (number >= 0xD800 && number <= 0xDFFF)
        return ErrorCode::SurrogateCharacterReference;
    if ((number >= 0xFDD0 && number <= 0xFDEF) || (number & 0xFFFE) == 0xFFFE)
        return ErrorCode::NoncharacterCharacterReference;
    const bool whitespace = number == 0x09 || number == 0x0A || number == 0x0C || number == 0x20;
    if (number == 0x0D || (number < 0x20 && !whitespace) || (number >= 0x7F && number <= 0x9F))
        return ErrorCode::ControlCharacterReference;
    return std::nullopt;
}

DecodedReference Numeric(std::string_view text)
{
    // text: "&#..."
    std::size_t at = 2;
    const bool hex = at < text.size() && (text[at] == 'x' || text[at] == 'X');
    if (hex)
        ++at;
    const std::size_t digitsStart = at;
    char32_t number = 0;
    for (; at < text.size(); ++at) {
        const int digit = hex ? base::HexDigitValue(text[at]) : (text[at] >= '0' && text[at] <= '9' ? text[at] - '0' : -1);
        if (digit < 0)
            break;
        number = std::min<char32_t>(number * (hex ? 16 : 10) + static_cast<char32_t>(digit), 0x110000);
    }
    if (at == digitsStart) {
        DecodedReference none;
        none.error = ErrorCode::AbsenceOfDigitsInNumericCharacterReference;
        return none;
    }
    DecodedReference result;
    if (at < text.size() && text[at] == ';')
        ++at;
    else
        result.secondError = ErrorCode::MissingSemicolonAfterCharacterReference;
    result.length = at;
    result.error = NumberError(number);
    if (!result.error) {
        result.error = result.secondError;
        result.secondError.reset();
    }
    AppendUtf8(result.numbered, NumberedCharacter(number));
    return result;
}

const NamedReference* FindName(std::string_view name)
{
    const auto table = NamedReferences();
    const auto found = std::lower_bound(table.begin(), table.end(), name,
                                        [](const NamedReference& entry, std::string_view wanted) { return entry.name < wanted; });
    return found != table.end() && found->name == name ? &*found : nullptr;
}

DecodedReference Named(std::string_view text, bool inAttribute)
{
    std::size_t run = 1;
    while (run < text.size() && run <= kLongestReferenceName && IsAsciiAlphanumeric(text[run]))
        ++run;
    // The longest name that the text starts with; only the whole run may be followed by ";".
    const NamedReference* match = nullptr;
    std::size_t end = 0;
    if (run < text.size() && text[run] == ';' && (match = FindName(text.substr(1, run))) != nullptr)
        end = run + 1;
    for (std::size_t length = run - 1; match == nullptr && length > 0; --length)
        if ((match = FindName(text.substr(1, length))) != nullptr)
            end = length + 1;
    if (match == nullptr) {
        DecodedReference none;
        if (run < text.size() && text[run] == ';')
            none.error = ErrorCode::UnknownNamedCharacterReference;
        return none;
    }
    if (inAttribute && text[end - 1] != ';' && end < text.size() && (text[end] == '=' || IsAsciiAlphanumeric(text[end])))
        return {};
    DecodedReference result;
    result.length = end;
    result.named = match->characters;
    if (text[end - 1] != ';')
        result.error = ErrorCode::MissingSemicolonAfterCharacterReference;
    return result;
}

} // namespace

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

DecodedReference DecodeReference(std::string_view text, bool inAttribute)
{
    if (text.size() < 2)
        return {};
    if (text[1] == '#')
        return Numeric(text);
    if (IsAsciiAlphanumeric(text[1]))
        return Named(text, inAttribute);
    return {};
}

} // namespace html
