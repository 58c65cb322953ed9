#pragma once
// The tree an HTML page parses into, kept cheap for large pages: nodes live in one array and
// refer to each other by index; texts and names are spans, either of the page's own bytes
// (where nothing had to be decoded) or of a second store holding what was decoded. Comments
// and document types are not kept: nothing reads them.
//
// Invariants: node 0 is the document; every other node has a parent until it is detached;
// siblings form a doubly linked list; an element's attributes never change after it is made.
#include "html/EncodingLabels.h"
#include "html/ParseErrors.h"
#include "html/Tags.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace html {

using NodeId = std::uint32_t;
inline constexpr NodeId kNoNode = 0xFFFFFFFFu;

enum class Namespace : std::uint8_t { Html, Svg, MathMl };
enum class NodeKind : std::uint8_t { Document, Element, Text };

// Bytes of the page (decoded == false) or of the decoded store.
struct Span {
    std::uint32_t begin = 0;
    std::uint32_t length : 31 = 0;
    std::uint32_t decoded : 1 = 0;
};

struct Attribute {
    Span name;
    Span value;
};

struct Node {
    NodeId parent = kNoNode;
    NodeId firstChild = kNoNode;
    NodeId lastChild = kNoNode;
    NodeId next = kNoNode;
    NodeId previous = kNoNode;
    NodeKind kind = NodeKind::Document;
    Namespace ns = Namespace::Html;
    Tag tag = Tag::Other;
    bool insertedBefore = false; // placed before a sibling (a table's misplaced content), not appended
    Span text; // a text's characters, an element's name
    std::uint32_t firstAttribute = 0;
    std::uint32_t attributeCount = 0;
};

class Document {
public:
    // page: UTF-8; it must outlive the document unless it holds a CR (then the document
    // keeps a copy with CR LF and CR made LF, as the parser reads line breaks).
    explicit Document(std::string_view page);
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    static constexpr NodeId root() { return 0; }
    const Node& node(NodeId id) const { return nodes_[id]; }
    std::string_view text(Span span) const;
    std::span<const Attribute> attributes(NodeId element) const;
    std::optional<std::string_view> attribute(NodeId element, std::string_view name) const;
    bool isHtml(NodeId id, Tag tag) const;

    // The encoding the first <meta charset> (or http-equiv content-type) in the tree names.
    const std::optional<Encoding>& declaredEncoding() const { return declaredEncoding_; }

    // Errors are kept only when a list was given (see ParseErrors.h); then every element
    // knows the offset of its start tag (or of the token that made it).
    bool keepsErrors() const { return errors_ != nullptr; }
    void keepErrorsIn(std::vector<ParseError>* errors) { errors_ = errors; }
    void reportError(std::uint32_t offset, ErrorCode code, std::string_view name = {})
    {
        if (errors_ != nullptr && errors_->size() < kMostErrors)
            errors_->push_back({offset, code, std::string(name)});
    }
    std::uint32_t elementOffset(NodeId element) const
    {
        return element < elementOffsets_.size() ? elementOffsets_[element] : 0;
    }
    void setElementOffset(NodeId element, std::uint32_t offset);
    static constexpr std::size_t kMostErrors = 100000;

    // Building.
    void setDeclaredEncoding(const Encoding& encoding) { declaredEncoding_ = encoding; }
    std::string_view page() const { return page_; }
    Span keep(std::string_view decoded);
    Span extend(Span span, std::string_view decoded); // span must end the decoded store
    bool endsStore(Span span) const;
    std::uint32_t keepAttributes(std::span<const Attribute> attributes);
    NodeId newElement(Namespace ns, Tag tag, Span name, std::uint32_t firstAttribute, std::uint32_t attributeCount);
    NodeId newText(Span text);
    Node& mutableNode(NodeId id) { return nodes_[id]; }
    void insertBefore(NodeId parent, NodeId child, NodeId before); // before == kNoNode: append
    void detach(NodeId child);
    // Appends from's children to to, as html5lib's tree moves them: an element that was
    // inserted before a sibling, and the text after it, are not moved but dropped.
    void moveChildren(NodeId from, NodeId to);

private:
    std::string withoutCarriageReturns_;
    std::string_view page_;
    std::string decoded_;
    std::vector<Node> nodes_;
    std::vector<Attribute> attributes_;
    std::optional<Encoding> declaredEncoding_;
    std::vector<ParseError>* errors_ = nullptr;
    std::vector<std::uint32_t> elementOffsets_;
};

} // namespace html
