#include "tcpip/ListingParser.h"

#include "base/Text.h"
#include "tcpip/TextNumber.h"

#include <cctype>
#include <optional>

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

bool parseUnix(std::string_view line, t_filedata& entry, const CivilDate& today)
{
    switch (line[0]) {
    case '-': entry.type = ft_file; break;
    case 'd': entry.type = ft_directory; break;
    case 'l': entry.type = ft_link; break;
    default: break; // "s" keeps the type
    }
    const auto lastSpace = static_cast<long long>(NthPosition(' ', line, -1));
    entry.name = base::Copy(line, lastSpace + 1, length(line));
    // The fields end before the name; for a link that is the link's own name before " -> ",
    // so that its size and date are read from their columns too.
    long long fieldsEnd = lastSpace;
    if (line[0] == 'l') {
        const auto arrow = line.find(" -> ", 11);
        if (arrow != std::string_view::npos) {
            const auto before = line.substr(0, arrow).rfind(' ');
            if (before != std::string_view::npos && static_cast<long long>(before) >= 11)
                fieldsEnd = static_cast<long long>(before) + 1;
        }
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

bool allDigits(std::string_view s)
{
    if (s.empty())
        return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

bool parseDos(std::string_view line, t_filedata& entry)
{
    entry.type = base::Pos("<DIR>", line) > 0 ? ft_directory : ft_file;
    const auto lastSpace = static_cast<long long>(NthPosition(' ', line, -1));
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

} // namespace tcpip
