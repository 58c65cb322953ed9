#include "html/Tags.h"

#include <array>
#include <cstdint>
#include <iterator>

namespace html {

namespace {

struct NamedTag {
    std::string_view name;
    Tag tag;
};

constexpr NamedTag kTags[] = {
#define HTML_TAG_ENTRY(id, name) {name, Tag::id},
    HTML_TAGS(HTML_TAG_ENTRY)
#undef HTML_TAG_ENTRY
};

constexpr std::size_t kSlots = 512; // a power of two, well above the number of names

constexpr std::uint32_t Hash(std::string_view name)
{
    std::uint32_t hash = 2166136261u;
    for (const char c : name)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

// Open addressing: each name at its hash's slot or the next free one after it.
constexpr std::array<std::uint8_t, kSlots> MakeSlots()
{
    std::array<std::uint8_t, kSlots> slots{};
    for (std::size_t i = 0; i < std::size(kTags); ++i) {
        std::size_t slot = Hash(kTags[i].name) & (kSlots - 1);
        while (slots[slot] != 0)
            slot = (slot + 1) & (kSlots - 1);
        slots[slot] = static_cast<std::uint8_t>(i + 1);
    }
    return slots;
}

constexpr auto kSlotTable = MakeSlots();
static_assert(std::size(kTags) < kSlots / 2);

} // namespace

Tag TagOf(std::string_view name)
{
    for (std::size_t slot = Hash(name) & (kSlots - 1); kSlotTable[slot] != 0; slot = (slot + 1) & (kSlots - 1)) {
        const NamedTag& entry = kTags[kSlotTable[slot] - 1];
        if (entry.name == name)
            return entry.tag;
    }
    return Tag::Other;
}

} // namespace html
