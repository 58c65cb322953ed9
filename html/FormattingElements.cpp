// The list of active formatting elements: <b>, <a>, ... that stay in force after a block that
// closed them ends, and the adoption of misnested formatting elements ("<b>1<p>2</b>3").
#include "html/TreeBuilder.h"

#include <algorithm>

namespace html {

namespace {

// How often the adoption runs at most, and how many elements between its formatting element
// and furthest block keep their place in the list.
constexpr int kAdoptionRounds = 8;
constexpr int kKeptInnerElements = 3;
// Identical entries after the last marker beyond this are dropped, oldest first.
constexpr std::uint32_t kIdenticalEntries = 3;
// From this length on, entries are counted by signature (and no longer below kShortList).
constexpr std::size_t kLongList = 32;
constexpr std::size_t kShortList = 8;

} // namespace

bool TreeBuilder::sameElement(NodeId a, NodeId b) const
{
    const Node& x = node(a);
    const Node& y = node(b);
    if (x.tag != y.tag || x.ns != y.ns || x.attributeCount != y.attributeCount)
        return false;
    if (x.tag == Tag::Other && document_.text(x.text) != document_.text(y.text))
        return false;
    for (const Attribute& attribute : document_.attributes(a)) {
        const auto other = document_.attribute(b, document_.text(attribute.name));
        if (!other || *other != document_.text(attribute.value))
            return false;
    }
    return true;
}

std::uint64_t TreeBuilder::signature(NodeId element) const
{
    const auto hash = [](std::string_view text) { return std::hash<std::string_view>{}(text); };
    const Node& n = node(element);
    std::uint64_t result = hash(document_.text(n.text)) * 31 + static_cast<std::uint64_t>(n.ns);
    // Attributes in any order give the same signature.
    for (const Attribute& a : document_.attributes(element))
        result += hash(document_.text(a.name)) * 1000003u ^ hash(document_.text(a.value));
    return result;
}

void TreeBuilder::formattingInsert(std::size_t index, NodeId element)
{
    formatting_.insert(formatting_.begin() + static_cast<std::ptrdiff_t>(index), element);
    if (signaturesKept_ && element != kMarker)
        ++formattingSignatures_[signature(element)];
}

void TreeBuilder::formattingErase(std::size_t index)
{
    const NodeId element = formatting_[index];
    formatting_.erase(formatting_.begin() + static_cast<std::ptrdiff_t>(index));
    if (!signaturesKept_ || element == kMarker)
        return;
    if (formatting_.size() < kShortList) {
        formattingSignatures_.clear();
        signaturesKept_ = false;
        return;
    }
    const auto counted = formattingSignatures_.find(signature(element));
    if (--counted->second == 0)
        formattingSignatures_.erase(counted);
}

void TreeBuilder::pushFormatting(NodeId element)
{
    if (!signaturesKept_ && formatting_.size() >= kLongList) {
        for (const NodeId entry : formatting_)
            if (entry != kMarker)
                ++formattingSignatures_[signature(entry)];
        signaturesKept_ = true;
    }
    if (signaturesKept_) {
        const auto counted = formattingSignatures_.find(signature(element));
        if (counted == formattingSignatures_.end() || counted->second < kIdenticalEntries) {
            formattingInsert(formatting_.size(), element);
            return;
        }
    }
    std::uint32_t identical = 0;
    std::size_t earliest = 0;
    for (std::size_t i = formatting_.size(); i-- > 0 && formatting_[i] != kMarker;) {
        if (sameElement(formatting_[i], element)) {
            ++identical;
            earliest = i;
        }
    }
    if (identical >= kIdenticalEntries)
        formattingErase(earliest);
    formattingInsert(formatting_.size(), element);
}

NodeId TreeBuilder::cloneElement(NodeId element)
{
    const Node& n = node(element);
    return document_.newElement(n.ns, n.tag, n.text, n.firstAttribute, n.attributeCount);
}

void TreeBuilder::reconstructFormatting()
{
    if (formatting_.empty() || formatting_.back() == kMarker || isOpen(formatting_.back()))
        return;
    std::size_t i = formatting_.size() - 1;
    while (i > 0 && formatting_[i - 1] != kMarker && !isOpen(formatting_[i - 1]))
        --i;
    for (; i < formatting_.size(); ++i) {
        const NodeId clone = cloneElement(formatting_[i]);
        formatting_[i] = clone;
        insertAt(clone, appropriatePlace());
        push(clone);
        // At the depth limit the push closed the clone before this one and dropped its entry.
        if (i >= formatting_.size() || formatting_[i] != clone)
            --i;
    }
}

void TreeBuilder::clearFormattingToMarker()
{
    while (!formatting_.empty()) {
        const NodeId entry = formatting_.back();
        formattingErase(formatting_.size() - 1);
        if (entry == kMarker)
            return;
    }
}

std::size_t TreeBuilder::formattingIndex(NodeId element) const
{
    for (std::size_t i = formatting_.size(); i-- > 0;)
        if (formatting_[i] == element)
            return i;
    return formatting_.size();
}

// False when the end tag is to be treated as any other end tag: also when the formatting
// element is open but out of scope, as html5lib does (the same but for SVG and MathML
// boundaries, which that walk passes).
bool TreeBuilder::adoptionAgency(const Token& token)
{
    if (node(current()).ns == Namespace::Html && sameName(current(), token) && formattingIndex(current()) == formatting_.size()) {
        pop();
        return true;
    }
    for (int round = 0; round < kAdoptionRounds; ++round) {
        std::size_t fi = formatting_.size();
        for (std::size_t i = formatting_.size(); i-- > 0 && formatting_[i] != kMarker;)
            if (sameName(formatting_[i], token)) {
                fi = i;
                break;
            }
        if (fi == formatting_.size())
            return false;
        const NodeId formatting = formatting_[fi];
        if (!isOpen(formatting)) {
            error(ErrorCode::UnexpectedEndTag, nameOfToken(token));
            formattingErase(fi);
            return true;
        }
        if (!inScopeNode(formatting))
            return false;
        if (round == 0 && formatting != current())
            error(ErrorCode::MisnestedFormatting, nameOfToken(token));
        const std::size_t si = stackIndex(formatting);
        std::size_t fbi = si + 1;
        while (fbi < stack_.size() && !isSpecial(stack_[fbi]))
            ++fbi;
        if (fbi == stack_.size()) {
            popUntilNode(formatting);
            formattingErase(fi);
            return true;
        }
        const NodeId furthest = stack_[fbi];
        const NodeId commonAncestor = stack_[si - 1];
        std::size_t bookmark = fi;
        NodeId lastNode = furthest;
        std::size_t ni = fbi;
        for (int inner = 1;; ++inner) {
            const NodeId n = stack_[--ni];
            if (n == formatting)
                break;
            std::size_t li = formattingIndex(n);
            if (inner > kKeptInnerElements && li != formatting_.size()) {
                formattingErase(li);
                if (li < bookmark)
                    --bookmark;
                li = formatting_.size();
            }
            if (li == formatting_.size()) {
                eraseFromStack(ni);
                continue;
            }
            const NodeId clone = cloneElement(n);
            formatting_[li] = clone;
            eraseFromStack(ni);
            insertIntoStack(ni, clone);
            if (lastNode == furthest)
                bookmark = li + 1;
            document_.detach(lastNode);
            document_.insertBefore(clone, lastNode, kNoNode);
            lastNode = clone;
        }
        document_.detach(lastNode);
        insertAt(lastNode, appropriatePlace(commonAncestor));
        const NodeId clone = cloneElement(formatting);
        document_.moveChildren(furthest, clone);
        document_.insertBefore(furthest, clone, kNoNode);
        const std::size_t oldIndex = formattingIndex(formatting);
        formattingErase(oldIndex);
        if (oldIndex < bookmark)
            --bookmark;
        formattingInsert(bookmark, clone);
        eraseFromStack(stackIndex(formatting));
        insertIntoStack(stackIndex(furthest) + 1, clone);
    }
    return true;
}

} // namespace html
