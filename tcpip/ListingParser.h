#pragma once
// One line of an FTP LIST answer -> one directory entry, in the two styles servers use:
// Unix ("-rw-r--r--  1 user group  2048 Nov 12  1998 index.html") and DOS
// ("01-15-98  02:05PM  1234 page.htm", "<DIR>" for folders). Lines may hold any byte.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tcpip/DateTime.h"

namespace tcpip {

enum t_filetype : std::uint8_t { ft_none = 0, ft_directory = 1, ft_file = 2, ft_link = 3 };

// A directory entry. The empty entry (type 0, size 0, no name, date 0) means "no entry".
struct t_filedata {
    std::uint8_t type = ft_none;
    std::int32_t size = 0;   // bytes; 0 when not given or too large for 32 bits
    std::string name;
    double date = 0;         // DateTime days (days since 30 December 1899, time as fraction)
    bool operator==(const t_filedata&) const = default;
};

// Fills entry from one line:
// - "total..." makes it the empty entry;
// - a line beginning with "-", "d", "l" or "s" is a Unix line, with a digit a DOS line;
// - any other line (empty, a block device "b...", text) leaves entry exactly as it was.
// A Unix or DOS line that cannot be taken apart (an impossible date such as Feb 30, a DOS size
// that is no number) gives the empty entry. Names are taken by column, blanks inside kept: in a
// Unix line everything after the time-or-year field and one blank (for a link the part before
// " -> "), in a DOS line everything after the size and one blank or after "<DIR>" and its
// padding. A line without those columns keeps the text after its last blank as the name.
// Unix dates with a time and no year fall in the year that puts them no more than one day after
// today (a "Dec 31" listed in January is last December); today is the local date by default.
void ParseListingLine(std::string_view line, t_filedata& entry);
void ParseListingLine(std::string_view line, t_filedata& entry, const CivilDate& today);

// The size column of a plain file's Unix line ("-rw-r--r-- 1 a a 5000000000 Sep 1 2020 x"), in
// 64 bits; empty for other lines and for a line without the size, month, day and time columns.
std::optional<std::int64_t> UnixLineSize(std::string_view line);

// 1..12 for an exact, case-sensitive "Jan".."Dec"; 0 otherwise.
int MonthNumber(std::string_view text);

// 1-based position of the n-th occurrence of pattern in text (n > 0), or of the last one
// (n == -1). 0 when there are fewer than n occurrences, none, or n is 0 or below -1.
std::size_t NthPosition(char pattern, std::string_view text, int n);

} // namespace tcpip
