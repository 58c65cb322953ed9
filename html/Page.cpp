#include "html/Page.h"

#include "base/Utf8.h"
#include "html/Decode.h"
#include "html/EncodingSniffing.h"
#include "html/Parse.h"

namespace html {

namespace {

void DecodeAndParse(ParsedPage& page, std::string_view bytes, Templates templates)
{
    page.decoded.clear();
    std::string_view text = bytes;
    if (page.encoding.name != "UTF-8" || !base::IsValidUtf8(bytes)) {
        page.decoded = DecodeToUtf8(bytes, page.encoding);
        text = page.decoded;
    }
    page.document = Parse(text, templates);
}

} // namespace

std::unique_ptr<ParsedPage> ParsePage(std::string_view bytes, std::string_view contentType, Templates templates)
{
    const SniffedEncoding sniffed = SniffEncoding(bytes, contentType);
    bytes.remove_prefix(sniffed.byteOrderMark);
    auto page = std::make_unique<ParsedPage>();
    page->encoding = sniffed.encoding;
    DecodeAndParse(*page, bytes, templates);
    if (sniffed.certain || !page->document->declaredEncoding())
        return page;
    Encoding declared = *page->document->declaredEncoding();
    if (IsUtf16(declared))
        declared = EncodingNamed("UTF-8");
    if (declared.name != page->encoding.name) {
        page->encoding = declared;
        DecodeAndParse(*page, bytes, templates);
    }
    return page;
}

} // namespace html
