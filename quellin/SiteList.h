#pragma once
// The stored sites of "QUELLIN.INI", section "FTP-Accounts": one site per key, the key's name is
// free and only its value counts. A value reads [scheme "://"] user [":" password] "@" host
// [":" port] "/path"; users edit the file by hand, so passwords stand in it as typed.
//   scheme  "ftp", "ftps" (FTP over explicit TLS) or "sftp", in any case; none is plain FTP.
//   port    1 to 65535; none is the protocol's own (21 for FTP and FTPS, 22 for SFTP).
//   ":" password may be left out only after a scheme (URL style); without a scheme the ":"
//           stays required, as it always was, and "user:@host/path" stores no password.
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellin {

extern const char* const kSettingsFile; // "QUELLIN.INI"
extern const char* const kSitesSection; // "FTP-Accounts"

enum class RemoteProtocol : std::uint8_t { Ftp, Ftps, Sftp };

// 21 for FTP and FTPS, 22 for SFTP.
std::uint16_t DefaultPort(RemoteProtocol protocol);
// "ftp", "ftps", "sftp".
const char* SchemeOf(RemoteProtocol protocol);

struct SiteFields {
    std::string user;
    std::string password;
    std::string host; // without its ":port"
    std::string path; // begins with "/" when the value has one
    RemoteProtocol protocol = RemoteProtocol::Ftp;
    std::uint16_t port = 0; // 0: none given (or not a usable number: SiteProblem says which)
    bool operator==(const SiteFields&) const = default;
};

// Takes off a leading scheme; then splits at the first ":", the first "@" of the rest and the
// first "/" of what remains (the "/" stays with the path). A missing separator leaves that field
// empty and the rest untouched. After a scheme, a value without ":" before its first "@" has a
// user and no password. The host's last ":" and what follows is the port.
SiteFields SplitSite(std::string_view value);

// 1 to 65535 written in at most five digits; empty for anything else.
std::optional<std::uint16_t> ParsePort(std::string_view text);

// What the site list shows for a value: user "@" host path, never the password (the list
// widens on screen; the value itself stays the item's data). A site that is not plain FTP on
// port 21 shows its scheme, and its port when one is given: "sftp://anna@host:2222/www".
std::string SiteCaption(std::string_view value);

// Every site value of the settings file in file order, however many keys the section has. A
// missing file or section gives none.
std::vector<std::string> ReadSites(const QString& settingsFile = QString::fromLatin1(kSettingsFile));

// Why a site value cannot be used ("" when it can): empty, an unknown scheme, no ":" between
// user and password (without a scheme), no "@" before the host, no "/" after the host (SplitSite
// would take the host for the path), no host, or a port that is not 1 to 65535.
std::string SiteProblem(std::string_view value);

// The usable sites of the settings file in file order, and one message per entry left out
// ("Site \"key\" (value without its password) is left out: reason.").
struct SiteList {
    std::vector<std::string> sites;
    std::vector<std::string> problems;
};
SiteList ReadSiteList(const QString& settingsFile = QString::fromLatin1(kSettingsFile));

// An extra CA certificate file (PEM) that FTP over TLS trusts beside the system's, for hosts
// with a private CA or a self-signed certificate: section "TLS", key "CAFile"; "" for none.
std::string ReadExtraCaFile(const QString& settingsFile = QString::fromLatin1(kSettingsFile));

// What the window says when no site is stored: how to add one.
extern const char* const kNoSitesHint;

} // namespace quellin
