#pragma once
// The links of an HTML page read by the HTML standard's parsing rules (tokenizer and tree
// construction), beside the three passes: attributes in any order, case and quoting, line
// breaks inside tags, character references decoded, comments, scripts and styles skipped.
//
// A link is an HTML "a" element with an "href" attribute, in document order. Its text is the
// element's text content (script and style contents left out) with every run of ASCII white
// space (blank, TAB, LF, FF, CR) made one blank and the ends trimmed; when that is empty, the
// "alt" texts of its images, treated alike. A link whose text is still empty is left out, as
// is one whose address is empty or only a fragment ("#..."). The address is the attribute
// cleaned as a URL parser cleans it (see UrlReference.h) and resolved against the page's base:
// the first <base href> resolved against the page's own address, or that address alone. A
// page without an address (a file) keeps the addresses as written, unless its <base href> is
// absolute.
//
// The page's encoding is found as browsers find it: a byte-order mark, the charset of the
// HTTP Content-Type, a <meta> declaration (see html/EncodingSniffing.h), else UTF-8, where each
// byte that does not decode becomes U+FFFD. The lines are UTF-8.
#include <string>
#include <string_view>
#include <vector>

namespace tarnby {

struct PageLink {
    std::string url;
    std::string text;
};

// pageUrl: where the page came from (after any relocations), or empty; contentType: the
// HTTP Content-Type it came with, or empty.
std::vector<PageLink> ExtractLinks(std::string_view page, std::string_view pageUrl, std::string_view contentType = {});

// The fragment names a page offers a link's "#name" to: every element's "id" and every "a"
// element's "name", as written, in document order (repeats kept).
std::vector<std::string> ExtractIds(std::string_view page, std::string_view contentType = {});

// One "URL|text" line per link, each followed by CR LF (a pane text). So that a line always
// holds exactly one "|", a "|" in the address is written "%7C" (the same address) and one in
// the text "&#124;" (its HTML reference); line breaks cannot remain in either, since addresses
// lose them when cleaned and texts when their white space is collapsed.
std::string LinkLines(const std::vector<PageLink>& links);

} // namespace tarnby
