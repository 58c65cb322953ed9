#include "httpprot/RequestHeader.h"

#include "httpprot/UrlRoutines.h"

namespace httpprot {

std::vector<std::string> RequestHeaderLines(const RequestHeaderSettings& s)
{
    std::vector<std::string> lines;
    const bool post = s.method == "POST";
    lines.push_back(s.method + " " + s.path + " HTTP/1.0");
    if (!s.sender.empty())
        lines.push_back("From: " + s.sender);
    if (!s.reference.empty())
        lines.push_back("Referer: " + s.reference);
    if (post && !s.contentTypePost.empty())
        lines.push_back("Content-Type: " + s.contentTypePost);
    if (!s.agent.empty())
        lines.push_back("User-Agent: " + s.agent);
    lines.push_back("Host: " + s.targetHost);
    if (s.noCache)
        lines.push_back("Pragma: no-cache");
    if (post)
        lines.push_back("Content-Length: " + std::to_string(s.postSize.value_or(0)));
    if (!s.modifiedSince.isNull())
        lines.push_back("If-Modified-Since: " + FormatHttpDate(s.modifiedSince) + " GMT");
    if (!s.username.empty())
        lines.push_back("Authorization: Basic " + EncodeBase64(s.username + ":" + s.password));
    if (s.viaProxy && !s.proxyUsername.empty())
        lines.push_back("Proxy-Authorization: Basic " + EncodeBase64(s.proxyUsername + ":" + s.proxyPassword));
    if (!s.cookie.empty())
        lines.push_back("Cookie: " + s.cookie);
    lines.emplace_back();
    return lines;
}

} // namespace httpprot
