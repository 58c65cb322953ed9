#pragma once
// The stored sites of "QUELLIN.INI", section "FTP-Accounts": one site per key, the key's name is
// free and only its value counts. A value reads user ":" password "@" host "/path"; users edit
// the file by hand, so passwords stand in it as typed.
#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace quellin {

extern const char* const kSettingsFile; // "QUELLIN.INI"
extern const char* const kSitesSection; // "FTP-Accounts"

struct SiteFields {
    std::string user;
    std::string password;
    std::string host;
    std::string path; // begins with "/" when the value has one
    bool operator==(const SiteFields&) const = default;
};

// Splits a site value at its first ":", then the first "@" of the rest, then the first "/" of
// what remains (the "/" stays with the path). A missing separator leaves that field empty and
// the rest untouched.
SiteFields SplitSite(std::string_view value);

// What the site list shows for a value: user "@" host path, never the password (the list
// widens on screen; the value itself stays the item's data).
std::string SiteCaption(std::string_view value);

// Every site value of the settings file in file order, however many keys the section has. A
// missing file or section gives none.
std::vector<std::string> ReadSites(const QString& settingsFile = QString::fromLatin1(kSettingsFile));

// Why a site value cannot be used ("" when it can): empty, no ":" between user and password, no
// "@" after the password, no "/" after the host (SplitSite would take the host for the path), or
// no host.
std::string SiteProblem(std::string_view value);

// The usable sites of the settings file in file order, and one message per entry left out
// ("Site \"key\" (value without its password) is left out: reason.").
struct SiteList {
    std::vector<std::string> sites;
    std::vector<std::string> problems;
};
SiteList ReadSiteList(const QString& settingsFile = QString::fromLatin1(kSettingsFile));

// What the window says when no site is stored: how to add one.
extern const char* const kNoSitesHint;

} // namespace quellin
