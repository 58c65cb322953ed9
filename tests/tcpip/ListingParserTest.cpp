// The listing parser and its date type: the documented lines, odd shapes and impossible dates.
#include "tcpip/ListingParser.h"

#include <gtest/gtest.h>

using namespace tcpip;

namespace {

const CivilDate kToday{ 2026, 12, 8 };

t_filedata parse(std::string_view line, t_filedata start = {})
{
    ParseListingLine(line, start, kToday);
    return start;
}

std::string dateText(const t_filedata& e)
{
    return DateTime(e.date).toText();
}

t_filedata sample()
{
    return { ft_file, 7, "kept", 1.5 };
}

} // namespace

TEST(DateTimeType, DayZeroAndKnownDays)
{
    EXPECT_EQ(DateTime::fromDate(1899, 12, 30).days(), 0);
    EXPECT_EQ(DateTime::fromDate(1900, 1, 1).days(), 2);
    EXPECT_EQ(DateTime::fromDate(1970, 1, 1).days(), 25569);
    EXPECT_EQ(DateTime::fromDate(2000, 3, 1).days(), 36586);
    EXPECT_EQ(DateTime::fromDateTime(1998, 1, 15, 10, 30).toText(), "1998-01-15 10:30:00");
    EXPECT_DOUBLE_EQ(DateTime::fromDateTime(1899, 12, 30, 18, 0).days(), 0.75);
}

TEST(DateTimeType, LeapYearsFollowTheGregorianRules)
{
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2100));
    EXPECT_FALSE(IsLeapYear(2026));
    EXPECT_NO_THROW(DateTime::fromDate(2000, 2, 29));
    EXPECT_THROW(DateTime::fromDate(1900, 2, 29), EDateError);
    EXPECT_EQ(DateTime::fromDate(2024, 3, 1).days() - DateTime::fromDate(2024, 2, 28).days(), 2);
    EXPECT_EQ(DateTime::fromDate(2100, 3, 1).days() - DateTime::fromDate(2100, 2, 28).days(), 1);
}

TEST(DateTimeType, RoundTripsOverTheWholeRangeIncludingBeforeDayZero)
{
    for (int year : { 1, 1600, 1899, 1900, 1970, 2038, 9999 })
        for (int month : { 1, 2, 12 }) {
            const int day = DaysInMonth(year, month);
            const DateTime d = DateTime::fromDateTime(year, month, day, 23, 59, 58);
            EXPECT_EQ(d.date(), (CivilDate{ year, month, day })) << year << "-" << month;
            EXPECT_EQ(d.time(), (TimeOfDay{ 23, 59, 58 }));
        }
    const DateTime before(-1.25);
    EXPECT_EQ(before.toText(), "1899-12-29 06:00:00");
}

TEST(DateTimeType, RefusesImpossibleDatesAndTimes)
{
    EXPECT_THROW(DateTime::fromDate(0, 1, 1), EDateError);
    EXPECT_THROW(DateTime::fromDate(10000, 1, 1), EDateError);
    EXPECT_THROW(DateTime::fromDate(2026, 13, 1), EDateError);
    EXPECT_THROW(DateTime::fromDate(2026, 4, 31), EDateError);
    EXPECT_THROW(DateTime::fromDateTime(2026, 4, 1, 24, 0), EDateError);
    EXPECT_THROW(DateTime::fromDateTime(2026, 4, 1, 0, 60), EDateError);
}

TEST(DateTimeType, TwoDigitYearsUseTheFixedPosixWindow)
{
    EXPECT_EQ(ExpandTwoDigitYear(98, 2), 1998);
    EXPECT_EQ(ExpandTwoDigitYear(69, 2), 1969);
    EXPECT_EQ(ExpandTwoDigitYear(68, 2), 2068);
    EXPECT_EQ(ExpandTwoDigitYear(0, 2), 2000);
    EXPECT_EQ(ExpandTwoDigitYear(5, 1), 2005);
    EXPECT_EQ(ExpandTwoDigitYear(98, 4), 98);
    EXPECT_EQ(ExpandTwoDigitYear(1998, 4), 1998);
}

TEST(ListingHelpers, MonthNumberIsExactAndCaseSensitive)
{
    EXPECT_EQ(MonthNumber("Jan"), 1);
    EXPECT_EQ(MonthNumber("Dec"), 12);
    EXPECT_EQ(MonthNumber("jan"), 0);
    EXPECT_EQ(MonthNumber("JAN"), 0);
    EXPECT_EQ(MonthNumber("Janu"), 0);
    EXPECT_EQ(MonthNumber(""), 0);
}

TEST(ListingHelpers, NthPosition)
{
    EXPECT_EQ(NthPosition(',', "192,168,1,2,19,137", 4), 12u);
    EXPECT_EQ(NthPosition(',', "a,b", 1), 2u);
    EXPECT_EQ(NthPosition(' ', "a b c", -1), 4u);
    EXPECT_EQ(NthPosition(' ', "abc", -1), 0u);
    EXPECT_EQ(NthPosition(',', "a,b", 2), 0u) << "fewer occurrences than asked for";
    EXPECT_EQ(NthPosition(',', "a,b", 0), 0u);
    EXPECT_EQ(NthPosition(',', "a,b", -2), 0u);
    EXPECT_EQ(NthPosition(',', "", 1), 0u);
}

TEST(UnixListing, FolderWithTimeIsThisYear)
{
    const auto e = parse("drwxr-xr-x   2 user  group   512 Mar  5 14:07 htdocs");
    EXPECT_EQ(e.type, ft_directory);
    EXPECT_EQ(e.name, "htdocs");
    EXPECT_EQ(e.size, 512);
    EXPECT_EQ(dateText(e), "2026-03-05 14:07:00");
}

TEST(UnixListing, FileWithYear)
{
    const auto e = parse("-rw-r--r--   1 user  group  2048 Nov 12  1998 index.html");
    EXPECT_EQ(e.type, ft_file);
    EXPECT_EQ(e.size, 2048);
    EXPECT_EQ(e.name, "index.html");
    EXPECT_EQ(dateText(e), "1998-11-12 00:00:00");
}

TEST(UnixListing, TimeStampsAheadOfTodayBelongToLastYear)
{
    EXPECT_EQ(dateText(parse("-rw-r--r-- 1 u g 1 Dec  9 10:00 tomorrow")), "2026-12-09 10:00:00");
    EXPECT_EQ(dateText(parse("-rw-r--r-- 1 u g 1 Dec 31 23:59 later")), "2025-12-31 23:59:00");
    t_filedata e;
    ParseListingLine("-rw-r--r-- 1 u g 1 Feb 29 08:00 leap", e, CivilDate{ 2025, 6, 1 });
    EXPECT_EQ(dateText(e), "2024-02-29 08:00:00") << "29 February of a leap year, listed the year after";
}

TEST(UnixListing, ImpossibleDatesGiveTheEmptyEntry)
{
    EXPECT_EQ(parse("-rw-r--r--   1 user  group  2048 Feb 30  1998 bad", sample()), t_filedata{});
    EXPECT_EQ(parse("-rw-r--r--   1 user  group  2048 Feb 29  1900 bad"), t_filedata{});
    EXPECT_EQ(parse("-rw-r--r--   1 user  group  2048 Jan  1 25:00 bad"), t_filedata{});
    EXPECT_EQ(parse("-rw-r--r--   1 user  group  2048 Jan 32  1998 bad"), t_filedata{});
}

TEST(UnixListing, UnreadableFieldsFallBackToTheirDefaults)
{
    // Year "99999" leaves "9999" in the year columns; an unknown month becomes January and a
    // day that is no number the first.
    EXPECT_EQ(dateText(parse("-rw-r--r-- 1 u g 5 Nov 12 99999 far")), "9999-11-12 00:00:00");
    EXPECT_EQ(dateText(parse("-rw-r--r-- 1 u g 5 Foo xx  1998 odd")), "1998-01-01 00:00:00");
    const auto big = parse("-rw-r--r-- 1 u g 3000000000 Nov 12  1998 big.iso");
    EXPECT_EQ(big.size, 0) << "sizes beyond 32 bits are not given";
    EXPECT_EQ(big.name, "big.iso");
    EXPECT_EQ(parse("-rw-r--r-- 1 u g -12 Nov 12  1998 neg").size, -12);
}

TEST(ListingNames, AreTakenByColumnWithTheirBlanks)
{
    const struct {
        const char* line;
        const char* name;
    } cases[] = {
        { "-rw-r--r--   1 user  group  10 Nov 12  1998 my page.html", "my page.html" },
        { "-rw-r--r--   1 user  group  10 Nov 12 10:30 a   b  c", "a   b  c" },
        { "-rw-r--r--   1 user  group  10 Nov 12  1998  leading", " leading" },
        { "-rw-r--r--   1 user  group  10 Nov 12  1998 trailing ", "trailing " },
        { "-rw-r--r--   1 user  group  10 Nov 12  1998 a -> b.txt", "a -> b.txt" },
        { "drwxr-xr-x   2 user  group  10 Nov 12  1998 sub dir", "sub dir" },
        { "lrwxrwxrwx   1 user  group  11 Jan  1 10:00 www -> htdocs", "www" },
        { "lrwxrwxrwx   1 user  group   7 Nov 12  1998 a b -> c d", "a b" },
        { "-rw-r--r--   1 owner      10 Nov 12  1998 no group.txt", "no group.txt" },
        { "-rw-r--r--   1 user  group  10 Nov 12  1998 Dec 24  2020 dated", "Dec 24  2020 dated" },
        { "01-15-98  02:05PM                 1234 old index.html", "old index.html" },
        { "01-15-98  02:05PM       <DIR>          sub  dir", "sub  dir" },
        { "01-15-98  02:05PM                 1234  lead", " lead" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(parse(c.line).name, c.name) << c.line;
}

TEST(ListingNames, LinkDateAndSizeComeFromTheirColumns)
{
    const auto e = parse("lrwxrwxrwx   1 user  group    11 Jan  1 10:00 www -> htdocs");
    EXPECT_EQ(e.type, ft_link);
    EXPECT_EQ(e.size, 11);
    EXPECT_EQ(dateText(e), "2026-01-01 10:00:00");
    EXPECT_EQ(dateText(parse("lrwxrwxrwx 1 u g 7 Nov 12  1998 a -> c d")), "1998-11-12 00:00:00");
}

TEST(UnixListing, SocketLineKeepsTheTypeItHad)
{
    t_filedata e{ ft_directory, 0, "", 0 };
    ParseListingLine("srwxrwxrwx   1 user  group     0 Nov 12  1998 sock", e, kToday);
    EXPECT_EQ(e.type, ft_directory);
    EXPECT_EQ(e.name, "sock");
}

TEST(DosListing, FolderAndFile)
{
    const auto dir = parse("01-15-98  10:30AM       <DIR>          images");
    EXPECT_EQ(dir.type, ft_directory);
    EXPECT_EQ(dir.size, 0);
    EXPECT_EQ(dir.name, "images");
    EXPECT_EQ(dateText(dir), "1998-01-15 10:30:00");
    const auto file = parse("01-15-98  02:05PM                 1234 page.htm");
    EXPECT_EQ(file.type, ft_file);
    EXPECT_EQ(file.size, 1234);
    EXPECT_EQ(file.name, "page.htm");
    EXPECT_EQ(dateText(file), "1998-01-15 14:05:00");
}

TEST(DosListing, MidnightNoonAndTwoDigitCenturies)
{
    EXPECT_EQ(dateText(parse("03-01-24  12:00AM  1 a")), "2024-03-01 00:00:00");
    EXPECT_EQ(dateText(parse("03-01-24  12:59PM  1 a")), "2024-03-01 12:59:00");
    EXPECT_EQ(dateText(parse("02-29-00  11:00PM  1 a")), "2000-02-29 23:00:00");
    EXPECT_EQ(dateText(parse("12-31-69  01:00AM  1 a")), "1969-12-31 01:00:00");
}

TEST(DosListing, BadDatesAndSizesGiveTheEmptyEntry)
{
    EXPECT_EQ(parse("02-29-01  10:00AM  1 a", sample()), t_filedata{}) << "2001 is no leap year";
    EXPECT_EQ(parse("13-01-98  10:00AM  1 a"), t_filedata{});
    EXPECT_EQ(parse("01-15-98  13:00PM  1 a"), t_filedata{});
    EXPECT_EQ(parse("01-15-98  10:30AM  12x4 a"), t_filedata{});
    EXPECT_EQ(parse("1"), t_filedata{});
    EXPECT_EQ(parse("01/15/98  10:30AM  1 a"), t_filedata{});
}

TEST(DosListing, HugeSizeKeepsTheEntry)
{
    const auto e = parse("01-15-98  10:30AM   5000000000 disk.img");
    EXPECT_EQ(e.type, ft_file);
    EXPECT_EQ(e.size, 0);
    EXPECT_EQ(e.name, "disk.img");
}

TEST(ListingDispatch, TotalAndUnknownLines)
{
    EXPECT_EQ(parse("total 42", sample()), t_filedata{});
    EXPECT_EQ(parse("total", sample()), t_filedata{});
    EXPECT_EQ(parse("Total 42", sample()), sample()) << "case-sensitive";
    EXPECT_EQ(parse("brw-rw----   1 root disk 8, 0 Nov 12  1998 sda", sample()), sample());
    EXPECT_EQ(parse("", sample()), sample());
    EXPECT_EQ(parse(" leading blank", sample()), sample());
}

TEST(ListingDispatch, OddShapesNeverCrash)
{
    const char withNul[] = "-rw-r--r-- 1 u g 5 Nov 12  1998 a\0b";
    EXPECT_EQ(parse(std::string(withNul, sizeof withNul - 1)).name, std::string("a\0b", 3));
    // A line of one character is all name, with every field at its default.
    EXPECT_EQ(parse("-"), (t_filedata{ ft_file, 0, "-", DateTime::fromDate(1, 1, 1).days() }));
    EXPECT_EQ(parse("d").type, ft_directory);
    EXPECT_EQ(parse("-rwxrwxrwx").name, "-rwxrwxrwx");
    EXPECT_EQ(parse("-" + std::string(10000, 'x')).name.size(), 10001u);
    EXPECT_EQ(parse("9" + std::string(10000, ' ')).name, "");
    const std::string spaces = "-rw-r--r--" + std::string(10000, ' ') + "name";
    EXPECT_EQ(parse(spaces).name, "name");
    EXPECT_EQ(parse("l -> ").name, "");
}
