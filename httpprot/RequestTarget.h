#pragma once
// Where a request goes and what it asks for: the connection host and port, the request-URI,
// the Host header's host and the local document name, derived from the URL and the proxy
// settings when a request starts, and moved by each "location" answer. Pure functions, so
// every rule can be checked without a socket.
#include <string>
#include <string_view>

namespace httpprot {

struct RequestTarget {
    std::string hostName;   // where to connect: the origin server, or the proxy
    std::string port;       // port text for that connection
    std::string path;       // request-URI: a path, or an absolute URI through a proxy
    std::string targetHost; // for the Host header (never with a port)
    std::string targetPort; // the origin's port as the URL gave it (empty: the default)
    std::string documentName;
    std::string user;       // user information of the URL; empty when it has none
    std::string password;
    bool viaProxy = false;
    bool tls = false;       // the origin is reached over TLS ("https"), through a tunnel with a proxy
};

// proxy empty: direct to the URL's host and port ("80" when the URL names none, "443" for
// "https"). Otherwise the
// connection goes to the proxy's host and its port, or proxyPort when it names none, and the
// request-URI is absolute: protocol ("http" when the URL has none) "://" host [":" port] path.
// The path is "/" when the URL has none.
RequestTarget TargetForUrl(std::string_view url, std::string_view proxy, std::string_view proxyPort);

// What following a "location" value does to the request.
enum class LocationVerdict {
    SameOrigin,        // same scheme, host and port: credentials may go along
    NewOrigin,         // scheme, host or port changed: credentials must stay behind
    OtherScheme,       // names a scheme other than http or https: not followed
    ControlCharacters, // holds a byte below 0x20 or 0x7F: not followed (it would split the request)
};

// Moves target to the value of a "location" field (its user information is ignored). A
// location that changes between "http" and "https" without naming a port goes to the new
// scheme's default port. A refused location (OtherScheme, ControlCharacters) leaves target
// as it was. "host:8080/x" is a host and port, not a scheme "host".
LocationVerdict ApplyLocation(std::string_view location, RequestTarget& target);

// The request-URI to send: path, except through a proxy's tunnel, where the origin server
// itself gets the path without scheme and authority.
std::string RequestUri(const RequestTarget& target);

// "host:port" of the origin for a proxy's CONNECT (port 443 when the URL names none).
std::string TunnelAuthority(const RequestTarget& target);

} // namespace httpprot
