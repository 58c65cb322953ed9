#include "html/Parse.h"

namespace html {

std::unique_ptr<Document> Parse(std::string_view utf8, Templates templates)
{
    auto document = std::make_unique<Document>(utf8);
    TreeBuilder(*document, templates).run();
    return document;
}

} // namespace html
