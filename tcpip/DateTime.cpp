#include "tcpip/DateTime.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace tcpip {

namespace {

constexpr long kSecondsPerDay = 86400;

// Days from 1970-01-01 for a proleptic Gregorian date (valid for every year of 1..9999).
long daysFromCivil(int y, int m, int d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153L * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate civilFromDays(long z)
{
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int y = static_cast<int>(yoe + era * 400 + (m <= 2));
    return { y, m, d };
}

const long kDayZero = daysFromCivil(1899, 12, 30);

// Whole days and the seconds into that day, per the sign convention of the header.
void split(double value, long& days, long& seconds)
{
    days = static_cast<long>(std::trunc(value));
    seconds = std::lround(std::fabs(value - static_cast<double>(days)) * kSecondsPerDay);
    if (seconds >= kSecondsPerDay) {
        seconds -= kSecondsPerDay;
        days += value < 0 ? -1 : 1;
    }
}

} // namespace

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr int days[] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    if (month < 1 || month > 12)
        return 0;
    return days[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool IsValidDate(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && day >= 1 && day <= DaysInMonth(year, month);
}

int ExpandTwoDigitYear(int year, int digits)
{
    if (digits > 2 || year < 0 || year > 99)
        return year;
    return year >= 69 ? 1900 + year : 2000 + year;
}

DateTime DateTime::fromDate(int year, int month, int day)
{
    if (!IsValidDate(year, month, day))
        throw EDateError("Invalid date: " + std::to_string(year) + "-" + std::to_string(month) + "-"
                         + std::to_string(day));
    return DateTime(static_cast<double>(daysFromCivil(year, month, day) - kDayZero));
}

DateTime DateTime::fromDateTime(int year, int month, int day, int hour, int minute, int second)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        throw EDateError("Invalid time: " + std::to_string(hour) + ":" + std::to_string(minute) + ":"
                         + std::to_string(second));
    const double days = fromDate(year, month, day).days();
    const double fraction = (hour * 3600.0 + minute * 60.0 + second) / kSecondsPerDay;
    return DateTime(days < 0 ? days - fraction : days + fraction);
}

CivilDate DateTime::today()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return { local.tm_year + 1900, local.tm_mon + 1, local.tm_mday };
}

CivilDate DateTime::date() const
{
    long days, seconds;
    split(days_, days, seconds);
    return civilFromDays(days + kDayZero);
}

TimeOfDay DateTime::time() const
{
    long days, seconds;
    split(days_, days, seconds);
    return { static_cast<int>(seconds / 3600), static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60) };
}

std::string DateTime::toText() const
{
    const CivilDate d = date();
    const TimeOfDay t = time();
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, t.hour, t.minute,
                  t.second);
    return text;
}

} // namespace tcpip
