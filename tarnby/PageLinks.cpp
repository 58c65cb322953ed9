#include "tarnby/PageLinks.h"

#include "platform/core/TextCodec.h"
#include "tarnby/UrlReference.h"

#include <gumbo.h>

#include <memory>
#include <optional>

namespace tarnby {

namespace {

// The parse tree, freed with the output.
using ParseTree = std::unique_ptr<GumboOutput, void (*)(GumboOutput*)>;

ParseTree Parse(const std::string& utf8)
{
    return ParseTree(gumbo_parse_with_options(&kGumboDefaultOptions, utf8.data(), utf8.size()),
                     [](GumboOutput* output) { gumbo_destroy_output(&kGumboDefaultOptions, output); });
}

std::string AsUtf8(std::string_view page)
{
    const platform::core::DecodedText decoded = platform::core::DecodeText(page);
    if (decoded.encoding == platform::core::TextEncoding::Utf8)
        return std::string(page);
    return decoded.text.toUtf8().toStdString();
}

bool IsHtmlElement(const GumboNode* node, GumboTag tag)
{
    return node->type == GUMBO_NODE_ELEMENT && node->v.element.tag == tag
        && node->v.element.tag_namespace == GUMBO_NAMESPACE_HTML;
}

const char* Attribute(const GumboNode* node, const char* name)
{
    const GumboAttribute* attribute = gumbo_get_attribute(&node->v.element.attributes, name);
    return attribute ? attribute->value : nullptr;
}

const GumboVector* Children(const GumboNode* node)
{
    switch (node->type) {
    case GUMBO_NODE_DOCUMENT:
        return &node->v.document.children;
    case GUMBO_NODE_ELEMENT:
    case GUMBO_NODE_TEMPLATE:
        return &node->v.element.children;
    default:
        return nullptr;
    }
}

// Calls visit(node) for root and every node below it in document order; visit returns
// whether to go into the node's children. Iterative: real pages nest deeply.
template <typename Visit>
void Walk(const GumboNode* root, Visit&& visit)
{
    std::vector<const GumboNode*> pending{root};
    while (!pending.empty()) {
        const GumboNode* node = pending.back();
        pending.pop_back();
        if (!visit(node))
            continue;
        if (const GumboVector* children = Children(node))
            for (unsigned i = children->length; i-- > 0;)
                pending.push_back(static_cast<const GumboNode*>(children->data[i]));
    }
}

bool IsAsciiWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

// Appends text to out with white space collapsed; out never ends in a blank while
// pendingBlank says one is owed before the next word.
class CollapsedText {
public:
    void add(std::string_view text)
    {
        for (const char c : text) {
            if (IsAsciiWhiteSpace(c)) {
                pendingBlank_ = !text_.empty();
                continue;
            }
            if (pendingBlank_)
                text_ += ' ';
            pendingBlank_ = false;
            text_ += c;
        }
    }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
    bool pendingBlank_ = false;
};

bool HoldsText(const GumboNode* node)
{
    return node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE
        || node->type == GUMBO_NODE_CDATA;
}

std::string LinkText(const GumboNode* link)
{
    CollapsedText text;
    CollapsedText alts;
    Walk(link, [&](const GumboNode* node) {
        if (HoldsText(node))
            text.add(node->v.text.text);
        if (IsHtmlElement(node, GUMBO_TAG_IMG))
            if (const char* alt = Attribute(node, "alt")) {
                alts.add(" ");
                alts.add(alt);
            }
        return !IsHtmlElement(node, GUMBO_TAG_SCRIPT) && !IsHtmlElement(node, GUMBO_TAG_STYLE);
    });
    std::string result = text.take();
    return result.empty() ? alts.take() : result;
}

// The URL relative addresses are resolved against, if any.
std::optional<std::string> BaseUrl(const GumboNode* document, std::string_view pageUrl)
{
    const char* baseHref = nullptr;
    Walk(document, [&](const GumboNode* node) {
        if (baseHref == nullptr && IsHtmlElement(node, GUMBO_TAG_BASE))
            baseHref = Attribute(node, "href");
        return baseHref == nullptr;
    });
    if (baseHref != nullptr) {
        const std::string href = CleanUrlText(baseHref);
        std::string base = pageUrl.empty() ? href : ResolveReference(pageUrl, href);
        if (HasScheme(base))
            return base;
    }
    if (!pageUrl.empty())
        return std::string(pageUrl);
    return std::nullopt;
}

void ReplaceAll(std::string& text, char what, std::string_view with)
{
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
        text.replace(at, 1, with);
}

} // namespace

std::vector<PageLink> ExtractLinks(std::string_view page, std::string_view pageUrl)
{
    const std::string utf8 = AsUtf8(page);
    const ParseTree tree = Parse(utf8);
    const std::optional<std::string> base = BaseUrl(tree->document, pageUrl);
    std::vector<PageLink> links;
    Walk(tree->document, [&](const GumboNode* node) {
        if (!IsHtmlElement(node, GUMBO_TAG_A))
            return true;
        const char* href = Attribute(node, "href");
        if (href == nullptr)
            return true;
        const std::string address = CleanUrlText(href);
        if (address.empty() || address.starts_with('#'))
            return true;
        std::string text = LinkText(node);
        if (!text.empty())
            links.push_back({base ? ResolveReference(*base, address) : address, std::move(text)});
        return true;
    });
    return links;
}

std::string LinkLines(const std::vector<PageLink>& links)
{
    std::string lines;
    for (PageLink link : links) {
        ReplaceAll(link.url, '|', "%7C");
        ReplaceAll(link.text, '|', "&#124;");
        lines.append(link.url).append("|").append(link.text).append("\r\n");
    }
    return lines;
}

} // namespace tarnby
