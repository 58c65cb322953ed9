#include "tcpip/ListingParser.h"

#include "base/Text.h"
#include "tcpip/TextNumber.h"

#include <cctype>
#include <algorithm>
#include <optional>
#include <vector>

namespace tcpip {

namespace {

constexpr std::string_view kMonths[] = { "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec" };

long long length(std::string_view s)
{
    return static_cast<long long>(s.size());
}

int numberOr(std::string_view text, int fallback)
{
    return ToNumber(text).value_or(fallback);
}

std::string trimmed(std::string_view s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32)
        --e;
    return std::string(s.substr(b, e - b));
}

struct Word {
    std::size_t start;
    std::string_view text;
};

// The blank-separated words of the first `limit` in line, with their 0-based starts.
std::vector<Word> wordsOf(std::string_view line, std::size_t limit)
{
    std::vector<Word> words;
    std::size_t at = 0;
    while (words.size() < limit) {
        while (at < line.size() && line[at] == ' ')
            ++at;
        if (at >= line.size())
            break;
        const std::size_t end = std::min(line.find(' ', at), line.size());
        words.push_back({ at, line.substr(at, end - at) });
        at = end;
    }
    return words;
}

bool allDigits(std::string_view s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

bool isTimeOrYear(std::string_view s)
{
    if (s.size() == 4)
        return allDigits(s);
    return s.size() == 5 && s[2] == ':' && allDigits(s.substr(0, 2)) && allDigits(s.substr(3));
}

// The columns of a Unix line after the owner: the size word, and where the name starts (one
// blank after the time-or-year that follows the size, a month and a day; npos when nothing
// follows). Empty when the line has no such columns.
struct UnixColumns {
    std::string_view size;
    std::size_t nameStart;
};

std::optional<UnixColumns> unixColumns(std::string_view line)
{
    // Type and links, owner, group, size, month, day, time-or-year: a few words more than that
    // covers listings without a group or with a blank inside the owner.
    const auto words = wordsOf(line, 12);
    for (std::size_t i = 2; i + 2 < words.size(); ++i) {
        if (MonthNumber(words[i].text) == 0 || !allDigits(words[i - 1].text) || words[i + 1].text.size() > 2
            || !allDigits(words[i + 1].text) || !isTimeOrYear(words[i + 2].text))
            continue;
        const std::size_t afterField = words[i + 2].start + words[i + 2].text.size() + 1;
        return UnixColumns{ words[i - 1].text, afterField < line.size() ? afterField : std::string_view::npos };
    }
    return std::nullopt;
}

bool parseUnix(std::string_view line, t_filedata& entry, const CivilDate& today)
{
    switch (line[0]) {
    case '-': entry.type = ft_file; break;
    case 'd': entry.type = ft_directory; break;
    case 'l': entry.type = ft_link; break;
    default: break; // "s" keeps the type
    }
    // The name by column, blanks and "->" inside it kept; for a link the part before " -> ".
    // A line without the columns keeps its last word as the name.
    const auto columns = unixColumns(line);
    const std::size_t nameStart = columns ? columns->nameStart : std::string_view::npos;
    long long fieldsEnd;
    if (nameStart != std::string_view::npos) {
        std::string_view name = line.substr(nameStart);
        if (line[0] == 'l')
            name = name.substr(0, name.find(" -> "));
        entry.name = std::string(name);
        fieldsEnd = static_cast<long long>(nameStart);
    } else {
        fieldsEnd = static_cast<long long>(NthPosition(' ', line, -1));
        entry.name = base::Copy(line, fieldsEnd + 1, length(line));
    }
    const std::string middle = base::Copy(line, 12, fieldsEnd - 12);
    const std::string field = base::Copy(middle, length(middle) - 11, 12);

    int year = today.year, hour = 0, minute = 0;
    const bool hasTime = field.find(':') != std::string::npos;
    if (hasTime) {
        hour = numberOr(base::Copy(field, 8, 2), 0);
        minute = numberOr(base::Copy(field, 11, 2), 0);
    } else {
        year = numberOr(base::Copy(field, 9, 4), 0);
    }
    int day = numberOr(trimmed(base::Copy(field, 5, 2)), 1);
    int month = MonthNumber(base::Copy(field, 1, 3));

    const std::string sizeWord = base::Copy(middle, 1, length(middle) - 13);
    const auto sizeStart = static_cast<long long>(NthPosition(' ', sizeWord, -1)) + 1;
    entry.size = numberOr(base::Copy(sizeWord, sizeStart, length(sizeWord)), 0);

    if (year == 0)
        year = 1;
    if (month == 0)
        month = 1;
    if (day == 0)
        day = 1;
    if (hasTime) {
        // ls prints a time instead of the year for the last six months: a date that would lie
        // ahead (or not exist this year, as 29 February) belongs to the year before.
        const double tomorrow = DateTime::fromDate(today.year, today.month, today.day).days() + 1;
        if (!IsValidDate(year, month, day) || DateTime::fromDate(year, month, day).days() > tomorrow)
            --year;
    }
    if (!IsValidDate(year, month, day))
        return false;
    entry.date = DateTime::fromDateTime(year, month, day, hour, minute).days();
    return true;
}

// "mm-dd-yy  hh:nnAM" as the DOS style writes it: blanks around the parts are allowed, the
// time and its AM/PM are optional, two-digit years are completed by ExpandTwoDigitYear.
class DosDateReader {
public:
    explicit DosDateReader(std::string_view text) : text_(text) {}

    std::optional<DateTime> read()
    {
        int month, day, year, yearDigits, hour = 0, minute = 0, second = 0, digits;
        skipBlanks();
        if (!number(month, digits) || !take('-') || !number(day, digits) || !take('-') || !number(year, yearDigits))
            return std::nullopt;
        skipBlanks();
        if (!atEnd()) {
            if (!number(hour, digits) || !take(':') || !number(minute, digits))
                return std::nullopt;
            if (take(':') && !number(second, digits))
                return std::nullopt;
            skipBlanks();
            if (!meridiem(hour))
                return std::nullopt;
            skipBlanks();
            if (!atEnd())
                return std::nullopt;
        }
        year = ExpandTwoDigitYear(year, yearDigits);
        if (!IsValidDate(year, month, day) || hour > 23 || minute > 59 || second > 59)
            return std::nullopt;
        return DateTime::fromDateTime(year, month, day, hour, minute, second);
    }

private:
    bool atEnd() const { return at_ >= text_.size(); }
    void skipBlanks()
    {
        while (!atEnd() && text_[at_] == ' ')
            ++at_;
    }
    bool take(char c)
    {
        if (atEnd() || text_[at_] != c)
            return false;
        ++at_;
        return true;
    }
    bool number(int& value, int& digits)
    {
        value = 0;
        digits = 0;
        while (!atEnd() && std::isdigit(static_cast<unsigned char>(text_[at_])) && digits < 9) {
            value = value * 10 + (text_[at_++] - '0');
            ++digits;
        }
        return digits > 0 && (atEnd() || !std::isdigit(static_cast<unsigned char>(text_[at_])));
    }
    // An optional AM or PM (any case) after the time; 12 AM is midnight, 12 PM noon.
    bool meridiem(int& hour)
    {
        if (atEnd())
            return true;
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text_[at_])));
        if (c != 'A' && c != 'P')
            return true;
        ++at_;
        if (!atEnd() && std::toupper(static_cast<unsigned char>(text_[at_])) == 'M')
            ++at_;
        if (hour < 1 || hour > 12)
            return false;
        hour = (hour % 12) + (c == 'P' ? 12 : 0);
        return true;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

// Where the name of a DOS line starts: after the size (one blank) or "<DIR>" (its padding), the
// first field after the date and the time. npos when there is no such field.
std::size_t dosNameStart(std::string_view line)
{
    const auto words = wordsOf(line, 4);
    for (std::size_t i = 1; i < words.size(); ++i) {
        if (words[i].text.find(':') != std::string_view::npos)
            continue;
        std::size_t at = words[i].start + words[i].text.size() + 1;
        if (words[i].text == "<DIR>")
            while (at < line.size() && line[at] == ' ')
                ++at;
        return at < line.size() ? at : std::string_view::npos;
    }
    return std::string_view::npos;
}

bool parseDos(std::string_view line, t_filedata& entry)
{
    entry.type = base::Pos("<DIR>", line) > 0 ? ft_directory : ft_file;
    const std::size_t nameStart = dosNameStart(line);
    const auto lastSpace = nameStart != std::string_view::npos ? static_cast<long long>(nameStart)
                                                               : static_cast<long long>(NthPosition(' ', line, -1));
    entry.name = base::Copy(line, lastSpace + 1, length(line));
    const std::string head = base::Copy(line, 1, lastSpace - 1);
    std::string sizeText = "0";
    sizeText.append(base::Copy(head, static_cast<long long>(NthPosition(' ', head, -1)) + 1, length(head)));
    if (const auto size = ToNumber(sizeText))
        entry.size = *size;
    else if (allDigits(sizeText))
        entry.size = 0; // a size beyond 32 bits: keep the entry, size unknown
    else
        return false;
    const auto date = DosDateReader(base::Copy(head, 1, 17)).read();
    if (!date)
        return false;
    entry.date = date->days();
    return true;
}

} // namespace

int MonthNumber(std::string_view text)
{
    for (int i = 0; i < 12; ++i)
        if (text == kMonths[i])
            return i + 1;
    return 0;
}

std::size_t NthPosition(char pattern, std::string_view text, int n)
{
    if (n == -1) {
        const auto at = text.rfind(pattern);
        return at == std::string_view::npos ? 0 : at + 1;
    }
    if (n < 1)
        return 0;
    std::size_t from = 0;
    for (int found = 0; from <= text.size();) {
        const auto at = text.find(pattern, from);
        if (at == std::string_view::npos)
            return 0;
        if (++found == n)
            return at + 1;
        from = at + 1;
    }
    return 0;
}

void ParseListingLine(std::string_view line, t_filedata& entry)
{
    ParseListingLine(line, entry, DateTime::today());
}

void ParseListingLine(std::string_view line, t_filedata& entry, const CivilDate& today)
{
    if (line.substr(0, 5) == "total") {
        entry = t_filedata{};
        return;
    }
    if (line.empty())
        return;
    const char first = line[0];
    const bool unixStyle = first == '-' || first == 'd' || first == 'l' || first == 's';
    const bool dos = first >= '0' && first <= '9';
    if (!unixStyle && !dos)
        return;
    t_filedata parsed = entry;
    bool ok;
    try {
        ok = unixStyle ? parseUnix(line, parsed, today) : parseDos(line, parsed);
    } catch (const EDateError&) {
        ok = false;
    }
    entry = ok ? std::move(parsed) : t_filedata{};
}

std::optional<std::int64_t> UnixLineSize(std::string_view line)
{
    if (line.empty() || line[0] != '-')
        return std::nullopt;
    const auto columns = unixColumns(line);
    return columns ? ToNumber64(columns->size) : std::nullopt;
}

} // namespace tcpip
