#include "tarnby/html/Tags.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace tarnby::html {

namespace {

struct NamedTag {
    std::string_view name;
    Tag tag;
};

constexpr NamedTag kTags[] = {
#define TARNBY_HTML_TAG_ENTRY(id, name) {name, Tag::id},
    TARNBY_HTML_TAGS(TARNBY_HTML_TAG_ENTRY)
#undef TARNBY_HTML_TAG_ENTRY
};

constexpr bool SortedByName()
{
    for (std::size_t i = 1; i < std::size(kTags); ++i)
        if (!(kTags[i - 1].name < kTags[i].name))
            return false;
    return true;
}
static_assert(SortedByName(), "the tag list must stay in name order for the binary search");

} // namespace

Tag TagOf(std::string_view name)
{
    const auto found = std::lower_bound(std::begin(kTags), std::end(kTags), name,
                                        [](const NamedTag& entry, std::string_view wanted) { return entry.name < wanted; });
    return found != std::end(kTags) && found->name == name ? found->tag : Tag::Other;
}

} // namespace tarnby::html
