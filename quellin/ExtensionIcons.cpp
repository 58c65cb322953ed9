#include "quellin/ExtensionIcons.h"

#include "base/Text.h"

namespace quellin {

std::string NameExtension(const std::string& name)
{
    const std::size_t dot = base::LastDelimiter(".", name);
    return dot == 0 ? std::string() : base::LowerCase(std::string_view(name).substr(dot - 1));
}

int ExtensionIconCache::ImageFor(const std::string& name, int fallbackIndex)
{
    const std::string extension = NameExtension(name);
    if (extension.empty())
        return fallbackIndex;
    auto found = indices_.find(extension);
    if (found == indices_.end())
        found = indices_.emplace(extension, loader_ ? loader_(extension) : -1).first;
    return found->second < 0 ? fallbackIndex : found->second;
}

} // namespace quellin
