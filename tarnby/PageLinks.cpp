#include "tarnby/PageLinks.h"

#include "platform/core/TextCodec.h"
#include "tarnby/UrlReference.h"

#include <QUtf8StringView>
#include <myhtml/api.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>

namespace tarnby {

namespace {

// The tree MyHTML builds of a page (on this thread alone), freed with its parser.
class ParseTree {
public:
    explicit ParseTree(const std::string& utf8) : parser_(myhtml_create()), tree_(myhtml_tree_create())
    {
        if (parser_ == nullptr || tree_ == nullptr || myhtml_init(parser_, MyHTML_OPTIONS_PARSE_MODE_SINGLE, 1, 0) != 0
            || myhtml_tree_init(tree_, parser_) != 0) {
            release();
            throw std::bad_alloc();
        }
        // The tree's string allocator files the unused tail of each full chunk in a cache that
        // every later allocation searches; with its 20 kB chunks that cache grows with the page
        // and the parse with it. Large chunks keep the cache short.
        myhtml_tree_get_mchar(tree_)->origin_size = kStringChunkBytes;
        if (myhtml_parse(tree_, MyENCODING_UTF_8, utf8.data(), utf8.size()) != 0) {
            release();
            throw std::bad_alloc();
        }
    }
    ~ParseTree() { release(); }
    ParseTree(const ParseTree&) = delete;
    ParseTree& operator=(const ParseTree&) = delete;
    myhtml_tree_node_t* document() const { return myhtml_tree_get_document(tree_); }

private:
    static constexpr std::size_t kStringChunkBytes = 1 << 20;

    void release()
    {
        if (tree_ != nullptr)
            myhtml_tree_destroy(tree_);
        if (parser_ != nullptr)
            myhtml_destroy(parser_);
    }

    myhtml_t* parser_;
    myhtml_tree_t* tree_;
};

using Node = myhtml_tree_node_t;

std::string AsUtf8(std::string_view page)
{
    if (QUtf8StringView(page.data(), static_cast<qsizetype>(page.size())).isValidUtf8())
        return std::string(page);
    return platform::core::DecodeWindows1252(page).toUtf8().toStdString();
}

bool IsHtmlElement(Node* node, myhtml_tag_id_t tag)
{
    return myhtml_node_tag_id(node) == tag && myhtml_node_namespace(node) == MyHTML_NAMESPACE_HTML;
}

const char* Attribute(Node* node, const char* name)
{
    myhtml_tree_attr_t* attribute = myhtml_attribute_by_key(node, name, std::strlen(name));
    if (attribute == nullptr)
        return nullptr;
    const char* value = myhtml_attribute_value(attribute, nullptr);
    return value ? value : "";
}

// Calls visit(node) for root and every node below it in document order; visit returns
// whether to go into the node's children. Iterative: real pages nest deeply.
template <typename Visit>
void Walk(Node* root, Visit&& visit)
{
    std::vector<Node*> pending{root};
    while (!pending.empty()) {
        Node* node = pending.back();
        pending.pop_back();
        if (!visit(node))
            continue;
        const std::size_t first = pending.size();
        for (Node* child = myhtml_node_child(node); child != nullptr; child = myhtml_node_next(child))
            pending.push_back(child);
        std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(first), pending.end());
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

std::string_view NodeText(Node* node)
{
    if (myhtml_node_tag_id(node) != MyHTML_TAG__TEXT)
        return {};
    std::size_t length = 0;
    const char* text = myhtml_node_text(node, &length);
    return text ? std::string_view(text, length) : std::string_view();
}

std::string LinkText(Node* link)
{
    CollapsedText text;
    CollapsedText alts;
    Walk(link, [&](Node* node) {
        text.add(NodeText(node));
        if (IsHtmlElement(node, MyHTML_TAG_IMG))
            if (const char* alt = Attribute(node, "alt")) {
                alts.add(" ");
                alts.add(alt);
            }
        return !IsHtmlElement(node, MyHTML_TAG_SCRIPT) && !IsHtmlElement(node, MyHTML_TAG_STYLE);
    });
    std::string result = text.take();
    return result.empty() ? alts.take() : result;
}

// The URL relative addresses are resolved against, if any; baseHref is the first <base href>.
std::optional<std::string> BaseUrl(const char* baseHref, std::string_view pageUrl)
{
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
    const ParseTree tree(utf8);
    const char* baseHref = nullptr;
    std::vector<PageLink> links;
    Walk(tree.document(), [&](Node* node) {
        if (baseHref == nullptr && IsHtmlElement(node, MyHTML_TAG_BASE))
            baseHref = Attribute(node, "href");
        if (!IsHtmlElement(node, MyHTML_TAG_A))
            return true;
        const char* href = Attribute(node, "href");
        if (href == nullptr)
            return true;
        const std::string address = CleanUrlText(href);
        if (address.empty() || address.starts_with('#'))
            return true;
        std::string text = LinkText(node);
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
