#pragma once
// The problems a parse finds in a page. Tokenizer errors carry the HTML standard's codes
// ("duplicate-attribute", "eof-in-tag", ...); tree-construction errors, which the standard
// leaves unnamed, carry codes of ours in the same style, with the element's name.
//
// Reporting is optional: a parse that is given no list to fill skips every check that only
// an error needs.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace html {

#define HTML_PARSE_ERRORS(X)                                                                             \
    /* Tokenizer, under the standard's codes. */                                                        \
    X(AbruptClosingOfEmptyComment, "abrupt-closing-of-empty-comment", "Comment closed too early")        \
    X(AbsenceOfDigitsInNumericCharacterReference, "absence-of-digits-in-numeric-character-reference",   \
      "No digits in numeric character reference")                                                        \
    X(CdataInHtmlContent, "cdata-in-html-content", "CDATA section outside SVG or MathML")               \
    X(CharacterReferenceOutsideUnicodeRange, "character-reference-outside-unicode-range",              \
      "Character reference outside the Unicode range")                                                  \
    X(ControlCharacterInInputStream, "control-character-in-input-stream", "Control character in text")  \
    X(ControlCharacterReference, "control-character-reference", "Character reference to a control character") \
    X(DuplicateAttribute, "duplicate-attribute", "Duplicate attribute")                                 \
    X(EndTagWithAttributes, "end-tag-with-attributes", "End tag with attributes")                       \
    X(EndTagWithTrailingSolidus, "end-tag-with-trailing-solidus", "End tag ends with \"/>\"")          \
    X(EofBeforeTagName, "eof-before-tag-name", "Page ends after \"<\"")                                \
    X(EofInComment, "eof-in-comment", "Comment never closed")                                           \
    X(EofInDoctype, "eof-in-doctype", "Page ends inside the document type")                             \
    X(EofInTag, "eof-in-tag", "Page ends inside a tag")                                                 \
    X(IncorrectlyClosedComment, "incorrectly-closed-comment", "Comment closed by \"--!>\"")            \
    X(IncorrectlyOpenedComment, "incorrectly-opened-comment", "\"<!\" that opens no comment")          \
    X(InvalidCharacterSequenceAfterDoctypeName, "invalid-character-sequence-after-doctype-name",       \
      "Unexpected text after the document type's name")                                                 \
    X(InvalidFirstCharacterOfTagName, "invalid-first-character-of-tag-name",                           \
      "\"<\" not followed by a tag name (write &lt;)")                                                  \
    X(MissingAttributeValue, "missing-attribute-value", "Attribute value missing after \"=\"")         \
    X(MissingDoctypeName, "missing-doctype-name", "Document type without a name")                       \
    X(MissingEndTagName, "missing-end-tag-name", "\"</>\" names no element")                           \
    X(MissingSemicolonAfterCharacterReference, "missing-semicolon-after-character-reference",          \
      "Character reference without \";\"")                                                              \
    X(MissingWhitespaceBetweenAttributes, "missing-whitespace-between-attributes",                     \
      "No blank between attributes")                                                                    \
    X(NestedComment, "nested-comment", "\"<!--\" inside a comment")                                    \
    X(NoncharacterCharacterReference, "noncharacter-character-reference",                              \
      "Character reference to a noncharacter")                                                          \
    X(NoncharacterInInputStream, "noncharacter-in-input-stream", "Noncharacter in text")                \
    X(NonVoidHtmlElementStartTagWithTrailingSolidus, "non-void-html-element-start-tag-with-trailing-solidus", \
      "\"/>\" does not close this element")                                                             \
    X(NullCharacterReference, "null-character-reference", "Character reference to NUL")                \
    X(SurrogateCharacterReference, "surrogate-character-reference", "Character reference to a surrogate") \
    X(UnexpectedCharacterInAttributeName, "unexpected-character-in-attribute-name",                    \
      "Quote or \"<\" in an attribute name")                                                            \
    X(UnexpectedCharacterInUnquotedAttributeValue, "unexpected-character-in-unquoted-attribute-value",  \
      "Quote, \"<\", \"=\" or \"`\" in an unquoted attribute value")                                    \
    X(UnexpectedEqualsSignBeforeAttributeName, "unexpected-equals-sign-before-attribute-name",          \
      "\"=\" before an attribute name")                                                                 \
    X(UnexpectedNullCharacter, "unexpected-null-character", "NUL character")                           \
    X(UnexpectedQuestionMarkInsteadOfTagName, "unexpected-question-mark-instead-of-tag-name",          \
      "\"<?\" (processing instructions are not HTML)")                                                  \
    X(UnexpectedSolidusInTag, "unexpected-solidus-in-tag", "\"/\" inside a tag")                        \
    X(UnknownNamedCharacterReference, "unknown-named-character-reference", "Unknown character reference") \
    /* Tree construction, codes of ours. */                                                             \
    X(MissingDoctype, "missing-doctype", "No <!DOCTYPE html> before the content")                     \
    X(UnexpectedDoctype, "unexpected-doctype", "Document type in the wrong place")                     \
    X(UnexpectedStartTag, "unexpected-start-tag", "Start tag in the wrong place, ignored")             \
    X(NestedStartTag, "nested-start-tag", "Start tag while one of its kind is open, which it closes") \
    X(UnexpectedEndTag, "unexpected-end-tag", "End tag without a matching open element, ignored")      \
    X(EndTagClosesOpenElements, "end-tag-closes-open-elements", "End tag closes elements still open")   \
    X(MisnestedFormatting, "misnested-formatting", "Misnested formatting element")                     \
    X(UnclosedElement, "unclosed-element", "Element never closed")                                     \
    X(ContentInTable, "content-in-table", "Content in a table outside any cell, moved before the table") \
    X(ContentAfterBody, "content-after-body", "Content after the end of the body")                     \
    X(ContentAfterFrameset, "content-after-frameset", "Content after a frameset, ignored")

enum class ErrorCode : std::uint8_t {
#define HTML_PARSE_ERROR_ENUM(id, code, message) id,
    HTML_PARSE_ERRORS(HTML_PARSE_ERROR_ENUM)
#undef HTML_PARSE_ERROR_ENUM
};

struct ParseError {
    std::uint32_t offset = 0; // into the parsed text (line breaks already made LF)
    ErrorCode code = ErrorCode::UnexpectedNullCharacter;
    std::string name;         // the attribute's, element's or reference's name, if any
};

std::string_view CodeOf(ErrorCode code);
// A sentence for people, with the name: "Duplicate attribute \"href\"", "</div> closes <span>".
std::string MessageOf(const ParseError& error);

// A name or value from the page as a message shows it: control characters as "?", cut after
// longest bytes with "..." so that a hostile page cannot flood or fake lines.
std::string ShownName(std::string_view name, std::size_t longest);

// Line and column (both from 1, columns in characters) of an offset into a UTF-8 text whose
// lines end in LF.
struct TextPosition {
    std::uint32_t line = 1;
    std::uint32_t column = 1;
};

// Cheap for offsets asked in increasing order, however long the lines.
class LinePositions {
public:
    explicit LinePositions(std::string_view text);
    TextPosition at(std::uint32_t offset) const;

private:
    std::string_view text_;
    std::vector<std::uint32_t> lineStarts_;
    mutable std::uint32_t cursorOffset_ = 0;
    mutable std::uint32_t cursorColumn_ = 1;
};

} // namespace html
