#include "richprint/Columns.h"
#include "richprint/PageSetupFlags.h"

#include <gtest/gtest.h>

using namespace richprint;

namespace {

TEST(Columns, SplitKeepsEmptyItemsAtBothEnds)
{
    EXPECT_EQ(SplitItems(QString()), QStringList{QString()});
    EXPECT_EQ(SplitItems(QStringLiteral("a|")), (QStringList{"a", ""}));
    EXPECT_EQ(SplitItems(QStringLiteral("<80|>80")), (QStringList{"<80", ">80"}));
}

struct FormatCase {
    const char* name;
    const char* item;
    TColumnAlign align;
    double width;
};

class Formats : public testing::TestWithParam<FormatCase> {};

TEST_P(Formats, ParseAlignmentAndWidth)
{
    const FormatCase& c = GetParam();
    const ColumnFormat f = ParseColumnFormat(QString::fromLatin1(c.item), 7);
    EXPECT_EQ(f.align, c.align);
    EXPECT_EQ(f.width, c.width);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Formats,
    testing::Values(FormatCase{"Left", "<50", TColumnAlign::Left, 50},
                    FormatCase{"Right", ">50.5", TColumnAlign::Right, 50.5},
                    FormatCase{"Centred", "^60", TColumnAlign::Center, 60},
                    FormatCase{"NoAlignment", "60", TColumnAlign::Left, 60},
                    FormatCase{"Empty", "", TColumnAlign::Left, 7},
                    FormatCase{"AlignmentAlone", "<", TColumnAlign::Left, 7},
                    FormatCase{"NotANumber", ">wide", TColumnAlign::Right, 7},
                    FormatCase{"Infinite", ">inf", TColumnAlign::Right, 7}),
    [](const auto& info) { return std::string(info.param.name); });

struct PlaceholderCase {
    const char* name;
    const char* text;
    const char* title;
    const char* expected;
};

class Placeholders : public testing::TestWithParam<PlaceholderCase> {};

TEST_P(Placeholders, ReplaceInOrderButNeverThemselves)
{
    const PlaceholderCase& c = GetParam();
    const PlaceholderValues v{12, 3, QStringLiteral("D"), QStringLiteral("T"),
                              QString::fromLatin1(c.title)};
    EXPECT_EQ(ExpandPlaceholders(QString::fromLatin1(c.text), v), QString::fromLatin1(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Placeholders,
    testing::Values(
        PlaceholderCase{"All", "{$LINE}/{$PAGE} {$DATE} {$TIME} {$TITLE}{$PAGE}", "x",
                        "12/3 D T x3"},
        PlaceholderCase{"SelfReferencingTitle", "[{$TITLE}]", "a{$TITLE}b", "[{$TITLE}]"},
        PlaceholderCase{"PlaceholderInTitleNotExpanded", "{$TITLE}", "{$PAGE}", "{$PAGE}"},
        PlaceholderCase{"LowerCaseIsText", "{$page} {$Title}", "x", "{$page} {$Title}"},
        // A title that rebuilds the placeholder with the text after it ends in one pass.
        PlaceholderCase{"RebuiltPlaceholderEnds", "{$TITLE}LE}", "{$TIT", "{$TITLE}"}),
    [](const auto& info) { return std::string(info.param.name); });

struct OffsetCase {
    const char* name;
    TColumnAlign align;
    int dpi;
    int textWidth;
    int expected;
};

class Offsets : public testing::TestWithParam<OffsetCase> {};

TEST_P(Offsets, PadLeftAndRightColumnsAtHighResolutionsOnly)
{
    const OffsetCase& c = GetParam();
    EXPECT_EQ(ColumnTextOffset(c.align, 100, c.textWidth, c.dpi), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, Offsets,
                         testing::Values(OffsetCase{"Left600", TColumnAlign::Left, 600, 40, 6},
                                         OffsetCase{"Right600", TColumnAlign::Right, 600, 40, 54},
                                         OffsetCase{"Centred600", TColumnAlign::Center, 600, 40, 30},
                                         OffsetCase{"Right300", TColumnAlign::Right, 300, 40, 60},
                                         OffsetCase{"RightTooWideToPad", TColumnAlign::Right, 600, 95, 5}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PageSetupFlags, DisablingMarginsWinsAndTheUnitAddsItsFlag)
{
    TPageOptions options = poMargins | poDisableMargins | poDisablePaper;
    EXPECT_EQ(DerivePageSetupFlags(options, TMeasureUnit::muInches),
              unsigned(PSD_DISABLEMARGINS | PSD_DISABLEPAPER | PSD_INTHOUSANDTHSOFINCHES));
    EXPECT_EQ(options, TPageOptions(poDisableMargins | poDisablePaper));
    options = poMargins;
    EXPECT_EQ(DerivePageSetupFlags(options, TMeasureUnit::muMillimeters),
              unsigned(PSD_MARGINS | PSD_INHUNDREDTHSOFMILLIMETERS));
}

} // namespace
