// SVG and MathML inside a page: their elements keep their namespace (an <a> there is no HTML
// link) until an HTML tag breaks out of them or an integration point lets HTML in again.
#include "html/TreeBuilder.h"

#include "html/TokenMatch.h"

#include <algorithm>
#include <string>

namespace html {

namespace {

bool BreaksOut(const Document& document, const Token& token)
{
    if (token.type != TokenType::StartTag)
        return false;
    if (token.tag == Tag::Font)
        return std::any_of(token.attributes.begin(), token.attributes.end(), [&](const Attribute& a) {
            const std::string_view name = document.text(a.name);
            return name == "color" || name == "face" || name == "size";
        });
    return IsAny(token.tag, {Tag::B,      Tag::Big,     Tag::Blockquote, Tag::Body, Tag::Br,    Tag::Center, Tag::Code,
                             Tag::Dd,     Tag::Div,     Tag::Dl,         Tag::Dt,   Tag::Em,    Tag::Embed,  Tag::H1,
                             Tag::H2,     Tag::H3,      Tag::H4,         Tag::H5,   Tag::H6,    Tag::Head,   Tag::Hr,
                             Tag::I,      Tag::Img,     Tag::Li,         Tag::Listing, Tag::Menu, Tag::Meta, Tag::Nobr,
                             Tag::Ol,     Tag::P,       Tag::Pre,        Tag::Ruby, Tag::S,     Tag::Small,  Tag::Span,
                             Tag::Strong, Tag::Strike,  Tag::Sub,        Tag::Sup,  Tag::Table, Tag::Tt,     Tag::U,
                             Tag::Ul,     Tag::Var});
}


} // namespace

bool TreeBuilder::isMathMlTextIntegrationPoint(NodeId element) const
{
    const Node& n = node(element);
    return n.ns == Namespace::MathMl && IsAny(n.tag, {Tag::Mi, Tag::Mo, Tag::Mn, Tag::Ms, Tag::Mtext});
}

bool TreeBuilder::isHtmlIntegrationPoint(NodeId element) const
{
    const Node& n = node(element);
    if (n.ns == Namespace::Svg)
        return IsAny(n.tag, {Tag::ForeignObject, Tag::Desc, Tag::Title});
    if (n.ns != Namespace::MathMl || n.tag != Tag::AnnotationXml)
        return false;
    const auto encoding = document_.attribute(element, "encoding");
    if (!encoding)
        return false;
    const std::string lowered = AsciiLowered(*encoding);
    return lowered == "text/html" || lowered == "application/xhtml+xml";
}

void TreeBuilder::foreignContent(Token& token)
{
    switch (token.type) {
    case TokenType::Characters: {
        const std::string_view chars = document_.text(token.text);
        if (IsNul(chars))
            return insertCharacters(document_.keep("\xEF\xBF\xBD"));
        insertCharacters(token.text);
        if (chars.find_first_not_of(" \t\n\f\r") != std::string_view::npos)
            framesetOk_ = false;
        return;
    }
    case TokenType::Comment:
    case TokenType::Doctype:
    case TokenType::EndOfFile:
        return;
    case TokenType::StartTag:
        if (BreaksOut(document_, token)) {
            while (!stack_.empty() && node(current()).ns != Namespace::Html && !isMathMlTextIntegrationPoint(current())
                   && !isHtmlIntegrationPoint(current()))
                pop();
            return process(mode_, token);
        }
        insertElement(token, node(current()).ns);
        if (token.selfClosing)
            pop();
        return;
    case TokenType::EndTag:
        for (std::size_t i = stack_.size() - 1; i > 0;) {
            const NodeId n = stack_[i];
            if (sameName(n, token)) {
                popUntilNode(n);
                return;
            }
            --i;
            if (node(stack_[i]).ns == Namespace::Html)
                return process(mode_, token);
        }
        return;
    }
}

} // namespace html
