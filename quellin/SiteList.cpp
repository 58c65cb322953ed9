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

} // namespace

SiteFields SplitSite(std::string_view value)
{
    std::string rest(value);
    SiteFields fields;
    fields.user = takeField(rest, ':', false);
    fields.password = takeField(rest, '@', false);
    fields.host = takeField(rest, '/', true);
    fields.path = rest;
    return fields;
}

std::string SiteCaption(std::string_view value)
{
    const SiteFields site = SplitSite(value);
    return site.user + "@" + site.host + site.path;
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

std::string SiteProblem(std::string_view value)
{
    if (value.find_first_not_of(" \t") == std::string_view::npos)
        return "it is empty";
    const std::size_t colon = value.find(':');
    if (colon == std::string_view::npos)
        return "it has no \":\" between user name and password (write user:password@host/path)";
    const std::size_t at = value.find('@', colon);
    if (at == std::string_view::npos)
        return "it has no \"@\" between password and host (write user:password@host/path)";
    if (value.find('/', at) == std::string_view::npos)
        return "it has no \"/\" after the host (write user:password@host/path, or host/ for the top folder)";
    if (SplitSite(value).host.empty())
        return "it names no host after the \"@\"";
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
        // The message shows the entry, but never what may be its password.
        const std::size_t colon = value.find(':');
        const std::size_t at = value.find('@', colon == std::string::npos ? 0 : colon);
        const std::string shown = colon == std::string::npos
            ? value
            : value.substr(0, colon) + ":***" + (at == std::string::npos ? "" : value.substr(at));
        list.problems.push_back("Site \"" + key + "\" (" + shown + ") is left out: " + problem + ".");
    }
    return list;
}

} // namespace quellin
