#include "html/TreeBuilder.h"

#include "html/TokenMatch.h"

#include <algorithm>

namespace html {

TreeBuilder::TreeBuilder(Document& document, Templates templates)
    : document_(document), tokenizer_(document), templates_(templates)
{
}

void TreeBuilder::run()
{
    for (;;) {
        tokenizer_.setForeignContent(!stack_.empty() && node(current()).ns != Namespace::Html);
        Token& token = tokenizer_.next();
        if (skipNewline_) {
            skipNewline_ = false;
            if (token.type == TokenType::Characters && document_.text(token.text).front() == '\n') {
                token.text.begin = token.text.begin + 1;
                token.text.length = token.text.length - 1;
                if (token.text.length == 0)
                    continue;
            }
        }
        if (document_.keepsErrors()) {
            tokenOffset_ = token.offset;
            tokenErrors(token);
        }
        dispatch(token);
        if (token.type == TokenType::EndOfFile)
            return;
    }
}

// What is wrong with a token wherever it comes: a document type after the start, "/>" on an
// element that it does not close, the end of the page with elements still open.
void TreeBuilder::tokenErrors(const Token& token)
{
    if (token.type == TokenType::Doctype && mode_ != Mode::Initial)
        error(ErrorCode::UnexpectedDoctype);
    if (token.type == TokenType::StartTag && token.selfClosing && !isForeignToken(token)
        && !IsAny(token.tag, {Tag::Area, Tag::Base, Tag::Basefont, Tag::Bgsound, Tag::Br, Tag::Col, Tag::Embed,
                              Tag::Frame, Tag::Hr, Tag::Img, Tag::Input, Tag::Keygen, Tag::Link, Tag::Meta,
                              Tag::Param, Tag::Source, Tag::Track, Tag::Wbr, Tag::Math, Tag::Svg}))
        error(ErrorCode::NonVoidHtmlElementStartTagWithTrailingSolidus, nameOfToken(token));
    if (token.type == TokenType::EndOfFile)
        unclosedAtEnd();
}

void TreeBuilder::ignored(const Token& token)
{
    if (token.type == TokenType::EndTag)
        error(ErrorCode::UnexpectedEndTag, nameOfToken(token));
    else if (token.type == TokenType::StartTag)
        error(ErrorCode::UnexpectedStartTag, nameOfToken(token));
}

void TreeBuilder::unclosedAtEnd()
{
    if (!document_.keepsErrors() || openReported_)
        return;
    openReported_ = true;
    for (const NodeId element : stack_) {
        const Node& n = node(element);
        if (n.ns == Namespace::Html
            && IsAny(n.tag, {Tag::Dd, Tag::Dt, Tag::Li, Tag::Optgroup, Tag::Option, Tag::P, Tag::Rb, Tag::Rp, Tag::Rt,
                             Tag::Rtc, Tag::Tbody, Tag::Td, Tag::Tfoot, Tag::Th, Tag::Thead, Tag::Tr, Tag::Body,
                             Tag::Html, Tag::Head}))
            continue;
        errorAt(document_.elementOffset(element), ErrorCode::UnclosedElement, nameOfElement(element));
    }
}

bool TreeBuilder::isForeignToken(const Token& token) const
{
    if (stack_.empty() || token.type == TokenType::EndOfFile)
        return false;
    const NodeId adjusted = current();
    if (node(adjusted).ns == Namespace::Html)
        return false;
    const bool start = token.type == TokenType::StartTag;
    const bool characters = token.type == TokenType::Characters;
    if (isMathMlTextIntegrationPoint(adjusted)
        && ((start && token.tag != Tag::Mglyph && token.tag != Tag::Malignmark) || characters))
        return false;
    if (node(adjusted).ns == Namespace::MathMl && node(adjusted).tag == Tag::AnnotationXml && start && token.tag == Tag::Svg)
        return false;
    if (isHtmlIntegrationPoint(adjusted) && (start || characters))
        return false;
    return true;
}

void TreeBuilder::dispatch(Token& token)
{
    if (templates_ == Templates::Ordinary && token.tag == Tag::Template)
        token.tag = Tag::Other;
    if (isForeignToken(token))
        foreignContent(token);
    else
        process(mode_, token);
}

void TreeBuilder::process(Mode mode, Token& token)
{
    switch (mode) {
    case Mode::Initial: return initial(token);
    case Mode::BeforeHtml: return beforeHtml(token);
    case Mode::BeforeHead: return beforeHead(token);
    case Mode::InHead: return inHead(token);
    case Mode::InHeadNoscript: return inHeadNoscript(token);
    case Mode::AfterHead: return afterHead(token);
    case Mode::InBody: return inBody(token);
    case Mode::Text: return text(token);
    case Mode::InTable: return inTable(token);
    case Mode::InTableText: return inTableText(token);
    case Mode::InCaption: return inCaption(token);
    case Mode::InColumnGroup: return inColumnGroup(token);
    case Mode::InTableBody: return inTableBody(token);
    case Mode::InRow: return inRow(token);
    case Mode::InCell: return inCell(token);
    case Mode::InSelect: return inSelect(token);
    case Mode::InSelectInTable: return inSelectInTable(token);
    case Mode::InTemplate: return inTemplate(token);
    case Mode::AfterBody: return afterBody(token);
    case Mode::InFrameset: return inFrameset(token);
    case Mode::AfterFrameset: return afterFrameset(token);
    case Mode::AfterAfterBody: return afterAfterBody(token);
    case Mode::AfterAfterFrameset: return afterAfterFrameset(token);
    }
}

bool TreeBuilder::sameName(NodeId element, const Token& token) const
{
    const Node& n = node(element);
    if (n.tag != token.tag)
        return false;
    return n.tag != Tag::Other || document_.text(n.text) == document_.text(token.text);
}

Span TreeBuilder::nameOf(Tag tag)
{
    const auto i = static_cast<std::size_t>(tag);
    if (!tagNameKept_[i]) {
        static constexpr std::pair<Tag, std::string_view> kMadeUp[] = {
            {Tag::Html, "html"}, {Tag::Head, "head"},   {Tag::Body, "body"}, {Tag::P, "p"},
            {Tag::Tbody, "tbody"}, {Tag::Tr, "tr"},     {Tag::Colgroup, "colgroup"}, {Tag::Br, "br"},
            {Tag::Img, "img"}, {Tag::Form, "form"}, {Tag::Hr, "hr"}, {Tag::Label, "label"}, {Tag::Input, "input"}};
        for (const auto& [made, name] : kMadeUp)
            if (made == tag)
                tagNames_[i] = document_.keep(name);
        tagNameKept_[i] = true;
    }
    return tagNames_[i];
}

TreeBuilder::Location TreeBuilder::appropriatePlace(NodeId target) const
{
    if (target == kNoNode)
        target = current();
    const Node& t = node(target);
    if (!fosterParenting_ || t.ns != Namespace::Html || !IsAny(t.tag, {Tag::Table, Tag::Tbody, Tag::Tfoot, Tag::Thead, Tag::Tr}))
        return {target, kNoNode};
    // The topmost table or template decides: whatever lies below it does not count.
    std::size_t lastTable = stack_.size();
    for (std::size_t i = stack_.size(); i-- > 0;) {
        if (isHtml(stack_[i], Tag::Template))
            return {stack_[i], kNoNode};
        if (isHtml(stack_[i], Tag::Table)) {
            lastTable = i;
            break;
        }
    }
    if (lastTable == stack_.size())
        return {stack_.front(), kNoNode};
    const NodeId table = stack_[lastTable];
    if (node(table).parent != kNoNode)
        return {node(table).parent, table};
    return {stack_[lastTable - 1], kNoNode};
}

void TreeBuilder::insertAt(NodeId child, Location at)
{
    document_.insertBefore(at.parent, child, at.before);
}

NodeId TreeBuilder::createElement(const Token& token, Namespace ns)
{
    const std::uint32_t first = document_.keepAttributes(token.attributes);
    const NodeId element =
        document_.newElement(ns, token.tag, token.text, first, static_cast<std::uint32_t>(token.attributes.size()));
    if (document_.keepsErrors())
        document_.setElementOffset(element, tokenOffset_);
    return element;
}

NodeId TreeBuilder::createElement(Tag tag)
{
    const NodeId element = document_.newElement(Namespace::Html, tag, nameOf(tag), 0, 0);
    if (document_.keepsErrors())
        document_.setElementOffset(element, tokenOffset_);
    return element;
}

NodeId TreeBuilder::insertElement(const Token& token, Namespace ns)
{
    const NodeId element = createElement(token, ns);
    insertAt(element, appropriatePlace());
    push(element);
    return element;
}

NodeId TreeBuilder::insertElement(Tag tag)
{
    const NodeId element = createElement(tag);
    insertAt(element, appropriatePlace());
    push(element);
    return element;
}

void TreeBuilder::insertCharacters(Span text)
{
    const Location at = appropriatePlace();
    if (at.parent == Document::root())
        return;
    const NodeId previous = at.before == kNoNode ? node(at.parent).lastChild : node(at.before).previous;
    if (previous != kNoNode && node(previous).kind == NodeKind::Text) {
        Span& before = document_.mutableNode(previous).text;
        if (before.decoded == text.decoded && before.begin + before.length == text.begin) {
            before.length = before.length + text.length;
            return;
        }
    }
    insertAt(document_.newText(text), at);
}

void TreeBuilder::push(NodeId element)
{
    if (stack_.size() >= kMaxOpenElements)
        closeForDepth();
    insertIntoStack(stack_.size(), element);
}

void TreeBuilder::closeForDepth()
{
    const NodeId closed = current();
    const Node& n = node(closed);
    pop();
    if (n.ns != Namespace::Html)
        return;
    if (IsAny(n.tag, {Tag::A, Tag::B, Tag::Big, Tag::Code, Tag::Em, Tag::Font, Tag::I, Tag::Nobr, Tag::S, Tag::Small,
                      Tag::Strike, Tag::Strong, Tag::Tt, Tag::U})) {
        // Closed for good: re-opening it would only push it back against the limit.
        if (const std::size_t i = formattingIndex(closed); i != formatting_.size())
            formattingErase(i);
        return;
    }
    if (IsAny(n.tag, {Tag::Applet, Tag::Caption, Tag::Marquee, Tag::Object, Tag::Td, Tag::Th, Tag::Template}))
        clearFormattingToMarker();
    if (n.tag == Tag::Template && !templateModes_.empty())
        templateModes_.pop_back();
    if (IsAny(n.tag, {Tag::Table, Tag::Tbody, Tag::Thead, Tag::Tfoot, Tag::Tr, Tag::Td, Tag::Th, Tag::Caption,
                      Tag::Colgroup, Tag::Select, Tag::Template}))
        resetInsertionMode();
}

void TreeBuilder::pop()
{
    eraseFromStack(stack_.size() - 1);
}

void TreeBuilder::insertIntoStack(std::size_t index, NodeId element)
{
    const bool atTop = index == stack_.size();
    stack_.insert(stack_.begin() + static_cast<std::ptrdiff_t>(index), element);
    if (open_.size() <= element) {
        open_.resize(std::max<std::size_t>(element + 1, open_.size() * 2));
        stretchOf_.resize(open_.size());
    }
    open_[element] = 1;
    if (node(element).ns == Namespace::Html)
        ++openHtmlTags_[static_cast<std::size_t>(node(element).tag)];
    const bool special = isSpecial(element);
    if (special && !atTop)
        return recountStretches();
    if (special)
        ++specialsOpen_;
    // Below the top, an element joins the stretch of the entry under it.
    stretchOf_[element] = atTop ? specialsOpen_ : index == 0 ? 0 : stretchOf_[stack_[index - 1]];
    countStretches(element, 1);
}

void TreeBuilder::eraseFromStack(std::size_t index)
{
    const NodeId element = stack_[index];
    const bool atTop = index + 1 == stack_.size();
    countStretches(element, -1);
    stack_.erase(stack_.begin() + static_cast<std::ptrdiff_t>(index));
    open_[element] = 0;
    if (node(element).ns == Namespace::Html)
        --openHtmlTags_[static_cast<std::size_t>(node(element).tag)];
    if (isSpecial(element)) {
        --specialsOpen_;
        if (!atTop)
            recountStretches();
    }
}

std::uint64_t TreeBuilder::stretchKey(std::uint32_t stretch, Tag tag, Span name) const
{
    // Known tags by number, others by a hash of the name: two names sharing a key only make a
    // count too high, which costs a walk of the stack, never a wrong answer.
    std::uint64_t key = static_cast<std::uint64_t>(tag);
    if (tag == Tag::Other)
        for (const char c : document_.text(name))
            key = (key ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return key * 0x9E3779B97F4A7C15ull + stretch;
}

void TreeBuilder::countStretches(NodeId element, int change)
{
    const Node& n = node(element);
    if (n.ns != Namespace::Html)
        return;
    // Counts that come back to 0 stay in the table: the same stretches and names recur all
    // through a page, and keeping them spares an allocation for every element.
    stretchNames_[stretchKey(stretchOf_[element], n.tag, n.text)] += static_cast<std::uint32_t>(change);
}

void TreeBuilder::recountStretches()
{
    stretchNames_.clear();
    specialsOpen_ = 0;
    for (const NodeId element : stack_) {
        if (isSpecial(element))
            ++specialsOpen_;
        stretchOf_[element] = specialsOpen_;
        countStretches(element, 1);
    }
}

bool TreeBuilder::nameAboveTopmostSpecial(const Token& endTag) const
{
    const auto found = stretchNames_.find(stretchKey(specialsOpen_, endTag.tag, endTag.text));
    return found != stretchNames_.end() && found->second != 0;
}

std::size_t TreeBuilder::stackIndex(NodeId element) const
{
    for (std::size_t i = stack_.size(); i-- > 0;)
        if (stack_[i] == element)
            return i;
    return stack_.size();
}

void TreeBuilder::popUntil(Tag tag)
{
    popUntilAny({tag});
}

void TreeBuilder::popUntilAny(std::initializer_list<Tag> tags)
{
    while (!stack_.empty()) {
        const Node& n = node(current());
        const bool found = n.ns == Namespace::Html && IsAny(n.tag, tags);
        pop();
        if (found)
            return;
    }
}

void TreeBuilder::popUntilNode(NodeId element)
{
    while (isOpen(element))
        pop();
}

bool TreeBuilder::isScopeBoundary(NodeId element, Scope scope) const
{
    const Node& n = node(element);
    if (n.ns == Namespace::Html) {
        switch (scope) {
        case Scope::Select:
            return n.tag != Tag::Optgroup && n.tag != Tag::Option;
        case Scope::Table:
            return IsAny(n.tag, {Tag::Html, Tag::Table, Tag::Template});
        case Scope::ListItem:
            if (n.tag == Tag::Ol || n.tag == Tag::Ul)
                return true;
            break;
        case Scope::Button:
            if (n.tag == Tag::Button)
                return true;
            break;
        case Scope::Default:
            break;
        }
        return IsAny(n.tag, {Tag::Applet, Tag::Caption, Tag::Html, Tag::Table, Tag::Td, Tag::Th, Tag::Marquee, Tag::Object,
                             Tag::Template});
    }
    if (scope == Scope::Select || scope == Scope::Table)
        return scope == Scope::Select;
    if (n.ns == Namespace::MathMl)
        return IsAny(n.tag, {Tag::Mi, Tag::Mo, Tag::Mn, Tag::Ms, Tag::Mtext, Tag::AnnotationXml});
    return IsAny(n.tag, {Tag::ForeignObject, Tag::Desc, Tag::Title});
}

bool TreeBuilder::inScope(Tag tag, Scope scope) const
{
    if (openHtmlTags_[static_cast<std::size_t>(tag)] == 0)
        return false;
    for (std::size_t i = stack_.size(); i-- > 0;) {
        if (isHtml(stack_[i], tag))
            return true;
        if (isScopeBoundary(stack_[i], scope))
            return false;
    }
    return false;
}

bool TreeBuilder::inScopeNode(NodeId element) const
{
    if (!isOpen(element))
        return false;
    for (std::size_t i = stack_.size(); i-- > 0;) {
        if (stack_[i] == element)
            return true;
        if (isScopeBoundary(stack_[i], Scope::Default))
            return false;
    }
    return false;
}

bool TreeBuilder::isSpecial(NodeId element) const
{
    // Looked at for every element pushed or popped: a table by tag number.
    static const std::array<bool, 256> kSpecialHtml = [] {
        std::array<bool, 256> special{};
        for (const Tag tag : {Tag::Address, Tag::Applet, Tag::Area, Tag::Article, Tag::Aside, Tag::Base, Tag::Basefont,
                              Tag::Bgsound, Tag::Blockquote, Tag::Body, Tag::Br, Tag::Button, Tag::Caption, Tag::Center,
                              Tag::Col, Tag::Colgroup, Tag::Dd, Tag::Details, Tag::Dir, Tag::Div, Tag::Dl, Tag::Dt,
                              Tag::Embed, Tag::Fieldset, Tag::Figcaption, Tag::Figure, Tag::Footer, Tag::Form, Tag::Frame,
                              Tag::Frameset, Tag::H1, Tag::H2, Tag::H3, Tag::H4, Tag::H5, Tag::H6, Tag::Head, Tag::Header,
                              Tag::Hgroup, Tag::Hr, Tag::Html, Tag::Iframe, Tag::Img, Tag::Input, Tag::Keygen, Tag::Li,
                              Tag::Link, Tag::Listing, Tag::Main, Tag::Marquee, Tag::Menu, Tag::Meta, Tag::Nav,
                              Tag::Noembed, Tag::Noframes, Tag::Noscript, Tag::Object, Tag::Ol, Tag::P, Tag::Param,
                              Tag::Plaintext, Tag::Pre, Tag::Script, Tag::Search, Tag::Section, Tag::Select, Tag::Source,
                              Tag::Style, Tag::Summary, Tag::Table, Tag::Tbody, Tag::Td, Tag::Template, Tag::Textarea,
                              Tag::Tfoot, Tag::Th, Tag::Thead, Tag::Title, Tag::Tr, Tag::Track, Tag::Ul, Tag::Wbr,
                              Tag::Xmp})
            special[static_cast<std::size_t>(tag)] = true;
        return special;
    }();
    const Node& n = node(element);
    switch (n.ns) {
    case Namespace::Html:
        return kSpecialHtml[static_cast<std::size_t>(n.tag)];
    case Namespace::MathMl:
        return false;
    case Namespace::Svg:
        return n.tag == Tag::ForeignObject;
    }
    return false;
}

void TreeBuilder::generateImpliedEndTags(Tag except, bool thoroughly)
{
    while (!stack_.empty()) {
        const Node& n = node(current());
        if (n.ns != Namespace::Html || (n.tag == except && except != Tag::Other))
            return;
        const bool implied = IsAny(n.tag, {Tag::Dd, Tag::Dt, Tag::Li, Tag::Optgroup, Tag::Option, Tag::P, Tag::Rb, Tag::Rp,
                                           Tag::Rt, Tag::Rtc})
            || (thoroughly
                && IsAny(n.tag, {Tag::Caption, Tag::Colgroup, Tag::Tbody, Tag::Td, Tag::Tfoot, Tag::Th, Tag::Thead, Tag::Tr}));
        if (!implied)
            return;
        pop();
    }
}

void TreeBuilder::closeP()
{
    generateImpliedEndTags(Tag::P);
    popUntil(Tag::P);
}

void TreeBuilder::resetInsertionMode()
{
    for (std::size_t i = stack_.size(); i-- > 0;) {
        const bool last = i == 0;
        const NodeId element = stack_[i];
        const Node& n = node(element);
        if (n.ns != Namespace::Html) {
            if (last)
                break;
            continue;
        }
        switch (n.tag) {
        case Tag::Select:
            for (std::size_t a = i; !last && a-- > 1;) {
                if (isHtml(stack_[a], Tag::Template))
                    break;
                if (isHtml(stack_[a], Tag::Table)) {
                    mode_ = Mode::InSelectInTable;
                    return;
                }
            }
            mode_ = Mode::InSelect;
            return;
        case Tag::Td:
        case Tag::Th:
            if (!last) {
                mode_ = Mode::InCell;
                return;
            }
            break;
        case Tag::Tr: mode_ = Mode::InRow; return;
        case Tag::Tbody:
        case Tag::Thead:
        case Tag::Tfoot: mode_ = Mode::InTableBody; return;
        case Tag::Caption: mode_ = Mode::InCaption; return;
        case Tag::Colgroup: mode_ = Mode::InColumnGroup; return;
        case Tag::Table: mode_ = Mode::InTable; return;
        case Tag::Template: mode_ = templateModes_.empty() ? Mode::InBody : templateModes_.back(); return;
        case Tag::Head:
            if (!last) {
                mode_ = Mode::InHead;
                return;
            }
            break;
        case Tag::Body: mode_ = Mode::InBody; return;
        case Tag::Frameset: mode_ = Mode::InFrameset; return;
        case Tag::Html: mode_ = head_ == kNoNode ? Mode::BeforeHead : Mode::AfterHead; return;
        default: break;
        }
        if (last)
            break;
    }
    mode_ = Mode::InBody;
}

void TreeBuilder::genericText(const Token& token, TextKind kind)
{
    insertElement(token);
    tokenizer_.setTextKind(kind);
    originalMode_ = mode_;
    mode_ = Mode::Text;
}

Span TreeBuilder::whitespacePrefix(Span& text) const
{
    const std::string_view chars = document_.text(text);
    std::size_t n = 0;
    while (n < chars.size() && IsWhitespace(chars[n]))
        ++n;
    Span prefix = text;
    prefix.length = static_cast<std::uint32_t>(n);
    text.begin = static_cast<std::uint32_t>(text.begin + n);
    text.length = static_cast<std::uint32_t>(text.length - n);
    return prefix;
}

} // namespace html

namespace html {

bool TreeBuilder::insertLeadingWhitespace(Token& token)
{
    const Span white = whitespacePrefix(token.text);
    if (white.length != 0)
        insertCharacters(white);
    return token.text.length == 0;
}

bool TreeBuilder::leadingWhitespaceInBody(Token& token)
{
    const Span rest = [&] {
        Span text = token.text;
        whitespacePrefix(text);
        return text;
    }();
    if (rest.length != token.text.length) {
        token.text.length = token.text.length - rest.length;
        inBody(token);
        token.text = rest;
    }
    return rest.length == 0;
}

} // namespace html
