#pragma once
// Splits an HTML page into tokens by the HTML tokenization rules. The whole page is at hand,
// so a tag, comment or document type is read in one go from "<" to its end (or to the end of
// the page, which drops an unfinished tag); only the kind of text being read (set by the tree
// construction after a start tag) and a script's escaping carry from one token to the next.
#include "html/CharacterReferences.h"
#include "html/Document.h"
#include "html/Token.h"

#include <array>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace html {

enum class TextKind : std::uint8_t { Data, Rcdata, Rawtext, ScriptData, Plaintext };

class Tokenizer {
public:
    explicit Tokenizer(Document& document);

    // Read after the start tag just given, until its end tag.
    void setTextKind(TextKind kind);
    // Whether "<![CDATA[" opens a section here (inside SVG or MathML) or a bogus comment.
    void setForeignContent(bool foreign) { foreign_ = foreign; }

    // Valid until the next call.
    Token& next();

private:
    enum class ScriptState : std::uint8_t {
        Normal,
        Escaped,
        EscapedDash,
        EscapedDashDash,
        DoubleEscaped,
        DoubleEscapedDash,
        DoubleEscapedDashDash
    };

    void error(std::size_t offset, ErrorCode code, std::string_view name = {})
    {
        document_.reportError(static_cast<std::uint32_t>(offset), code, name);
    }
    void referenceError(std::size_t offset, const DecodedReference& reference);
    void nameErrors(std::size_t begin, std::size_t end); // NUL, quotes or "<" in a name
    void commentErrors(std::size_t begin, std::size_t end); // "<!--" inside one

    bool at(std::size_t i, char c) const { return i < input_.size() && input_[i] == c; }
    bool startsWithNoCase(std::size_t i, std::string_view word) const;
    bool isAppropriateEndTag(std::size_t i) const;

    Token& characters(std::size_t begin, std::size_t end);
    Token& decoded(std::string_view text);
    Token& endOfFile();

    // Each reads from pos_; false when nothing was emitted (read on).
    bool data();
    bool text(const std::array<bool, 256>& stops, bool references);
    bool reference(bool inAttribute);
    bool scriptData();
    bool scriptEndsAt(std::size_t i) const;
    void scriptStep(std::size_t& i);
    std::size_t letters(std::size_t i) const;
    bool isScriptWord(std::size_t begin, std::size_t end) const;
    bool tagOpen();
    bool tag(std::size_t nameStart, bool end);
    bool attributes(std::size_t& i);
    Span attributeValue(std::size_t& i, char quote);
    bool isDuplicate(Span name);
    bool markupDeclaration();
    bool cdataSection();
    void comment(std::size_t i);
    void bogusComment(std::size_t contentStart);
    void doctype(std::size_t i);
    Span lowerCaseName(std::size_t begin, std::size_t end);

    Document& document_;
    std::string_view input_;
    std::size_t pos_ = 0;
    TextKind kind_ = TextKind::Data;
    ScriptState script_ = ScriptState::Normal;
    bool foreign_ = false;
    std::size_t cdataEnd_ = 0; // inside a CDATA section while not 0
    std::size_t cdataResume_ = 0;
    std::string lastStartTag_;
    std::string scratch_;
    std::unordered_map<std::string, Span> lowered_; // names written in upper case, lowered once
    std::unordered_set<std::string> names_;         // of a tag with very many attributes
    Token token_;
};

} // namespace html
