#include "httpprot/RequestTarget.h"

#include "base/Text.h"
#include "httpprot/UrlRoutines.h"

#include <algorithm>

namespace httpprot {

namespace {

struct ParsedUrl {
    std::string protocol, user, password, host, port, path;
};

ParsedUrl Parse(std::string_view url)
{
    ParsedUrl u;
    ParseURL(url, u.protocol, u.user, u.password, u.host, u.port, u.path);
    return u;
}

std::string Authority(const std::string& host, const std::string& port)
{
    return port.empty() ? host : host + ":" + port;
}

std::string OrHttp(const std::string& protocol)
{
    return protocol.empty() ? std::string("http") : protocol;
}

// How a location value relates to the current target.
enum class LocationKind {
    OriginPath, // "/x": a path on the same origin ("//host/x" is a network path: Absolute)
    BareName,   // "page.html": parses as a host; taken as a name below the origin's root
    Absolute,   // names a host: a new origin
    Hostless,   // "http:/x", "http://", "": a path without a host, on the same origin
};

LocationKind Classify(std::string_view v, const ParsedUrl& u)
{
    if (!v.empty() && v[0] == '/' && (v.size() < 2 || v[1] != '/'))
        return LocationKind::OriginPath;
    if (u.host.empty())
        return LocationKind::Hostless;
    if (u.protocol.empty() && u.port.empty() && u.path.empty())
        return LocationKind::BareName;
    return LocationKind::Absolute;
}

bool IsHttps(const std::string& protocol)
{
    return base::LowerCase(protocol) == "https";
}

std::string DefaultPort(bool tls)
{
    return tls ? "443" : "80";
}

std::string PathOrRoot(const std::string& path)
{
    return path.empty() ? std::string("/") : path;
}

void ApplyDirect(std::string_view v, RequestTarget& t)
{
    const ParsedUrl u = Parse(v);
    const std::string protocol = OrHttp(u.protocol);
    switch (Classify(v, u)) {
    case LocationKind::OriginPath:
        t.path = std::string(v);
        return;
    case LocationKind::BareName:
        t.path = protocol + "://" + t.targetHost + "/" + u.host;
        t.hostName = t.targetHost;
        return;
    case LocationKind::Absolute:
        t.path = PathOrRoot(u.path);
        t.hostName = u.host;
        t.targetHost = u.host;
        if (IsHttps(protocol) != t.tls) {
            t.tls = !t.tls;
            t.port = DefaultPort(t.tls);
        }
        break;
    case LocationKind::Hostless:
        t.path = protocol + "://" + t.targetHost + PathOrRoot(u.path);
        t.hostName = t.targetHost;
        break;
    }
    // A location without a port keeps the current one (not "80").
    if (!u.port.empty())
        t.port = u.port;
}

void ApplyViaProxy(std::string_view v, RequestTarget& t)
{
    const ParsedUrl u = Parse(v);
    const std::string protocol = OrHttp(u.protocol);
    const std::string origin = protocol + "://" + Authority(t.targetHost, t.targetPort);
    switch (Classify(v, u)) {
    case LocationKind::OriginPath:
    case LocationKind::Hostless:
        t.path = origin + PathOrRoot(u.path);
        break;
    case LocationKind::BareName:
        t.path = origin + "/" + u.host;
        break;
    case LocationKind::Absolute:
        // The new origin: later relative locations and the Host header follow it.
        t.path = protocol + "://" + Authority(u.host, u.port) + PathOrRoot(u.path);
        t.targetHost = u.host;
        t.targetPort = u.port;
        t.tls = IsHttps(protocol);
        break;
    }
}

bool HasControlCharacter(std::string_view v)
{
    return std::any_of(v.begin(), v.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b < 0x20 || b == 0x7F;
    });
}

bool SchemeCharacter(char c, bool first)
{
    const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return alpha || (!first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
}

// The scheme a location names, lower-cased; empty when it names none. A colon followed by a
// digit is read as a port ("host:8080/x"), as the URL routines read it.
std::string NamedScheme(std::string_view v)
{
    std::size_t i = 0;
    while (i < v.size() && SchemeCharacter(v[i], i == 0))
        ++i;
    if (i == 0 || i >= v.size() || v[i] != ':')
        return {};
    const std::string_view after = v.substr(i + 1);
    if (!after.empty() && after[0] >= '0' && after[0] <= '9')
        return {};
    return base::LowerCase(v.substr(0, i));
}

bool FollowableScheme(std::string_view v)
{
    const std::string named = NamedScheme(v);
    if (!named.empty())
        return named == "http" || named == "https";
    // Whatever the URL routines would take as a protocol ("x://" after odd leading bytes).
    std::string protocol, user, password, host, port, path;
    ParseURL(v, protocol, user, password, host, port, path);
    const std::string p = base::LowerCase(protocol);
    return p.empty() || p == "http" || p == "https";
}

// Scheme, host and port of the origin a request goes to, whatever carries it.
struct Origin {
    bool tls;
    std::string host;
    std::string port;
    bool operator==(const Origin&) const = default;
};

Origin OriginOf(const RequestTarget& t)
{
    std::string port = t.viaProxy ? t.targetPort : t.port;
    if (port.empty())
        port = DefaultPort(t.tls);
    return {t.tls, base::LowerCase(t.targetHost), port};
}

} // namespace

RequestTarget TargetForUrl(std::string_view url, std::string_view proxy, std::string_view proxyPort)
{
    RequestTarget t;
    const ParsedUrl u = Parse(url);
    t.targetHost = u.host;
    t.targetPort = u.port;
    t.user = u.user;
    t.password = u.password;
    t.documentName = DocumentNameFromPath(u.path);
    t.tls = IsHttps(u.protocol);
    if (proxy.empty()) {
        t.hostName = u.host;
        t.port = u.port.empty() ? DefaultPort(t.tls) : u.port;
        t.path = u.path;
    } else {
        t.viaProxy = true;
        t.path = OrHttp(u.protocol) + "://" + Authority(u.host, u.port) + u.path;
        const ParsedUrl p = Parse(proxy);
        t.hostName = p.host;
        t.port = p.port.empty() ? std::string(proxyPort) : p.port;
    }
    if (t.path.empty())
        t.path.push_back('/');
    return t;
}

LocationVerdict ApplyLocation(std::string_view location, RequestTarget& target)
{
    if (HasControlCharacter(location))
        return LocationVerdict::ControlCharacters;
    if (!FollowableScheme(location))
        return LocationVerdict::OtherScheme;
    // A network-path reference ("//host/x") keeps the current scheme; read alone it would
    // say "http" and leave an https page for plain text.
    if (target.tls && location.starts_with("//"))
        return ApplyLocation("https:" + std::string(location), target);
    const Origin before = OriginOf(target);
    if (target.viaProxy)
        ApplyViaProxy(location, target);
    else
        ApplyDirect(location, target);
    return OriginOf(target) == before ? LocationVerdict::SameOrigin : LocationVerdict::NewOrigin;
}

std::string RequestUri(const RequestTarget& target)
{
    if (!(target.viaProxy && target.tls))
        return target.path;
    const std::size_t scheme = target.path.find("://");
    const std::size_t slash = scheme == std::string::npos ? 0 : target.path.find('/', scheme + 3);
    return slash == std::string::npos ? std::string("/") : target.path.substr(slash);
}

std::string TunnelAuthority(const RequestTarget& target)
{
    return target.targetHost + ":" + (target.targetPort.empty() ? DefaultPort(true) : target.targetPort);
}

} // namespace httpprot
