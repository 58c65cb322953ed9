#include "html/EncodingSniffing.h"

#include <string>

namespace html {

namespace {

// The prescan looks no further than this: a comment or tag left open there ends it.
constexpr std::size_t kPrescanBytes = 1024;

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool StartsWithNoCase(std::string_view text, std::size_t at, std::string_view prefix)
{
    if (at > text.size() || text.size() - at < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[at + i]) != prefix[i])
            return false;
    return true;
}

struct PrescanAttribute {
    std::string name;
    std::string value;
};

// The standard's "get an attribute" over bytes[at..]: false when there is none (a ">" or the
// end); at is left after it. Both strings are bounded by the prescan window.
bool GetAttribute(std::string_view bytes, std::size_t& at, PrescanAttribute& attribute)
{
    attribute.name.clear();
    attribute.value.clear();
    while (at < bytes.size() && (IsSpace(bytes[at]) || bytes[at] == '/'))
        ++at;
    if (at >= bytes.size() || bytes[at] == '>')
        return false;
    for (;; ++at) {
        if (at >= bytes.size())
            return false;
        const char c = bytes[at];
        if (c == '=' && !attribute.name.empty()) {
            ++at;
            break;
        }
        if (IsSpace(c)) {
            while (at < bytes.size() && IsSpace(bytes[at]))
                ++at;
            if (at >= bytes.size() || bytes[at] != '=')
                return true;
            ++at;
            break;
        }
        if (c == '/' || c == '>')
            return true;
        attribute.name += Lower(c);
    }
    while (at < bytes.size() && IsSpace(bytes[at]))
        ++at;
    if (at >= bytes.size())
        return false;
    if (bytes[at] == '"' || bytes[at] == '\'') {
        const char quote = bytes[at++];
        const std::size_t end = bytes.find(quote, at);
        if (end == std::string_view::npos)
            return false;
        for (; at < end; ++at)
            attribute.value += Lower(bytes[at]);
        ++at;
        return true;
    }
    if (bytes[at] == '>')
        return true;
    for (; at < bytes.size() && !IsSpace(bytes[at]) && bytes[at] != '>'; ++at)
        attribute.value += Lower(bytes[at]);
    return at < bytes.size();
}

std::optional<Encoding> MetaEncoding(std::string_view bytes, std::size_t& at)
{
    bool gotPragma = false;
    bool needPragma = false;
    bool decided = false;
    bool seenHttpEquiv = false;
    bool seenContent = false;
    bool seenCharset = false;
    std::optional<Encoding> charset;
    PrescanAttribute attribute;
    while (GetAttribute(bytes, at, attribute)) {
        if (attribute.name == "http-equiv" && !seenHttpEquiv) {
            seenHttpEquiv = true;
            gotPragma = attribute.value == "content-type";
        } else if (attribute.name == "content" && !seenContent) {
            seenContent = true;
            if (!decided) {
                if (const auto found = EncodingFromContentType(attribute.value)) {
                    charset = found;
                    needPragma = true;
                    decided = true;
                }
            }
        } else if (attribute.name == "charset" && !seenCharset) {
            seenCharset = true;
            charset = EncodingForLabel(attribute.value);
            needPragma = false;
            decided = true;
        }
    }
    if (!charset || (needPragma && !gotPragma))
        return std::nullopt;
    if (IsUtf16(*charset))
        return EncodingNamed("UTF-8");
    return charset;
}

} // namespace

std::optional<Encoding> EncodingFromContentType(std::string_view content)
{
    std::size_t at = 0;
    for (;;) {
        std::size_t found = std::string::npos;
        for (std::size_t i = at; i + 7 <= content.size(); ++i)
            if (StartsWithNoCase(content, i, "charset")) {
                found = i;
                break;
            }
        if (found == std::string::npos)
            return std::nullopt;
        at = found + 7;
        while (at < content.size() && IsSpace(content[at]))
            ++at;
        if (at < content.size() && content[at] == '=')
            break;
    }
    ++at;
    while (at < content.size() && IsSpace(content[at]))
        ++at;
    if (at >= content.size())
        return std::nullopt;
    if (content[at] == '"' || content[at] == '\'') {
        const char quote = content[at];
        const std::size_t end = content.find(quote, at + 1);
        if (end == std::string_view::npos)
            return std::nullopt;
        return EncodingForLabel(content.substr(at + 1, end - at - 1));
    }
    std::size_t end = at;
    while (end < content.size() && !IsSpace(content[end]) && content[end] != ';')
        ++end;
    return EncodingForLabel(content.substr(at, end - at));
}

std::optional<Encoding> PrescanForEncoding(std::string_view bytes)
{
    bytes = bytes.substr(0, kPrescanBytes);
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (bytes.compare(at, 4, "<!--") == 0) {
            const std::size_t end = bytes.find("-->", at + 2);
            if (end == std::string_view::npos)
                return std::nullopt;
            at = end + 3;
        } else if (StartsWithNoCase(bytes, at, "<meta") && at + 5 < bytes.size()
                   && (IsSpace(bytes[at + 5]) || bytes[at + 5] == '/')) {
            at += 6;
            if (auto encoding = MetaEncoding(bytes, at))
                return encoding;
        } else if (bytes[at] == '<' && at + 1 < bytes.size()
                   && (IsLetter(bytes[at + 1]) || (bytes[at + 1] == '/' && at + 2 < bytes.size() && IsLetter(bytes[at + 2])))) {
            at += bytes[at + 1] == '/' ? 2 : 1;
            while (at < bytes.size() && !IsSpace(bytes[at]) && bytes[at] != '>')
                ++at;
            PrescanAttribute attribute;
            while (GetAttribute(bytes, at, attribute)) {
            }
        } else if (bytes[at] == '<' && at + 1 < bytes.size() && (bytes[at + 1] == '!' || bytes[at + 1] == '/' || bytes[at + 1] == '?')) {
            const std::size_t end = bytes.find('>', at);
            if (end == std::string_view::npos)
                return std::nullopt;
            at = end + 1;
        } else {
            ++at;
        }
    }
    return std::nullopt;
}

SniffedEncoding SniffEncoding(std::string_view bytes, std::string_view contentType)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        return {EncodingNamed("UTF-8"), 3, true};
    if (bytes.starts_with("\xFE\xFF"))
        return {EncodingNamed("UTF-16BE"), 2, true};
    if (bytes.starts_with("\xFF\xFE"))
        return {EncodingNamed("UTF-16LE"), 2, true};
    if (const auto declared = EncodingFromContentType(contentType))
        return {*declared, 0, true};
    if (const auto prescanned = PrescanForEncoding(bytes))
        return {*prescanned, 0, false};
    return {EncodingNamed("UTF-8"), 0, false};
}

} // namespace html
