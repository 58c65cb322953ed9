#pragma once
// The lines of a request header, in their fixed order, from the client's settings. The last
// line is always the empty one that ends the header. No line carries its CR LF.
#include <QDateTime>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace httpprot {

struct RequestHeaderSettings {
    std::string method;        // "GET", "POST" or "HEAD"
    std::string path;          // request-URI
    std::string sender;        // From
    std::string reference;     // Referer
    std::string contentTypePost;
    std::string agent;         // User-Agent
    std::string targetHost;    // Host (always sent)
    bool noCache = false;
    std::optional<std::int64_t> postSize; // Content-Length, for POST
    QDateTime modifiedSince;   // If-Modified-Since when not null
    std::string username, password;
    bool viaProxy = false;
    std::string proxyUsername, proxyPassword;
    std::string cookie;
};

std::vector<std::string> RequestHeaderLines(const RequestHeaderSettings& s);

} // namespace httpprot
