#pragma once
// What the tokenizer hands the tree construction, one at a time.
#include "html/Document.h"

#include <string>
#include <vector>

namespace html {

enum class TokenType : std::uint8_t { Characters, StartTag, EndTag, Comment, Doctype, EndOfFile };

struct Token {
    TokenType type = TokenType::EndOfFile;
    std::uint32_t offset = 0; // where the token begins in the page
    // Characters: the text, never empty; a NUL of the data state comes alone. Tags: the name
    // in lower case.
    Span text;
    Tag tag = Tag::Other;
    bool selfClosing = false;
    std::vector<Attribute> attributes; // of a start tag, first of each name kept
    // Doctype.
    bool forceQuirks = false;
    bool hasPublicId = false;
    bool hasSystemId = false;
    std::string doctypeName;
    std::string publicId;
    std::string systemId;
};

} // namespace html
