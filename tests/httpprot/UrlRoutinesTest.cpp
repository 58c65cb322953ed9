#include "httpprot/UrlRoutines.h"

#include <QTimeZone>
#include <gtest/gtest.h>

#include <ostream>

using namespace httpprot;

namespace {

struct Url {
    std::string protocol, user, password, host, port, path;
    bool operator==(const Url&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Url& u)
{
    return out << "{proto \"" << u.protocol << "\", user \"" << u.user << "\", password \""
               << u.password << "\", host \"" << u.host << "\", port \"" << u.port
               << "\", path \"" << u.path << "\"}";
}

Url Parse(std::string_view url)
{
    Url u;
    ParseURL(url, u.protocol, u.user, u.password, u.host, u.port, u.path);
    return u;
}

struct ParseCase {
    const char* url;
    Url expected;
};

void PrintTo(const ParseCase& c, std::ostream* out)
{
    *out << '"' << c.url << '"';
}

class ParseUrlTable : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseUrlTable, TakesTheUrlApart)
{
    EXPECT_EQ(Parse(GetParam().url), GetParam().expected) << "url: " << GetParam().url;
}

INSTANTIATE_TEST_SUITE_P(Examples, ParseUrlTable, testing::Values(
    ParseCase{"http://server:8080/dir/page.html?x=1", {"http", "", "", "server", "8080", "/dir/page.html?x=1"}},
    ParseCase{"server/dir/", {"", "", "", "server", "", "/dir/"}},
    ParseCase{"/dir/page.html", {"http", "", "", "", "", "/dir/page.html"}},
    ParseCase{"page.html", {"", "", "", "page.html", "", ""}},
    ParseCase{"", {}}));

INSTANTIATE_TEST_SUITE_P(Authority, ParseUrlTable, testing::Values(
    ParseCase{"http://server", {"http", "", "", "server", "", ""}},
    ParseCase{"http://server/", {"http", "", "", "server", "", "/"}},
    ParseCase{"host:80", {"", "", "", "host", "80", ""}},
    ParseCase{"ftp://user@host/x", {"ftp", "user", "", "host", "", "/x"}},
    ParseCase{"http://user:pw@host:81/x", {"http", "user", "pw", "host", "81", "/x"}},
    ParseCase{"http://user:p:w@host/x", {"http", "user", "p:w", "host", "", "/x"}},
    // The last "@" separates the user information; an "@" after the last ":" wins over it.
    ParseCase{"http://a@b@host:1", {"http", "a@b", "", "host", "1", ""}},
    ParseCase{"http://user:pw@host", {"http", "user", "pw", "host", "", ""}},
    ParseCase{"http://host:/x", {"http", "", "", "host", "", "/x"}},
    ParseCase{"http://:8080/x", {"http", "", "", "", "8080", "/x"}},
    ParseCase{"http://@/x", {"http", "", "", "", "", "/x"}},
    // A ":" or "@" in the path does not belong to the authority.
    ParseCase{"http://host/a:b@c", {"http", "", "", "host", "", "/a:b@c"}}));

INSTANTIATE_TEST_SUITE_P(Schemes, ParseUrlTable, testing::Values(
    ParseCase{"mailto:someone@example.org", {"mailto", "someone", "", "example.org", "", ""}},
    ParseCase{"MAILTO:a@b", {"mailto", "a", "", "b", "", ""}},
    ParseCase{"HTTP:/x/y", {"http", "", "", "", "", "/x/y"}},
    ParseCase{"http:/x", {"http", "", "", "", "", "/x"}},
    ParseCase{"http:page", {"http", "", "", "", "", "page"}},
    ParseCase{"http:", {"http", "", "", "", "", ""}},
    ParseCase{"http:x", {"http", "", "", "", "", ""}},
    ParseCase{"http:x/server/p", {"http", "", "", "", "", "/server/p"}},
    ParseCase{"https://secure/p", {"https", "", "", "secure", "", "/p"}},
    ParseCase{"://host/p", {"", "", "", "host", "", "/p"}},
    ParseCase{"/", {"http", "", "", "", "", ""}}));

// Network-path references name their host after the two slashes.
INSTANTIATE_TEST_SUITE_P(NetworkPath, ParseUrlTable, testing::Values(
    ParseCase{"//server/x", {"http", "", "", "server", "", "/x"}},
    ParseCase{"//server:81", {"http", "", "", "server", "81", ""}},
    ParseCase{"//", {"http", "", "", "", "", ""}},
    ParseCase{"///x", {"http", "", "", "", "", "/x"}}));

TEST(ParseUrl, ClearsEveryOutputFirst)
{
    std::string protocol = "p", user = "u", password = "w", host = "h", port = "1", path = "/old";
    ParseURL("", protocol, user, password, host, port, path);
    EXPECT_EQ(protocol + user + password + host + port + path, "");
    ParseURL("x", protocol, user, password, host, port, path);
    EXPECT_EQ(host, "x");
    EXPECT_EQ(protocol + user + password + port + path, "");
}

TEST(ParseUrl, KeepsEveryByteOfTheInput)
{
    const char raw[] = "http://h\0st/p\xff\0q";
    const std::string url(raw, sizeof raw - 1);
    const Url u = Parse(url);
    EXPECT_EQ(u.host, std::string("h\0st", 4));
    EXPECT_EQ(u.path, std::string("/p\xff\0q", 5));
}

TEST(LastPos, FindsTheLastOrTheNthOccurrence)
{
    EXPECT_EQ(LastPos("/", "/a/b/c", -1), 5u);
    EXPECT_EQ(LastPos("/", "abc", -1), 0u);
    EXPECT_EQ(LastPos("/", "", -1), 0u);
    EXPECT_EQ(LastPos("", "abc", -1), 0u);
    EXPECT_EQ(LastPos("/", "/a/b/c", 1), 1u);
    EXPECT_EQ(LastPos("/", "/a/b/c", 3), 5u);
    EXPECT_EQ(LastPos("/", "/a/b/c", 4), 0u);
    EXPECT_EQ(LastPos("/", "/a/b/c", 0), 0u);
    EXPECT_EQ(LastPos("aa", "aaa", 2), 2u);
}

TEST(ChangeDocExt, ReplacesTheLastExtensionOrAddsOne)
{
    EXPECT_EQ(ChangeDocExt("prog.exe", "htm"), "prog.htm");
    EXPECT_EQ(ChangeDocExt("name", "htm"), "name.htm");
    EXPECT_EQ(ChangeDocExt("a.b.exe", "htm"), "a.b.htm");
    EXPECT_EQ(ChangeDocExt("trailing.", "htm"), "trailing.htm");
    EXPECT_EQ(ChangeDocExt("", "htm"), ".htm");
}

TEST(EncodeBase64, FollowsRfc4648)
{
    // The RFC's own test vectors.
    EXPECT_EQ(EncodeBase64(""), "");
    EXPECT_EQ(EncodeBase64("f"), "Zg==");
    EXPECT_EQ(EncodeBase64("fo"), "Zm8=");
    EXPECT_EQ(EncodeBase64("foo"), "Zm9v");
    EXPECT_EQ(EncodeBase64("foob"), "Zm9vYg==");
    EXPECT_EQ(EncodeBase64("fooba"), "Zm9vYmE=");
    EXPECT_EQ(EncodeBase64("foobar"), "Zm9vYmFy");
    EXPECT_EQ(EncodeBase64("Aladdin:open sesame"), "QWxhZGRpbjpvcGVuIHNlc2FtZQ==");
    EXPECT_EQ(EncodeBase64(std::string("\xff\xfe\x00", 3)), "//4A");
    EXPECT_EQ(EncodeBase64(std::string(100, 'x')).size(), 136u);
    EXPECT_EQ(EncodeBase64(std::string(100, 'x')).find('\n'), std::string::npos);
}

TEST(FormatHttpDate, WritesEnglishNamesAndTwoDigitFields)
{
    EXPECT_EQ(FormatHttpDate(QDateTime(QDate(1994, 11, 6), QTime(8, 49, 37))), "Sun, 06 Nov 1994 08:49:37");
    EXPECT_EQ(FormatHttpDate(QDateTime(QDate(2026, 12, 8), QTime(4, 5, 6))), "Tue, 08 Dec 2026 04:05:06");
    EXPECT_EQ(FormatHttpDate(QDateTime(QDate(2000, 2, 29), QTime(23, 59, 59))), "Tue, 29 Feb 2000 23:59:59");
    EXPECT_EQ(FormatHttpDate(QDateTime(QDate(2024, 1, 1), QTime(0, 0, 0))), "Mon, 01 Jan 2024 00:00:00");
}

TEST(FormatHttpDate, DoesNotConvertTheTimeZone)
{
    const QDateTime local(QDate(2026, 7, 4), QTime(12, 0, 0), Qt::LocalTime);
    EXPECT_EQ(FormatHttpDate(local), "Sat, 04 Jul 2026 12:00:00");
    const QDateTime offset(QDate(2026, 7, 4), QTime(12, 0, 0), QTimeZone(3600 * 5));
    EXPECT_EQ(FormatHttpDate(offset), "Sat, 04 Jul 2026 12:00:00");
}

TEST(DocumentName, IsTheLastSegmentOfThePath)
{
    EXPECT_EQ(DocumentNameFromPath(""), "document.htm");
    EXPECT_EQ(DocumentNameFromPath("/"), "document.htm");
    EXPECT_EQ(DocumentNameFromPath("/index.html"), "index.html");
    EXPECT_EQ(DocumentNameFromPath("/dir/"), "dir");
    EXPECT_EQ(DocumentNameFromPath("/a/b.html?x=1"), "b.html");
    EXPECT_EQ(DocumentNameFromPath("/cgi/prog.exe"), "prog.exe");
    EXPECT_EQ(DocumentNameFromPath("/a/b?q=c/d"), "d");
    EXPECT_EQ(DocumentNameFromPath("/" + std::string(300, 'n')), std::string(255, 'n'));
    EXPECT_EQ(DocumentNameFromPath("/a/" + std::string(254, 'n') + "?q"), std::string(254, 'n'));
}

TEST(DocumentName, NeverLeavesTheCurrentFolder)
{
    EXPECT_EQ(DocumentNameFromPath("/.."), "document.htm");
    EXPECT_EQ(DocumentNameFromPath("/a/../"), "document.htm");
    EXPECT_EQ(DocumentNameFromPath("/a/."), "document.htm");
    EXPECT_EQ(DocumentNameFromPath("/dir//"), "document.htm");
    EXPECT_EQ(DocumentNameFromPath("/?x=1"), "document.htm");
    EXPECT_EQ(DocumentNameFromPath("/..?x"), "document.htm");
    EXPECT_EQ(DocumentNameFromPath(std::string("/a\0b", 4)), "document.htm");
    // Names that merely contain dots are ordinary.
    EXPECT_EQ(DocumentNameFromPath("/..."), "...");
    EXPECT_EQ(DocumentNameFromPath("/..hidden"), "..hidden");
    EXPECT_EQ(DocumentNameFromPath("/a\\b"), "a\\b");
}

} // namespace
