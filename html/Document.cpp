#include "html/Document.h"

#include <algorithm>
#include <stdexcept>

namespace html {

namespace {

constexpr std::size_t kLargestStore = 0x7FFFFFFFu;

std::string WithoutCarriageReturns(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        std::size_t cr = text.find('\r', at);
        if (cr == std::string_view::npos)
            cr = text.size();
        out.append(text.substr(at, cr - at));
        if (cr == text.size())
            break;
        out += '\n';
        at = cr + (cr + 1 < text.size() && text[cr + 1] == '\n' ? 2 : 1);
    }
    return out;
}

} // namespace

Document::Document(std::string_view page) : page_(page)
{
    if (page.size() > kLargestStore)
        throw std::length_error("page too large to parse (2 GB at most)");
    if (page.find('\r') != std::string_view::npos) {
        withoutCarriageReturns_ = WithoutCarriageReturns(page);
        page_ = withoutCarriageReturns_;
    }
    // Link-rich pages have about a node per 14 bytes; reserving that much spares copying the
    // nodes as they grow (only what is used is ever touched).
    constexpr std::size_t kBytesPerNode = 12;
    nodes_.reserve(page_.size() / kBytesPerNode + 1);
    attributes_.reserve(page_.size() / (2 * kBytesPerNode) + 1);
    nodes_.emplace_back();
}

std::string_view Document::text(Span span) const
{
    const std::string_view store = span.decoded ? std::string_view(decoded_) : page_;
    return store.substr(span.begin, span.length);
}

std::span<const Attribute> Document::attributes(NodeId element) const
{
    const Node& n = nodes_[element];
    return std::span<const Attribute>(attributes_).subspan(n.firstAttribute, n.attributeCount);
}

std::optional<std::string_view> Document::attribute(NodeId element, std::string_view name) const
{
    for (const Attribute& a : attributes(element))
        if (text(a.name) == name)
            return text(a.value);
    return std::nullopt;
}

bool Document::isHtml(NodeId id, Tag tag) const
{
    const Node& n = nodes_[id];
    return n.tag == tag && n.ns == Namespace::Html && n.kind == NodeKind::Element;
}

Span Document::keep(std::string_view decoded)
{
    if (decoded_.size() + decoded.size() > kLargestStore)
        throw std::length_error("page too large to parse (2 GB of decoded text at most)");
    Span span;
    span.begin = static_cast<std::uint32_t>(decoded_.size());
    span.length = static_cast<std::uint32_t>(decoded.size());
    span.decoded = 1;
    decoded_.append(decoded);
    return span;
}

bool Document::endsStore(Span span) const
{
    return span.decoded && span.begin + span.length == decoded_.size();
}

Span Document::extend(Span span, std::string_view decoded)
{
    const Span more = keep(decoded);
    span.length = span.length + more.length;
    return span;
}

std::uint32_t Document::keepAttributes(std::span<const Attribute> attributes)
{
    const auto first = static_cast<std::uint32_t>(attributes_.size());
    attributes_.insert(attributes_.end(), attributes.begin(), attributes.end());
    return first;
}

NodeId Document::newElement(Namespace ns, Tag tag, Span name, std::uint32_t firstAttribute, std::uint32_t attributeCount)
{
    Node n;
    n.kind = NodeKind::Element;
    n.ns = ns;
    n.tag = tag;
    n.text = name;
    n.firstAttribute = firstAttribute;
    n.attributeCount = attributeCount;
    nodes_.push_back(n);
    return static_cast<NodeId>(nodes_.size() - 1);
}

NodeId Document::newText(Span text)
{
    Node n;
    n.kind = NodeKind::Text;
    n.text = text;
    nodes_.push_back(n);
    return static_cast<NodeId>(nodes_.size() - 1);
}

void Document::insertBefore(NodeId parent, NodeId child, NodeId before)
{
    Node& c = nodes_[child];
    Node& p = nodes_[parent];
    c.parent = parent;
    c.insertedBefore = before != kNoNode;
    c.next = before;
    c.previous = before == kNoNode ? p.lastChild : nodes_[before].previous;
    if (c.previous == kNoNode)
        p.firstChild = child;
    else
        nodes_[c.previous].next = child;
    if (before == kNoNode)
        p.lastChild = child;
    else
        nodes_[before].previous = child;
}

void Document::detach(NodeId child)
{
    Node& c = nodes_[child];
    if (c.parent == kNoNode)
        return;
    Node& p = nodes_[c.parent];
    if (c.previous == kNoNode)
        p.firstChild = c.next;
    else
        nodes_[c.previous].next = c.next;
    if (c.next == kNoNode)
        p.lastChild = c.previous;
    else
        nodes_[c.next].previous = c.previous;
    c.parent = c.next = c.previous = kNoNode;
}

void Document::moveChildren(NodeId from, NodeId to)
{
    bool dropping = false;
    while (nodes_[from].firstChild != kNoNode) {
        const NodeId child = nodes_[from].firstChild;
        if (nodes_[child].kind == NodeKind::Element)
            dropping = nodes_[child].insertedBefore;
        detach(child);
        if (!dropping)
            insertBefore(to, child, kNoNode);
    }
}

void Document::setElementOffset(NodeId element, std::uint32_t offset)
{
    if (elementOffsets_.size() <= element)
        elementOffsets_.resize(std::max<std::size_t>(element + 1, elementOffsets_.size() * 2));
    elementOffsets_[element] = offset;
}

} // namespace html
