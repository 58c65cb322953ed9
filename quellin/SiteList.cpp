#include "quellin/SiteList.h"

#include "base/Text.h"
#include "platform/core/IniFile.h"

#include <QFileInfo>

namespace quellin {

const char* const kSettingsFile = "QUELLIN.INI";
const char* const kSitesSection = "FTP-Accounts";

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

bool ReadableByOthers(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && (info.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther));
}

} // namespace quellin
