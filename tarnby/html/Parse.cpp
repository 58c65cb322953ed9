#include "tarnby/html/Parse.h"

namespace tarnby::html {

std::unique_ptr<Document> Parse(std::string_view utf8, Templates templates)
{
    auto document = std::make_unique<Document>(utf8);
    TreeBuilder(*document, templates).run();
    return document;
}

} // namespace tarnby::html
