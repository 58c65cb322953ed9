#pragma once
// The listing's date type: days since 30 December 1899 (day 0), the time of day as fraction.
// Days before day 0 are negative, with the time still counted forward from that day's midnight
// (-1.25 is 29 December 1899, 06:00), so every value decodes to exactly one date and time.
// Years run from 1 to 9999, on the proleptic Gregorian calendar.
#include <string>

#include "base/Exception.h"

namespace tcpip {

// An impossible date or time (30 February, 25:00, year 0).
class EDateError : public base::Exception {
public:
    using Exception::Exception;
};

struct CivilDate {
    int year = 1899;
    int month = 12;
    int day = 30;
    bool operator==(const CivilDate&) const = default;
};

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
    bool operator==(const TimeOfDay&) const = default;
};

bool IsLeapYear(int year);
// 0 for a month outside 1..12.
int DaysInMonth(int year, int month);
bool IsValidDate(int year, int month, int day);

// A two-digit year completed as POSIX does for "%y": 69..99 are 1969..1999, 0..68 are
// 2000..2068. Years of three or more digits are taken as they stand.
int ExpandTwoDigitYear(int year, int digits);

class DateTime {
public:
    constexpr DateTime() = default;
    constexpr explicit DateTime(double days) : days_(days) {}

    // Throw EDateError for an impossible date or time.
    static DateTime fromDate(int year, int month, int day);
    static DateTime fromDateTime(int year, int month, int day, int hour, int minute, int second = 0);
    static CivilDate today();

    constexpr double days() const { return days_; }
    CivilDate date() const;
    TimeOfDay time() const;
    // "YYYY-MM-DD HH:MM:SS"
    std::string toText() const;

    constexpr bool operator==(const DateTime&) const = default;

private:
    double days_ = 0;
};

} // namespace tcpip
