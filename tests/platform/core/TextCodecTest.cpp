#include "platform/core/TextCodec.h"

#include <gtest/gtest.h>

using platform::core::DecodeText;
using platform::core::EncodeText;
using platform::core::TextEncoding;

namespace {

TEST(TextCodec, ValidUtf8IsUtf8AndRoundTrips)
{
    const std::string bytes = "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80 <a>\r\n";
    const auto decoded = DecodeText(bytes);
    EXPECT_EQ(decoded.encoding, TextEncoding::Utf8);
    EXPECT_EQ(decoded.text, QString::fromUtf8(bytes.c_str()));
    EXPECT_EQ(EncodeText(decoded.text, decoded.encoding), bytes);
}

TEST(TextCodec, AByteOrderMarkStaysACharacter)
{
    const std::string bytes = "\xef\xbb\xbfhi";
    const auto decoded = DecodeText(bytes);
    EXPECT_EQ(decoded.text.size(), 3);
    EXPECT_EQ(EncodeText(decoded.text, decoded.encoding), bytes);
}

TEST(TextCodec, InvalidUtf8IsWindows1252ByteForByte)
{
    // A stray Latin-1 byte, a lone continuation byte, an overlong slash, an encoded surrogate
    // and a truncated sequence at the end: none of them is UTF-8.
    for (const std::string& bytes : {std::string("caf\xe9"), std::string("a\x80z"),
                                    std::string("\xc0\xaf"), std::string("\xed\xa0\x80"),
                                    std::string("ok\xe2\x82")}) {
        const auto decoded = DecodeText(bytes);
        EXPECT_EQ(decoded.encoding, TextEncoding::Windows1252) << bytes;
        EXPECT_EQ(decoded.text.size(), static_cast<qsizetype>(bytes.size()));
        EXPECT_EQ(EncodeText(decoded.text, decoded.encoding), bytes);
    }
    EXPECT_EQ(DecodeText("\x80\x9f\xe9").text, QString::fromUtf8("\xe2\x82\xac\xc5\xb8\xc3\xa9"));
}

TEST(TextCodec, EveryByteValueRoundTripsIncludingTheUndefinedOnes)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const auto decoded = DecodeText(all);
    ASSERT_EQ(decoded.encoding, TextEncoding::Windows1252);
    EXPECT_EQ(decoded.text.at(0x81), QChar(0x81));
    EXPECT_EQ(decoded.text.at(0x9d), QChar(0x9d));
    EXPECT_EQ(decoded.text.at(0), QChar(0));
    EXPECT_EQ(EncodeText(decoded.text, decoded.encoding), all);
}

TEST(TextCodec, ACharacterWindows1252LacksIsKeptAsUtf8)
{
    // Typed into a pane that holds Windows-1252 text: written, not dropped or replaced.
    const QString text = QStringLiteral("\u00e9\u0159\U0001F600");
    EXPECT_EQ(EncodeText(text, TextEncoding::Windows1252), "\xe9\xc5\x99\xf0\x9f\x98\x80");
}

TEST(TextCodec, EmptyAndAsciiTextsAreUtf8)
{
    EXPECT_EQ(DecodeText("").encoding, TextEncoding::Utf8);
    EXPECT_EQ(DecodeText(std::string("a\0b", 3)).text.size(), 3);
}

// The encoding found without decoding must be the one decoding finds, for every doubtful shape.
TEST(TextCodec, TheEncodingFoundWithoutDecodingIsDecodingsOwn)
{
    const std::string cases[] = {
        "", "ascii", "\xEF\xBB\xBF" "bom", "\xC3\xA9", "\xC3", "\xC0\x80", "\xED\xA0\x80",
        "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xEF\xBF\xBF", "\xF0\x9F\x98\x80", "a\x80" "b",
        std::string("nul\0inside", 11),
    };
    for (const auto& bytes : cases) {
        SCOPED_TRACE(bytes);
        EXPECT_EQ(platform::core::EncodingOf(bytes), DecodeText(bytes).encoding);
    }
}

} // namespace
