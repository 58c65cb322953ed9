#include "quellin/SiteList.h"

#include "base/Text.h"
#include "platform/core/IniFile.h"

namespace quellin {

const char* const kSettingsFile = "QUELLIN.INI";
const char* const kSitesSection = "FTP-Accounts";
const char* const kNoSitesHint =
    "No sites stored yet. To add one, put a line such as 1=user:password@host/path into the section "
    "[FTP-Accounts] of QUELLIN.INI in your configuration folder (normally ~/.config); "
    "examples/QUELLIN.INI shows the whole file.";

namespace {

// The text before the first separator, removed from rest together with the separator. Without
// one the field is empty and rest stays as it is.
std::string takeField(std::string& rest, char separator, bool keepSeparator)
{
    const std::size_t at = base::Pos(std::string_view(&separator, 1), rest);
    if (at == 0)
        return {};
    std::string field = rest.substr(0, at - 1);
    base::Delete(rest, 1, static_cast<long long>(keepSeparator ? at - 1 : at));
    return field;
}

struct SchemePart {
    bool present = false;
    std::string_view name;                  // as written, without "://"
    std::optional<RemoteProtocol> protocol; // empty for a scheme Quellin does not speak
    std::string_view rest;                  // what follows "://" (the whole value without one)
};

// A scheme is letters, digits, "+", "-" or "." from the first letter up to "://". Anything else
// (a ":" of user and password comes first) leaves the value as it is.
SchemePart takeScheme(std::string_view value)
{
    constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const std::size_t end = value.find("://");
    if (end == std::string_view::npos || end == 0 || kLetters.find(value[0]) == std::string_view::npos
        || value.substr(0, end).find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+-.")
            != std::string_view::npos)
        return { false, {}, {}, value };
    SchemePart part{ true, value.substr(0, end), {}, value.substr(end + 3) };
    const std::string lower = base::LowerCase(part.name);
    for (const RemoteProtocol protocol : { RemoteProtocol::Ftp, RemoteProtocol::Ftps, RemoteProtocol::Sftp })
        if (lower == SchemeOf(protocol))
            part.protocol = protocol;
    return part;
}

// Whether the part after the scheme holds ":" password before its "@" (or has no "@").
bool passwordGiven(std::string_view rest)
{
    const std::size_t colon = rest.find(':');
    return colon != std::string_view::npos && colon < rest.find('@');
}

// The value as a message may show it: "***" for what may be its password.
std::string withoutPassword(std::string_view value)
{
    const SchemePart scheme = takeScheme(value);
    const std::string_view rest = scheme.rest;
    const std::string prefix(value.substr(0, value.size() - rest.size()));
    if (!passwordGiven(rest))
        return std::string(value);
    const std::size_t colon = rest.find(':');
    const std::size_t at = rest.find('@', colon);
    return prefix + std::string(rest.substr(0, colon)) + ":***" + std::string(at == std::string_view::npos ? "" : rest.substr(at));
}

} // namespace

std::uint16_t DefaultPort(RemoteProtocol protocol)
{
    return protocol == RemoteProtocol::Sftp ? 22 : 21;
}

const char* SchemeOf(RemoteProtocol protocol)
{
    switch (protocol) {
    case RemoteProtocol::Ftps: return "ftps";
    case RemoteProtocol::Sftp: return "sftp";
    default: return "ftp";
    }
}

SiteFields SplitSite(std::string_view value)
{
    const SchemePart scheme = takeScheme(value);
    std::string rest(scheme.rest);
    SiteFields fields;
    fields.protocol = scheme.protocol.value_or(RemoteProtocol::Ftp);
    const std::size_t at = rest.find('@');
    if (scheme.present && at != std::string::npos && !passwordGiven(rest)) {
        fields.user = rest.substr(0, at);
        rest.erase(0, at + 1);
    } else {
        fields.user = takeField(rest, ':', false);
        fields.password = takeField(rest, '@', false);
    }
    fields.host = takeField(rest, '/', true);
    fields.path = rest;
    if (const std::size_t colon = fields.host.rfind(':'); colon != std::string::npos) {
        fields.port = ParsePort(std::string_view(fields.host).substr(colon + 1)).value_or(0);
        fields.host.erase(colon);
    }
    return fields;
}

std::optional<std::uint16_t> ParsePort(std::string_view text)
{
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    const int port = std::stoi(std::string(text));
    if (port < 1 || port > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(port);
}

std::string SiteCaption(std::string_view value)
{
    const SiteFields site = SplitSite(value);
    const bool plain = site.protocol == RemoteProtocol::Ftp && (site.port == 0 || site.port == DefaultPort(site.protocol));
    std::string caption;
    if (!plain)
        caption.append(SchemeOf(site.protocol)).append("://");
    caption.append(site.user).append("@").append(site.host);
    if (!plain && site.port != 0)
        caption.append(":").append(std::to_string(site.port));
    return caption.append(site.path);
}

std::vector<std::string> ReadSites(const QString& settingsFile)
{
    const platform::core::IniFile ini(settingsFile);
    const std::vector<std::string> keys = ini.sectionKeys(kSitesSection);
    std::vector<std::string> sites;
    sites.reserve(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i)
        sites.push_back(ini.readString(kSitesSection, keys[i], std::to_string(i)));
    return sites;
}

std::string ReadExtraCaFile(const QString& settingsFile)
{
    return platform::core::IniFile(settingsFile).readString("TLS", "CAFile");
}

std::string SiteProblem(std::string_view value)
{
    if (value.find_first_not_of(" \t") == std::string_view::npos)
        return "it is empty";
    const SchemePart scheme = takeScheme(value);
    if (scheme.present && !scheme.protocol)
        return "it begins with \"" + std::string(scheme.name) + "://\", a protocol Quellin does not speak (write ftp://, "
               "ftps:// or sftp://)";
    const std::string_view rest = scheme.rest;
    const std::size_t colon = rest.find(':');
    if (!scheme.present && colon == std::string_view::npos)
        return "it has no \":\" between user name and password (write user:password@host/path)";
    const std::size_t at = passwordGiven(rest) ? rest.find('@', colon) : rest.find('@');
    if (at == std::string_view::npos)
        return scheme.present ? "it has no \"@\" between user name and host (write " + std::string(scheme.name)
                                    + "://user@host/path)"
                              : "it has no \"@\" between password and host (write user:password@host/path)";
    const std::size_t slash = rest.find('/', at);
    if (slash == std::string_view::npos)
        return "it has no \"/\" after the host (write user:password@host/path, or host/ for the top folder)";
    if (SplitSite(value).host.empty())
        return "it names no host after the \"@\"";
    const std::string_view host = rest.substr(at + 1, slash - at - 1);
    if (const std::size_t portColon = host.rfind(':'); portColon != std::string_view::npos) {
        const std::string_view port = host.substr(portColon + 1);
        if (!ParsePort(port))
            return "its port \"" + std::string(port) + "\" is not a number from 1 to 65535";
    }
    return {};
}

SiteList ReadSiteList(const QString& settingsFile)
{
    const platform::core::IniFile ini(settingsFile);
    SiteList list;
    for (const std::string& key : ini.sectionKeys(kSitesSection)) {
        const std::string value = ini.readString(kSitesSection, key, {});
        const std::string problem = SiteProblem(value);
        if (problem.empty()) {
            list.sites.push_back(value);
            continue;
        }
        list.problems.push_back("Site \"" + key + "\" (" + withoutPassword(value) + ") is left out: " + problem + ".");
    }
    return list;
}

} // namespace quellin
