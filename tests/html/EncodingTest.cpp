// Pages in the encodings people write them in: which encoding is found, and the text of the
// first link once decoded. Hostile declarations cost no more than the 1024 bytes looked at.
#include "TreeText.h"
#include "html/Decode.h"
#include "html/EncodingSniffing.h"
#include "html/Page.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using html::test::FirstLink;
using html::test::TextBelow;

std::string Times(const std::string& piece, std::size_t count)
{
    std::string text;
    text.reserve(piece.size() * count);
    for (std::size_t i = 0; i < count; ++i)
        text += piece;
    return text;
}

std::string Utf16Le(const std::string& ascii)
{
    std::string out = "\xFF\xFE";
    for (const char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

struct SniffCase {
    const char* name;
    std::string bytes;
    std::string contentType;
    const char* encoding;
    bool certain;
};

class SniffCases : public testing::TestWithParam<SniffCase> {};

TEST_P(SniffCases, FindTheEncoding)
{
    const html::SniffedEncoding found = html::SniffEncoding(GetParam().bytes, GetParam().contentType);
    EXPECT_EQ(found.encoding.name, GetParam().encoding);
    EXPECT_EQ(found.certain, GetParam().certain);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, SniffCases,
    testing::Values(
        SniffCase{"Utf8MarkBeatsEverything", "\xEF\xBB\xBF<meta charset=koi8-r>", "text/html; charset=gb2312", "UTF-8", true},
        SniffCase{"Utf16BigEndianMark", "\xFE\xFF", "", "UTF-16BE", true},
        SniffCase{"Utf16LittleEndianMark", "\xFF\xFE<", "text/html; charset=utf-8", "UTF-16LE", true},
        SniffCase{"HttpCharsetBeatsMeta", "<meta charset=koi8-r>", "text/html; charset=\"Windows-1250\"", "windows-1250", true},
        SniffCase{"UnknownHttpCharsetIgnored", "<meta charset=koi8-r>", "text/html; charset=klingon", "KOI8-R", false},
        SniffCase{"MetaCharset", "<!doctype html><html><head><meta charset='GB2312'>", "", "GBK", false},
        SniffCase{"MetaHttpEquiv", "<META HTTP-EQUIV=Content-Type CONTENT=\"text/html; charset=shift_jis\">", "", "Shift_JIS", false},
        SniffCase{"ContentWithoutPragmaIgnored", "<meta content=\"text/html; charset=koi8-r\">", "", "UTF-8", false},
        SniffCase{"MetaInCommentIgnored", "<!-- <meta charset=koi8-r> --><meta charset=iso-8859-2>", "", "ISO-8859-2", false},
        SniffCase{"MetaInAttributeValueIgnored", "<p title='<meta charset=koi8-r>'><meta charset=latin2>", "", "ISO-8859-2", false},
        SniffCase{"Utf16DeclaredInPageIsUtf8", "<meta charset=utf-16le>", "", "UTF-8", false},
        SniffCase{"Latin1IsWindows1252", "<meta charset=iso-8859-1>", "", "windows-1252", false},
        SniffCase{"NothingDeclared", "<p>plain", "", "UTF-8", false},
        // Hostile declarations.
        SniffCase{"MetaPastTheFirst1024Bytes", Times(" ", 1024) + "<meta charset=koi8-r>", "", "UTF-8", false},
        SniffCase{"CommentThatNeverEnds", "<!--" + Times("<meta charset=koi8-r>", 100000), "", "UTF-8", false},
        SniffCase{"QuoteThatNeverEnds", "<meta charset=\"koi8-r" + Times(" x", 500000), "", "UTF-8", false},
        SniffCase{"HugeCharsetName", "<meta charset=" + Times("koi8-r", 200) + ">", "", "UTF-8", false},
        SniffCase{"HugeHttpCharset", "", "text/html; charset=" + Times("x", 1 << 20), "UTF-8", false},
        SniffCase{"HttpCharsetWordRepeated", "", Times("charset ", 200000) + "charset=koi8-r", "KOI8-R", true},
        SniffCase{"ControlCharacterInName", "<meta charset=\"koi8\x01-r\">", "text/html; charset=koi8\x7f-r", "UTF-8", false},
        SniffCase{"NulInName", std::string("<meta charset=koi8-r\0>", 22), "", "UTF-8", false},
        SniffCase{"ReplacementEncodingKept", "<meta charset=iso-2022-kr>", "", "replacement", false}),
    [](const testing::TestParamInfo<SniffCase>& info) { return info.param.name; });

struct DecodeCase {
    const char* name;
    std::string bytes;
    std::string contentType;
    const char* linkText; // UTF-8
};

class DecodeCases : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeCases, GiveTheLinkText)
{
    const auto page = html::ParsePage(GetParam().bytes, GetParam().contentType);
    const html::NodeId link = FirstLink(*page->document, html::Document::root());
    ASSERT_NE(link, html::kNoNode);
    EXPECT_EQ(TextBelow(*page->document, link), GetParam().linkText);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, DecodeCases,
    testing::Values(
        DecodeCase{"Gb2312ByMeta", "<meta charset=gb2312><a href=x>\xD6\xD0\xCE\xC4</a>", "", "中文"},
        DecodeCase{"Windows1250ByHttp", "<a href=x>\xA3\xF3" "d\x9F</a>", "text/html; charset=windows-1250", "Łódź"},
        DecodeCase{"Iso88592ByHttpEquiv",
                   "<meta http-equiv=content-type content='text/html;charset=iso-8859-2'><a href=x>\xA3\xF3" "d\xBC</a>", "",
                   "Łódź"},
        DecodeCase{"ShiftJisByMeta", "<meta charset=shift_jis><a href=x>\x93\xFA\x96\x7B</a>", "", "日本"},
        DecodeCase{"Koi8rByHttp", "<a href=x>\xF0\xD2\xC9\xD7\xC5\xD4</a>", "text/html; charset=KOI8-R", "Привет"},
        DecodeCase{"Utf16LittleEndianWithMark", Utf16Le("<a href=x>t</a>"), "", "t"},
        DecodeCase{"Utf16BigEndianWithMark", std::string("\xFE\xFF\0<\0a\0 \0h\0r\0e\0f\0=\0x\0>\x04\x1F", 24), "", "П"},
        DecodeCase{"Utf8Mark", "\xEF\xBB\xBF<a href=x>\xC3\xA4</a>", "", "ä"},
        DecodeCase{"StrayByteInUtf8", "<a href=x>\xC3\xA4 \xE9 \xC3\xB6</a>", "", "ä \uFFFD ö"},
        DecodeCase{"CutSequenceIsOneReplacement", "<a href=x>\xE2\x82" "A</a>", "", "\uFFFD" "A"},
        DecodeCase{"SurrogateInUtf8", "<a href=x>\xED\xA0\x80</a>", "", "\uFFFD\uFFFD\uFFFD"},
        DecodeCase{"StrayByteInShiftJis", "<meta charset=sjis><a href=x>\x93 A\x93\xFA</a>", "", "\uFFFD A日"},
        DecodeCase{"OddLastByteInUtf16", Utf16Le("<a href=x>t") + "!", "", "t\uFFFD"},
        // Declared after the first 1024 bytes: the page is read again in what it declares.
        DecodeCase{"LateMetaReparses",
                   "<head><title>" + Times("x", 1100) + "</title><meta charset=koi8-r></head><a href=x>\xF0\xD2</a>", "",
                   "Пр"},
        DecodeCase{"LateMetaIgnoredWhenHttpSaid",
                   "<head><title>" + Times("x", 1100) + "</title><meta charset=koi8-r></head><a href=x>\xC3\xA4</a>",
                   "text/html; charset=utf-8", "ä"},
        DecodeCase{"OnlyTheFirstMetaCounts",
                   "<meta charset=windows-1250><meta charset=koi8-r><a href=x>\xA3</a>", "", "Ł"}),
    [](const testing::TestParamInfo<DecodeCase>& info) { return info.param.name; });

TEST(Encodings, ReplacementEncodingHidesTheWholePage)
{
    const auto page = html::ParsePage("<meta charset=hz-gb-2312><a href=x>t</a>", "");
    EXPECT_EQ(page->document->page(), "\uFFFD");
}

TEST(Encodings, ValidUtf8IsParsedInPlace)
{
    const std::string bytes = "<a href=x>\xC3\xA4</a>";
    const auto page = html::ParsePage(bytes, "");
    EXPECT_EQ(page->document->page().data(), bytes.data());
}

} // namespace
