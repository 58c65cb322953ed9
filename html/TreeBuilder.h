#pragma once
// Builds the document tree from the tokens by the HTML tree construction rules: the insertion
// modes, the stack of open elements and its scopes, the list of active formatting elements
// (re-opened after a block closes, adopted when misnested), tables with their misplaced content
// moved before them, select, template, and SVG/MathML content. Scripts are not run: <noscript>
// is read as an ordinary element.
//
// Deep pages stay cheap: whether an element is open is a flag on the node, a scope lookup for a
// tag with no open element of that name answers at once, and so does an end tag with no element
// of its name above the topmost special element (the stack is counted by name in stretches that
// each begin at a special element).
//
// The stack of open elements never holds more than kMaxOpenElements: an element that would go
// deeper first closes the current node and becomes its sibling (browsers limit the depth of
// the tree they build in the same spirit). Every walk of the stack is thereby bounded, so
// misnested formatting under thousands of blocks stays linear.
#include "html/Document.h"
#include "html/Token.h"
#include "html/Tokenizer.h"

#include <array>
#include <unordered_map>
#include <vector>

namespace html {

// How <template> is read: as the standard says (its own insertion mode, a marker among the
// formatting elements, special, a scope boundary), or as html5lib reads it, as an element like
// any other.
enum class Templates : std::uint8_t { Standard, Ordinary };

class TreeBuilder {
public:
    TreeBuilder(Document& document, Templates templates);
    void run();

private:
    enum class Mode : std::uint8_t {
        Initial, BeforeHtml, BeforeHead, InHead, InHeadNoscript, AfterHead, InBody, Text, InTable,
        InTableText, InCaption, InColumnGroup, InTableBody, InRow, InCell, InSelect, InSelectInTable,
        InTemplate, AfterBody, InFrameset, AfterFrameset, AfterAfterBody, AfterAfterFrameset
    };
    enum class Scope : std::uint8_t { Default, ListItem, Button, Table, Select };
    struct Location {
        NodeId parent;
        NodeId before; // kNoNode: at the end
    };
    static constexpr NodeId kMarker = kNoNode;

    // Errors (TreeBuilder.cpp): reported at the current token unless an offset is given.
    void error(ErrorCode code, std::string_view name = {}) { document_.reportError(tokenOffset_, code, name); }
    void errorAt(std::uint32_t offset, ErrorCode code, std::string_view name = {})
    {
        document_.reportError(offset, code, name);
    }
    std::string_view nameOfToken(const Token& token) const { return document_.text(token.text); }
    std::string_view nameOfElement(NodeId element) const { return document_.text(node(element).text); }
    void tokenErrors(const Token& token);
    void ignored(const Token& token); // a start or end tag the rules drop: reported as such
    void unclosedAtEnd(); // at the end of the page or the body: elements left open

    // Dispatch (TreeBuilder.cpp).
    void dispatch(Token& token);
    void process(Mode mode, Token& token);
    bool isForeignToken(const Token& token) const;

    // The tree and the stack (TreeBuilder.cpp).
    const Node& node(NodeId id) const { return document_.node(id); }
    NodeId current() const { return stack_.back(); }
    bool currentIs(Tag tag) const { return !stack_.empty() && document_.isHtml(current(), tag); }
    bool isHtml(NodeId id, Tag tag) const { return document_.isHtml(id, tag); }
    bool sameName(NodeId element, const Token& token) const;
    Location appropriatePlace(NodeId target = kNoNode) const;
    void insertAt(NodeId child, Location at);
    NodeId createElement(const Token& token, Namespace ns);
    NodeId createElement(Tag tag);
    NodeId insertElement(const Token& token, Namespace ns = Namespace::Html);
    NodeId insertElement(Tag tag);
    void insertCharacters(Span text);
    static constexpr std::size_t kMaxOpenElements = 512;
    void push(NodeId element);
    void closeForDepth(); // the current node, to keep the stack within kMaxOpenElements
    void pop();
    void eraseFromStack(std::size_t index);
    void insertIntoStack(std::size_t index, NodeId element);
    bool isOpen(NodeId element) const { return element < open_.size() && open_[element] != 0; }
    std::size_t stackIndex(NodeId element) const;
    void popUntil(Tag tag);
    void popUntilAny(std::initializer_list<Tag> tags);
    void popUntilNode(NodeId element);
    bool inScope(Tag tag, Scope scope = Scope::Default) const;
    bool inScopeNode(NodeId element) const;
    bool isScopeBoundary(NodeId element, Scope scope) const;
    bool isSpecial(NodeId element) const;
    // The counts of names in stretches of the stack: nameKey is an HTML element's or an end
    // tag's name; countStretches counts one stack entry in or out; recountStretches starts over
    // (after a special element came or went anywhere but at the top).
    std::uint64_t stretchKey(std::uint32_t stretch, Tag tag, Span name) const;
    void countStretches(NodeId element, int change);
    void recountStretches();
    bool nameAboveTopmostSpecial(const Token& endTag) const;
    void generateImpliedEndTags(Tag except = Tag::Other, bool thoroughly = false);
    void closeP();
    void resetInsertionMode();
    void genericText(const Token& token, TextKind kind);
    Span whitespacePrefix(Span& text) const; // cut from text
    bool insertLeadingWhitespace(Token& token); // of a characters token; true: nothing else left
    bool leadingWhitespaceInBody(Token& token);  // the same, by the "in body" rules
    Span nameOf(Tag tag);

    // Active formatting elements (FormattingElements.cpp).
    void pushFormatting(NodeId element);
    void reconstructFormatting();
    void clearFormattingToMarker();
    std::size_t formattingIndex(NodeId element) const; // size() if absent
    void formattingInsert(std::size_t index, NodeId element);
    void formattingErase(std::size_t index);
    std::uint64_t signature(NodeId element) const;
    bool adoptionAgency(const Token& token);
    bool sameElement(NodeId a, NodeId b) const;
    NodeId cloneElement(NodeId element);

    // Before the body and around it (OutsideBody.cpp).
    void initial(Token& token);
    void beforeHtml(Token& token);
    void beforeHead(Token& token);
    void inHead(Token& token);
    void inHeadNoscript(Token& token);
    void afterHead(Token& token);
    void text(Token& token);
    void afterBody(Token& token);
    void inFrameset(Token& token);
    void afterFrameset(Token& token);
    void afterAfterBody(Token& token);
    void afterAfterFrameset(Token& token);
    void insertWhitespaceOnly(Span text);
    void noteDeclaredEncoding(NodeId meta); // the first <meta> that names an encoding
    bool quirksDoctype(const Token& doctype) const;

    // The body (InBody.cpp).
    void inBody(Token& token);
    void bodyStartTag(Token& token);
    void bodyEndTag(Token& token);
    void anyOtherEndTag(const Token& token);
    void closesOpenElements(const Token& endTag); // once implied end tags are generated
    void isindex(const Token& token);
    void endFosterParentingIf(bool closedSomething);

    // Tables, select, template (TableModes.cpp, SelectModes.cpp).
    void inTable(Token& token);
    void inTableText(Token& token);
    void inCaption(Token& token);
    void inColumnGroup(Token& token);
    void inTableBody(Token& token);
    void inRow(Token& token);
    void inCell(Token& token);
    bool closeSelect(); // false: no select open in select scope
    void inSelect(Token& token);
    void inSelectInTable(Token& token);
    void inTemplate(Token& token);
    void clearStackBackTo(std::initializer_list<Tag> tags);
    void closeCell();
    void fosterInBody(Token& token);

    // SVG and MathML (ForeignContent.cpp).
    void foreignContent(Token& token);
    bool isMathMlTextIntegrationPoint(NodeId element) const;
    bool isHtmlIntegrationPoint(NodeId element) const;

    Document& document_;
    Tokenizer tokenizer_;
    Templates templates_;
    Mode mode_ = Mode::Initial;
    Mode originalMode_ = Mode::Initial;
    std::vector<NodeId> stack_;
    std::vector<std::uint8_t> open_; // by node: on the stack
    std::array<std::uint32_t, 256> openHtmlTags_{}; // by tag: HTML elements on the stack
    // Stretch n of the stack begins at its n-th special element (0: the bottom); by node, the
    // stretch an open element is in, and by stretch and name, how many HTML elements it holds.
    std::vector<std::uint32_t> stretchOf_;
    std::uint32_t specialsOpen_ = 0;
    std::unordered_map<std::uint64_t, std::uint32_t> stretchNames_;
    std::vector<NodeId> formatting_;
    // While formatting_ is long: by signature (name and attributes), how many of its entries
    // have it, so that an element unlike the others is pushed without comparing it with all.
    std::unordered_map<std::uint64_t, std::uint32_t> formattingSignatures_;
    bool signaturesKept_ = false;
    std::vector<Mode> templateModes_;
    std::vector<Span> pendingTableText_;
    std::array<Span, 256> tagNames_{};
    std::array<bool, 256> tagNameKept_{};
    NodeId head_ = kNoNode;
    NodeId form_ = kNoNode;
    bool framesetOk_ = true;
    bool fosterParenting_ = false;
    bool quirks_ = false;
    bool skipNewline_ = false;
    bool doctypeMissingReported_ = false;
    bool openReported_ = false;
    std::uint32_t tokenOffset_ = 0;
};

} // namespace html
