#include "httpprot/UrlRoutines.h"

#include "base/Text.h"

#include <array>

namespace httpprot {

namespace {

bool StartsWithNoCase(std::string_view s, std::string_view prefix)
{
    return s.size() >= prefix.size() && base::LowerCase(s.substr(0, prefix.size())) == prefix;
}

// Step 2 and 3: the rest after the scheme is authority, then path from its first "/".
void SplitRest(std::string_view rest, std::string& user, std::string& password,
               std::string& host, std::string& port, std::string& path)
{
    const auto slash = rest.find('/');
    std::string_view authority = rest;
    if (slash != std::string_view::npos) {
        path = std::string(rest.substr(slash));
        authority = rest.substr(0, slash);
    }
    const std::size_t b = base::LastDelimiter(":", authority);
    const std::size_t c = base::LastDelimiter("@", authority);
    if (b == 0 && c == 0) {
        host = std::string(authority);
        return;
    }
    if (b > c) {
        port = base::Copy(authority, static_cast<long long>(b) + 1, static_cast<long long>(authority.size()));
        host = base::Copy(authority, static_cast<long long>(c) + 1, static_cast<long long>(b - c - 1));
        if (c == 0)
            return;
    } else {
        host = base::Copy(authority, static_cast<long long>(c) + 1, static_cast<long long>(authority.size()));
    }
    const std::string_view userInfo = authority.substr(0, c - 1);
    const auto colon = userInfo.find(':');
    if (colon == std::string_view::npos) {
        user = std::string(userInfo);
    } else {
        user = std::string(userInfo.substr(0, colon));
        password = std::string(userInfo.substr(colon + 1));
    }
}

} // namespace

void ParseURL(std::string_view url, std::string& protocol, std::string& user,
              std::string& password, std::string& host, std::string& port, std::string& path)
{
    protocol.clear();
    user.clear();
    password.clear();
    host.clear();
    port.clear();
    path.clear();
    if (url.empty())
        return;

    std::string_view rest;
    if (const std::size_t p = base::Pos("://", url); p > 0) {
        protocol = std::string(url.substr(0, p - 1));
        rest = url.substr(p + 2);
    } else if (url[0] == '/') {
        protocol = "http";
        if (url.size() > 1 && url[1] != '/') {
            path = std::string(url);
            return;
        }
        // "/" alone gives an empty rest; "//" starts the authority after both slashes.
        rest = url.substr(url.size() > 1 ? 2 : 1);
    } else if (!StartsWithNoCase(url, "http:")) {
        if (StartsWithNoCase(url, "mailto:")) {
            protocol = "mailto";
            rest = url.substr(url.find(':') + 1);
        } else {
            rest = url;
        }
    } else {
        protocol = "http";
        if (url.size() > 6 && url[6] != '/') {
            path = std::string(url.substr(5));
            return;
        }
        rest = url.substr(url.size() > 6 ? 6 : url.size());
    }
    SplitRest(rest, user, password, host, port, path);
}

std::size_t LastPos(std::string_view needle, std::string_view text, int n)
{
    if (needle.empty() || needle.size() > text.size())
        return 0;
    if (n == -1) {
        const auto at = text.rfind(needle);
        return at == std::string_view::npos ? 0 : at + 1;
    }
    if (n < 1)
        return 0;
    std::size_t from = 0;
    for (int i = 1;; ++i) {
        const auto at = text.find(needle, from);
        if (at == std::string_view::npos)
            return 0;
        if (i == n)
            return at + 1;
        from = at + 1;
    }
}

std::string ChangeDocExt(std::string_view name, std::string_view ext)
{
    const std::size_t dot = LastPos(".", name, -1);
    if (dot == 0)
        return std::string(name) + "." + std::string(ext);
    return std::string(name.substr(0, dot)) + std::string(ext);
}

std::string EncodeBase64(std::string_view text)
{
    static constexpr char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((text.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= text.size(); i += 3) {
        const unsigned v = static_cast<unsigned char>(text[i]) << 16
            | static_cast<unsigned char>(text[i + 1]) << 8 | static_cast<unsigned char>(text[i + 2]);
        out += alphabet[(v >> 18) & 63];
        out += alphabet[(v >> 12) & 63];
        out += alphabet[(v >> 6) & 63];
        out += alphabet[v & 63];
    }
    const std::size_t left = text.size() - i;
    if (left > 0) {
        unsigned v = static_cast<unsigned char>(text[i]) << 16;
        if (left == 2)
            v |= static_cast<unsigned char>(text[i + 1]) << 8;
        out += alphabet[(v >> 18) & 63];
        out += alphabet[(v >> 12) & 63];
        out += left == 2 ? alphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

std::string FormatHttpDate(const QDateTime& date)
{
    static constexpr std::string_view days = "MonTueWedThuFriSatSun";
    static constexpr std::string_view months = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const QDate d = date.date();
    const QTime t = date.time();
    if (!d.isValid())
        return {};
    std::array<char, 40> buffer{};
    const int written = std::snprintf(buffer.data(), buffer.size(), "%.3s, %02d %.3s %04d %02d:%02d:%02d",
        days.data() + 3 * (d.dayOfWeek() - 1), d.day(), months.data() + 3 * (d.month() - 1),
        d.year(), t.hour(), t.minute(), t.second());
    return std::string(buffer.data(), static_cast<std::size_t>(written > 0 ? written : 0));
}

std::string DocumentNameFromPath(std::string_view path)
{
    static constexpr std::string_view fallback = "document.htm";
    if (path.empty() || path == "/")
        return std::string(fallback);
    std::string_view p = path;
    if (p.back() == '/')
        p.remove_suffix(1);
    std::string name(p.substr(LastPos("/", p, -1)).substr(0, 255));
    if (const auto query = name.find('?'); query != std::string::npos)
        name.erase(query);
    if (name.empty() || name == "." || name == ".." || name.find('\0') != std::string::npos)
        return std::string(fallback);
    return name;
}

} // namespace httpprot
