#include "tarnby/html/Parse.h"

#include "tarnby/html/TreeBuilder.h"

namespace tarnby::html {

std::unique_ptr<Document> Parse(std::string_view utf8)
{
    auto document = std::make_unique<Document>(utf8);
    TreeBuilder(*document).run();
    return document;
}

} // namespace tarnby::html
