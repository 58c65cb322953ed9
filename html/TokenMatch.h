#pragma once
// Small tests on tokens and text shared by the insertion modes.
#include "html/Document.h"
#include "html/Token.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <string_view>

namespace html {

inline bool IsAny(Tag tag, std::initializer_list<Tag> tags)
{
    return std::find(tags.begin(), tags.end(), tag) != tags.end();
}

inline bool IsStart(const Token& token, std::initializer_list<Tag> tags)
{
    return token.type == TokenType::StartTag && IsAny(token.tag, tags);
}

inline bool IsEnd(const Token& token, std::initializer_list<Tag> tags)
{
    return token.type == TokenType::EndTag && IsAny(token.tag, tags);
}

inline bool IsCommentOrDoctype(const Token& token)
{
    return token.type == TokenType::Comment || token.type == TokenType::Doctype;
}

inline bool IsWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

inline bool HasNonWhitespace(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) { return !IsWhitespace(c); });
}

inline bool IsNul(std::string_view text)
{
    return text == std::string_view("\0", 1);
}

inline std::string AsciiLowered(std::string_view text)
{
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; });
    return lowered;
}

inline bool IsHiddenInput(const Document& document, const Token& token)
{
    for (const Attribute& a : token.attributes)
        if (document.text(a.name) == "type")
            return AsciiLowered(document.text(a.value)) == "hidden";
    return false;
}

// Start tags read by the "in head" rules wherever they come.
inline bool IsHeadContent(Tag tag)
{
    return IsAny(tag, {Tag::Base, Tag::Basefont, Tag::Bgsound, Tag::Link, Tag::Meta, Tag::Noframes, Tag::Script,
                       Tag::Style, Tag::Template, Tag::Title});
}

} // namespace html
