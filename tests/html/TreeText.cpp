#include "TreeText.h"

namespace html::test {

std::string TextBelow(const Document& document, NodeId node)
{
    std::string text;
    for (NodeId child = document.node(node).firstChild; child != kNoNode; child = document.node(child).next)
        text += document.node(child).kind == NodeKind::Text ? std::string(document.text(document.node(child).text))
                                                            : TextBelow(document, child);
    return text;
}

NodeId FirstLink(const Document& document, NodeId node)
{
    if (document.isHtml(node, Tag::A))
        return node;
    for (NodeId child = document.node(node).firstChild; child != kNoNode; child = document.node(child).next)
        if (const NodeId found = FirstLink(document, child); found != kNoNode)
            return found;
    return kNoNode;
}

} // namespace html::test
