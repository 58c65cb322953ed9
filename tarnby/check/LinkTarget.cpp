#include "tarnby/check/LinkTarget.h"

#include "base/Text.h"
#include "tarnby/UrlReference.h"

namespace tarnby::check {

namespace {

struct Parts {
    std::string origin; // scheme "://" host[:port], lower-cased, default port written out
    std::string path;   // from the first "/" after the authority, without query; "/" when none
};

std::string PercentDecoded(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int high = text[i] == '%' && i + 2 < text.size() ? base::HexDigitValue(text[i + 1]) : -1;
        const int low = high >= 0 ? base::HexDigitValue(text[i + 2]) : -1;
        if (low >= 0) {
            out += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

Parts Split(std::string_view url)
{
    Parts p;
    const std::size_t colon = url.find("://");
    if (colon == std::string_view::npos)
        return p;
    const std::string scheme = base::LowerCase(url.substr(0, colon));
    const std::size_t hostStart = colon + 3;
    std::size_t end = url.find_first_of("/?#", hostStart);
    if (end == std::string_view::npos)
        end = url.size();
    std::string authority = base::LowerCase(url.substr(hostStart, end - hostStart));
    if (const std::size_t at = authority.rfind('@'); at != std::string::npos)
        authority.erase(0, at + 1);
    if (authority.find(':') == std::string::npos)
        authority += scheme == "https" ? ":443" : ":80";
    p.origin = scheme + "://" + authority;
    std::string_view rest = url.substr(end);
    rest = rest.substr(0, rest.find_first_of("?#"));
    p.path = rest.empty() ? std::string("/") : std::string(rest);
    return p;
}

} // namespace

LinkTarget ClassifyLink(std::string_view address)
{
    LinkTarget t;
    const std::size_t hash = address.find('#');
    t.resource = std::string(address.substr(0, hash));
    if (hash != std::string_view::npos)
        t.fragment = std::string(address.substr(hash + 1));
    if (HasScheme(address))
        t.scheme = base::LowerCase(address.substr(0, address.find(':')));
    if (t.scheme == "http" || t.scheme == "https")
        t.kind = t.resource.find("://") != std::string::npos ? LinkKind::Http : LinkKind::Skipped;
    else if (t.scheme == "file" || t.scheme.empty())
        t.kind = LinkKind::File;
    else
        t.kind = LinkKind::Skipped;
    return t;
}

SiteScope::SiteScope(std::string_view startUrl)
{
    const Parts p = Split(startUrl);
    origin_ = p.origin;
    folder_ = p.path.substr(0, p.path.rfind('/') + 1);
}

bool SiteScope::contains(std::string_view resource) const
{
    const Parts p = Split(resource);
    return !origin_.empty() && p.origin == origin_ && p.path.starts_with(folder_);
}

std::string OriginOf(std::string_view url)
{
    return Split(url).origin;
}

std::string FilePath(std::string_view fileUrl)
{
    std::string_view rest = fileUrl;
    if (HasScheme(rest))
        rest.remove_prefix(rest.find(':') + 1);
    if (rest.starts_with("//")) {
        rest.remove_prefix(2);
        const std::size_t slash = rest.find('/');
        const std::string_view host = rest.substr(0, slash);
        if (!host.empty() && base::LowerCase(host) != "localhost")
            return {};
        rest = slash == std::string_view::npos ? std::string_view("/") : rest.substr(slash);
    }
    rest = rest.substr(0, rest.find_first_of("?#"));
    return PercentDecoded(rest);
}

} // namespace tarnby::check
