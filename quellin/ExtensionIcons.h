#pragma once
// The remote view's extension icon cache: lower-case extensions (with their ".") and the image
// index each one's icon has in both of the view's image lists.
#include <functional>
#include <string>
#include <unordered_map>

namespace quellin {

// The lower-case text from the name's last "." to its end; empty when the name has no ".".
std::string NameExtension(const std::string& name);

class ExtensionIconCache {
public:
    // Looks up an extension's icons, adds them to both image lists and returns their index;
    // -1 when the desktop has no icon for it.
    using IconLoader = std::function<int(const std::string& extension)>;

    explicit ExtensionIconCache(IconLoader loader) : loader_(std::move(loader)) {}

    // The image of a file, link or other non-folder entry: its extension's icon, or
    // fallbackIndex when the name has no extension or the desktop no icon for it. Each
    // extension is looked up once; one without an icon is remembered too, so a folder full of
    // such files does not ask the desktop again and again.
    int ImageFor(const std::string& name, int fallbackIndex);

    std::size_t size() const { return indices_.size(); }

private:
    IconLoader loader_;
    std::unordered_map<std::string, int> indices_; // -1: the desktop has no icon
};

} // namespace quellin
