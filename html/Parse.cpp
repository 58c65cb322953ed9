#include "html/Parse.h"

#include <algorithm>

namespace html {

namespace {

// Characters the standard reports wherever they stand: C0 and C1 controls other than the
// white space characters and NUL (which the tokenizer reports), and noncharacters.
void InputStreamErrors(Document& document)
{
    const std::string_view text = document.page();
    for (std::size_t at = 0; at < text.size(); ++at) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte < 0x20) {
            if (byte != 0 && byte != '\t' && byte != '\n' && byte != '\f' && byte != '\r')
                document.reportError(static_cast<std::uint32_t>(at), ErrorCode::ControlCharacterInInputStream);
        } else if (byte == 0x7F) {
            document.reportError(static_cast<std::uint32_t>(at), ErrorCode::ControlCharacterInInputStream);
        } else if (byte == 0xC2 && at + 1 < text.size() && static_cast<unsigned char>(text[at + 1]) <= 0x9F) {
            document.reportError(static_cast<std::uint32_t>(at), ErrorCode::ControlCharacterInInputStream);
        } else if (byte == 0xEF && at + 2 < text.size()) {
            // U+FDD0..U+FDEF and U+FFFE, U+FFFF.
            const auto second = static_cast<unsigned char>(text[at + 1]);
            const auto third = static_cast<unsigned char>(text[at + 2]);
            if ((second == 0xB7 && third >= 0x90 && third <= 0xAF) || (second == 0xBF && third >= 0xBE))
                document.reportError(static_cast<std::uint32_t>(at), ErrorCode::NoncharacterInInputStream);
        } else if (byte >= 0xF0 && at + 3 < text.size()) {
            // U+nFFFE and U+nFFFF of the planes above the first.
            const auto second = static_cast<unsigned char>(text[at + 1]);
            const auto third = static_cast<unsigned char>(text[at + 2]);
            const auto fourth = static_cast<unsigned char>(text[at + 3]);
            if ((second & 0x0F) == 0x0F && third == 0xBF && fourth >= 0xBE)
                document.reportError(static_cast<std::uint32_t>(at), ErrorCode::NoncharacterInInputStream);
        }
    }
}

} // namespace

std::unique_ptr<Document> Parse(std::string_view utf8, Templates templates, std::vector<ParseError>* errors)
{
    auto document = std::make_unique<Document>(utf8);
    if (errors != nullptr) {
        errors->clear();
        document->keepErrorsIn(errors);
        InputStreamErrors(*document);
    }
    TreeBuilder(*document, templates).run();
    if (errors != nullptr) {
        std::stable_sort(errors->begin(), errors->end(),
                         [](const ParseError& a, const ParseError& b) { return a.offset < b.offset; });
        document->keepErrorsIn(nullptr);
    }
    return document;
}

} // namespace html
