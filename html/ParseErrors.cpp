#include "html/ParseErrors.h"

#include <algorithm>

namespace html {

namespace {

struct Described {
    std::string_view code;
    std::string_view message;
};

constexpr Described kDescribed[] = {
#define HTML_PARSE_ERROR_TEXT(id, code, message) {code, message},
    HTML_PARSE_ERRORS(HTML_PARSE_ERROR_TEXT)
#undef HTML_PARSE_ERROR_TEXT
};

} // namespace

std::string ShownName(std::string_view name, std::size_t longest)
{
    std::string shown;
    for (const char c : name.substr(0, longest))
        shown += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
    if (name.size() > longest)
        shown += "...";
    return shown;
}

std::string_view CodeOf(ErrorCode code)
{
    return kDescribed[static_cast<std::size_t>(code)].code;
}

std::string MessageOf(const ParseError& error)
{
    const std::string name = ShownName(error.name, 40);
    switch (error.code) {
    case ErrorCode::UnexpectedStartTag:
        return "<" + name + "> in the wrong place, ignored";
    case ErrorCode::NestedStartTag:
        return "<" + name + "> while one of its kind is still open, which it closes";
    case ErrorCode::UnexpectedEndTag:
        return "</" + name + "> without an open <" + name + ">, ignored";
    case ErrorCode::EndTagClosesOpenElements:
        return "</" + name + "> closes elements that are still open inside it";
    case ErrorCode::MisnestedFormatting:
        return "</" + name + "> misnested with the elements opened after <" + name + ">";
    case ErrorCode::UnclosedElement:
        return "<" + name + "> is never closed";
    case ErrorCode::ContentInTable:
        return name.empty() ? "Text in a table outside any cell, moved before the table"
                            : "<" + name + "> in a table outside any cell, moved before the table";
    case ErrorCode::UnexpectedDoctype:
    case ErrorCode::MissingDoctype:
    case ErrorCode::ContentAfterBody:
    case ErrorCode::ContentAfterFrameset:
        break;
    default:
        if (!name.empty())
            return std::string(kDescribed[static_cast<std::size_t>(error.code)].message) + " \"" + name + "\"";
        break;
    }
    return std::string(kDescribed[static_cast<std::size_t>(error.code)].message);
}

LinePositions::LinePositions(std::string_view text) : text_(text)
{
    lineStarts_.push_back(0);
    for (std::size_t at = text.find('\n'); at != std::string_view::npos; at = text.find('\n', at + 1))
        lineStarts_.push_back(static_cast<std::uint32_t>(at + 1));
}

TextPosition LinePositions::at(std::uint32_t offset) const
{
    offset = std::min<std::uint32_t>(offset, static_cast<std::uint32_t>(text_.size()));
    const auto next = std::upper_bound(lineStarts_.begin(), lineStarts_.end(), offset);
    const std::uint32_t start = *(next - 1);
    // Offsets asked in order on one long line go on from the last one instead of the start.
    if (cursorOffset_ < start || cursorOffset_ > offset) {
        cursorOffset_ = start;
        cursorColumn_ = 1;
    }
    for (; cursorOffset_ < offset; ++cursorOffset_)
        if ((static_cast<unsigned char>(text_[cursorOffset_]) & 0xC0) != 0x80)
            ++cursorColumn_;
    return {static_cast<std::uint32_t>(next - lineStarts_.begin()), cursorColumn_};
}

} // namespace html
