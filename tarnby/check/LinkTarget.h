#pragma once
// What a link's address asks the checker to do, decided from the address alone: check it
// over HTTP, look at the file system, or leave it (mailto:, tel:, javascript: and schemes the
// checker does not speak); and which pages belong to the site a recursive check walks.
#include <string>
#include <string_view>

namespace tarnby::check {

enum class LinkKind { Http, File, Skipped };

struct LinkTarget {
    LinkKind kind = LinkKind::Skipped;
    std::string resource; // the address without its fragment: what is checked once
    std::string fragment; // after "#", empty when none
    std::string scheme;   // lower-cased; empty for an address without one
};

LinkTarget ClassifyLink(std::string_view address);

// The site a recursive check stays in: scheme, host and port of the start page, and the
// folder of its path ("http://h/docs/index.html" walks "http://h/docs/..." only).
class SiteScope {
public:
    explicit SiteScope(std::string_view startUrl);
    bool contains(std::string_view resource) const;

private:
    std::string origin_; // "http://host:port", host lower-cased, the default port written out
    std::string folder_; // "/docs/"
};

// "scheme://host:port" of an address, lower-cased, the default port written out: what the
// per-host limit counts by.
std::string OriginOf(std::string_view url);

// The file-system path a "file:" address names, its %XX escapes decoded; empty for one
// naming another host.
std::string FilePath(std::string_view fileUrl);

} // namespace tarnby::check
