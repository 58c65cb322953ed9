// Fuzz target: any bytes, decoded as a page is and parsed with its errors, give errors in
// offset order inside the text, each with a message, and lines and columns that never go back.
#include "html/Page.h"
#include "html/Parse.h"
#include "html/ParseErrors.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto page = html::ParsePage(bytes, "");
    std::vector<html::ParseError> errors;
    const auto document = html::Parse(page->document->page(), html::Templates::Standard, &errors);
    const html::LinePositions lines(document->page());
    html::TextPosition last;
    std::uint32_t lastOffset = 0;
    for (const html::ParseError& error : errors) {
        if (error.offset < lastOffset || error.offset > document->page().size() || html::MessageOf(error).empty())
            std::abort();
        const html::TextPosition at = lines.at(error.offset);
        if (at.line < last.line || (at.line == last.line && at.column < last.column))
            std::abort();
        last = at;
        lastOffset = error.offset;
    }
    return 0;
}
