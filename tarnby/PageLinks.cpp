#include "tarnby/PageLinks.h"

#include "tarnby/UrlReference.h"
#include "html/Page.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace tarnby {

namespace {

using html::Document;
using html::NodeId;
using html::Tag;

// Calls visit(node) for root and every node below it in document order; visit returns
// whether to go into the node's children. Iterative, along the tree's own links: real pages
// nest deeply, and every link's text is walked.
template <typename Visit>
void Walk(const Document& document, NodeId root, Visit&& visit)
{
    for (NodeId node = root;;) {
        NodeId next = visit(node) ? document.node(node).firstChild : html::kNoNode;
        for (NodeId up = node; next == html::kNoNode; up = document.node(up).parent) {
            if (up == root)
                return;
            next = document.node(up).next;
        }
        node = next;
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
        for (std::size_t at = 0; at < text.size();) {
            if (IsAsciiWhiteSpace(text[at])) {
                pendingBlank_ = !text_.empty();
                ++at;
                continue;
            }
            std::size_t end = at + 1;
            while (end < text.size() && !IsAsciiWhiteSpace(text[end]))
                ++end;
            if (pendingBlank_)
                text_ += ' ';
            pendingBlank_ = false;
            text_.append(text.substr(at, end - at));
            at = end;
        }
    }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
    bool pendingBlank_ = false;
};

std::string LinkText(const Document& document, NodeId link)
{
    CollapsedText text;
    CollapsedText alts;
    Walk(document, link, [&](NodeId node) {
        if (document.node(node).kind == html::NodeKind::Text)
            text.add(document.text(document.node(node).text));
        if (document.isHtml(node, Tag::Img))
            if (const auto alt = document.attribute(node, "alt")) {
                alts.add(" ");
                alts.add(*alt);
            }
        return !document.isHtml(node, Tag::Script) && !document.isHtml(node, Tag::Style);
    });
    std::string result = text.take();
    return result.empty() ? alts.take() : result;
}

// The URL relative addresses are resolved against, if any; baseHref is the first <base href>.
std::optional<std::string> BaseUrl(std::optional<std::string_view> baseHref, std::string_view pageUrl)
{
    if (baseHref) {
        const std::string href = CleanUrlText(*baseHref);
        std::string base = pageUrl.empty() ? href : ResolveReference(pageUrl, href);
        if (HasScheme(base))
            return base;
    }
    if (!pageUrl.empty())
        return std::string(pageUrl);
    return std::nullopt;
}

// Appends text to out with every "|" written as bar.
void AppendEscaped(std::string& out, std::string_view text, std::string_view bar)
{
    for (std::size_t at = 0;;) {
        const std::size_t found = text.find('|', at);
        out.append(text.substr(at, found == std::string_view::npos ? std::string_view::npos : found - at));
        if (found == std::string_view::npos)
            return;
        out.append(bar);
        at = found + 1;
    }
}

} // namespace

std::vector<PageLink> ExtractLinks(std::string_view page, std::string_view pageUrl, std::string_view contentType)
{
    // As html5lib, the reference the links are checked against, reads it.
    const std::unique_ptr<html::ParsedPage> parsed = html::ParsePage(page, contentType, html::Templates::Ordinary);
    const std::unique_ptr<Document>& document = parsed->document;
    std::optional<std::string_view> baseHref;
    bool baseSeen = false;
    std::vector<PageLink> links;
    Walk(*document, Document::root(), [&](NodeId node) {
        if (!baseSeen && document->isHtml(node, Tag::Base) && (baseHref = document->attribute(node, "href")))
            baseSeen = true;
        if (!document->isHtml(node, Tag::A))
            return true;
        const auto href = document->attribute(node, "href");
        if (!href)
            return true;
        const std::string address = CleanUrlText(*href);
        if (address.empty() || address.starts_with('#'))
            return true;
        std::string text = LinkText(*document, node);
        if (!text.empty())
            links.push_back({address, std::move(text)});
        return true;
    });
    // A <base> may follow links in the tree and still applies to them.
    if (const std::optional<std::string> base = BaseUrl(baseHref, pageUrl))
        for (PageLink& link : links)
            link.url = ResolveReference(*base, link.url);
    return links;
}

std::vector<std::string> ExtractIds(std::string_view page, std::string_view contentType)
{
    const std::unique_ptr<html::ParsedPage> parsed = html::ParsePage(page, contentType, html::Templates::Ordinary);
    const std::unique_ptr<Document>& document = parsed->document;
    std::vector<std::string> ids;
    Walk(*document, Document::root(), [&](NodeId node) {
        if (document->node(node).kind != html::NodeKind::Element)
            return true;
        if (const auto id = document->attribute(node, "id"))
            ids.emplace_back(*id);
        if (document->isHtml(node, Tag::A))
            if (const auto name = document->attribute(node, "name"))
                ids.emplace_back(*name);
        return true;
    });
    return ids;
}

std::string LinkLines(const std::vector<PageLink>& links)
{
    std::string lines;
    for (const PageLink& link : links) {
        AppendEscaped(lines, link.url, "%7C");
        lines += '|';
        AppendEscaped(lines, link.text, "&#124;");
        lines.append("\r\n");
    }
    return lines;
}

} // namespace tarnby
