#pragma once
// What an FTP server says about one file beyond a listing: its FEAT list (does it offer MLST,
// with which facts), an MLST fact line ("type=file;size=7;modify=20200913122640;UNIX.mode=0644; a")
// and the permission column of a Unix listing line ("-rw-r-----"). Pure text in, values out;
// every value that is not exactly what it should be is left out, never guessed.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tcpip {

struct FtpFeatures {
    bool mlst = false;
    // MLST's facts in lower case, as offered; selected ones (marked "*" by the server) apart.
    std::vector<std::string> offeredFacts;
    std::vector<std::string> selectedFacts;
    bool offers(std::string_view fact) const;
    bool selects(std::string_view fact) const;
};

// The lines of a FEAT reply, its first and last line included (a one-line reply offers nothing).
FtpFeatures ParseFeatures(const std::vector<std::string>& replyLines);

struct FtpFacts {
    std::optional<std::int64_t> size;
    std::optional<std::int64_t> modified;  // seconds since 1970 UTC
    std::optional<int> permissions;        // 07777 at most
    std::optional<bool> plainFile;         // type=file, or another type
};

// One MLST fact line, with or without its leading blank: the facts before the first blank.
// Fact names are case-insensitive; unknown facts and malformed values are left out.
FtpFacts ParseMlstFacts(std::string_view line);

// The lines of an MLST reply -> its one fact line (the first line between the first and the
// last); empty when there is none.
std::optional<std::string> MlstFactLine(const std::vector<std::string>& replyLines);

// Octal mode text ("0644", "644", "4755", "0o644") -> mode bits; empty past 07777 or for other
// text.
std::optional<int> ParseOctalMode(std::string_view text);

// The one file a STAT reply lists (its lines between the first and the last, a "213-" prefix
// allowed): its mode ("-rw-r-----" -> 0640, with s/S/t/T for the special bits) and its size.
// Nothing unless exactly one line for a plain file is there.
FtpFacts ParseStatFacts(const std::vector<std::string>& replyLines);
std::optional<int> ParseUnixPermissions(std::string_view listingLine);

} // namespace tcpip
