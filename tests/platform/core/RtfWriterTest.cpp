#include "RtfReader.h"

#include "platform/core/RtfWriter.h"

#include <gtest/gtest.h>

using platform::core::RtfFormat;
using platform::core::RtfLine;
using platform::core::WriteRtf;

namespace {

RtfFormat plain(const char* font = "DejaVu Sans", double size = 10)
{
    RtfFormat f;
    f.fontName = QString::fromLatin1(font);
    f.pointSize = size;
    return f;
}

TEST(RtfWriter, EmptyDocumentIsValid)
{
    const auto doc = rtftest::ReadRtf(WriteRtf({}));
    EXPECT_TRUE(doc.paragraphs.empty());
    EXPECT_FALSE(doc.fonts.empty());
}

TEST(RtfWriter, EveryLineIsOneParagraphEmptyOnesIncluded)
{
    const auto doc = rtftest::ReadRtf(
        WriteRtf({{{QStringLiteral("first"), plain()}}, {}, {{QStringLiteral("third"), plain()}}}));
    EXPECT_EQ(doc.lines(), (QStringList{"first", "", "third"}));
}

TEST(RtfWriter, SpecialCharactersSurviveTheRoundTrip)
{
    const QString text = QStringLiteral("a\\b{c}d\te \u00e9\u20ac \u0159 \U0001F600 \\par {\\b x}");
    const std::string rtf = WriteRtf({{{text, plain()}}});
    // Nothing outside ASCII is written raw.
    for (const char c : rtf)
        ASSERT_LT(static_cast<unsigned char>(c), 0x80);
    EXPECT_NE(rtf.find("\\'e9"), std::string::npos);
    EXPECT_NE(rtf.find("\\'80"), std::string::npos); // the euro sign is in Windows-1252
    EXPECT_NE(rtf.find("\\u345?"), std::string::npos);
    const auto doc = rtftest::ReadRtf(rtf);
    EXPECT_EQ(doc.lines(), QStringList{text});
}

TEST(RtfWriter, FontAndColourTablesHoldEachOnceAndRunsReferToThem)
{
    RtfFormat red = plain("Courier New", 13);
    red.rgb = 0xFF0000;
    red.bold = true;
    RtfFormat blue = plain();
    blue.rgb = 0x0000FF;
    blue.italic = true;
    blue.underline = true;
    RtfFormat struck = plain();
    struck.strikeOut = true;
    const std::vector<RtfLine> lines = {
        {{QStringLiteral("red "), red}, {QStringLiteral("blue"), blue}},
        {{QStringLiteral("plain "), plain()}, {QStringLiteral("again"), red}, {QStringLiteral("x"), struck}},
    };
    const auto doc = rtftest::ReadRtf(WriteRtf(lines));
    EXPECT_EQ(doc.fonts, (std::vector<QString>{"Courier New", "DejaVu Sans"}));
    EXPECT_EQ(doc.colours, (std::vector<std::uint32_t>{0, 0xFF0000, 0x0000FF, 0x000000}));
    ASSERT_EQ(doc.paragraphs.size(), 2u);
    const auto& first = doc.paragraphs[0];
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].font, "Courier New");
    EXPECT_EQ(first[0].halfPoints, 26);
    EXPECT_TRUE(first[0].bold);
    EXPECT_EQ(first[0].rgb, 0xFF0000u);
    EXPECT_FALSE(first[1].bold);
    EXPECT_TRUE(first[1].italic);
    EXPECT_TRUE(first[1].underline);
    EXPECT_EQ(first[1].rgb, 0x0000FFu);
    const auto& second = doc.paragraphs[1];
    ASSERT_EQ(second.size(), 3u);
    EXPECT_FALSE(second[0].italic);
    EXPECT_FALSE(second[0].underline);
    EXPECT_EQ(second[0].halfPoints, 20);
    EXPECT_TRUE(second[1].bold);
    EXPECT_TRUE(second[2].strike);
    EXPECT_FALSE(second[2].bold);
}

TEST(RtfWriter, FontNamesCannotBreakTheFontTable)
{
    const auto doc = rtftest::ReadRtf(WriteRtf({{{QStringLiteral("x"), plain("Evil;{Font}")}}}));
    EXPECT_EQ(doc.fonts.front(), "Evil{Font}");
    EXPECT_EQ(doc.lines(), QStringList{"x"});
}

} // namespace
