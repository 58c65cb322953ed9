#include "richprint/PageLayout.h"

#include <gtest/gtest.h>

using namespace richprint;

namespace {

// A 600-dpi A4 printer whose printable area starts 0.25 in from the left and top edges.
DeviceMetrics A4At600()
{
    DeviceMetrics m;
    m.present = true;
    m.paperWidth = 4961;
    m.paperHeight = 7016;
    m.printableWidth = 4661;
    m.printableHeight = 6716;
    m.offsetX = 150;
    m.offsetY = 150;
    return m;
}

struct ClampCase {
    const char* name;
    bool printer;
    MarginSide side;
    double value;
    double expected;
};

class MarginClamping : public testing::TestWithParam<ClampCase> {};

TEST_P(MarginClamping, KeepsEachMarginBetweenItsGutterAndTheFarEdge)
{
    const ClampCase& c = GetParam();
    PageLayout layout;
    if (c.printer)
        layout.SetDevice(A4At600());
    layout.SetMargin(c.side, c.value);
    EXPECT_NEAR(layout.Margin(c.side), c.expected, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MarginClamping,
    testing::Values(
        ClampCase{"TopBelowGutterNoPrinter", false, MarginSide::Top, 1, 6},
        ClampCase{"LeftBeyondPaperNoPrinter", false, MarginSide::Left, 500, 210 - 6},
        ClampCase{"BottomBelowGutterNoPrinter", false, MarginSide::Bottom, 0, 7},
        ClampCase{"InsideKept", false, MarginSide::Right, 15, 15},
        ClampCase{"TopBelowGutterOnPrinter", true, MarginSide::Top, 2, 150 / 600.0 * 25.4},
        ClampCase{"RightBeyondPaperOnPrinter", true, MarginSide::Right, 900,
                  4961 / 600.0 * 25.4 - 150 / 600.0 * 25.4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PageLayout, SwitchingUnitsConvertsMarginsOffsetAndColumnWidthAndBack)
{
    PageLayout layout;
    layout.SetMargin(MarginSide::Left, 25);
    layout.SetDefaultColumnWidth(10);
    layout.SetMeasureUnit(TMeasureUnit::muInches, true);
    EXPECT_NEAR(layout.Margin(MarginSide::Left), 0.984251968503937, 1e-12);
    EXPECT_NEAR(layout.BorderOffset(), 2 * kInchesPerMillimeter, 1e-12);
    EXPECT_NEAR(layout.DefaultColumnWidth(), 10 * kInchesPerMillimeter, 1e-12);
    EXPECT_DOUBLE_EQ(layout.PaperWidth(), 8.5); // fallback in inches
    layout.SetMeasureUnit(TMeasureUnit::muMillimeters, true);
    EXPECT_NEAR(layout.Margin(MarginSide::Left), 25, 1e-9);
}

TEST(PageLayout, TextAreaComesFromMarginsGuttersAndTheLineHeight)
{
    PageLayout layout; // no printer: A4 fallback at 600 dpi
    layout.SetMargin(MarginSide::Top, 30);
    layout.SetMargin(MarginSide::Bottom, 25);
    layout.SetMargin(MarginSide::Left, 25);
    layout.SetMargin(MarginSide::Right, 15);
    const TextArea a = layout.Area(83);
    EXPECT_EQ(a.left, layout.ToDeviceX(25 - 6));
    EXPECT_EQ(a.top, layout.ToDeviceY(30 - 6));
    EXPECT_EQ(a.right, layout.ToDeviceX(15 - 6));
    EXPECT_EQ(a.bottom, layout.ToDeviceY(25 - 7));
    EXPECT_EQ(a.width, layout.ToDeviceX(198) - a.left - a.right);
    EXPECT_EQ(a.height, layout.ToDeviceY(284) - a.top - a.bottom);
    // A line taller than the bottom margin's band pushes the text area up.
    EXPECT_EQ(layout.Area(1000).bottom, 1000);
}

TEST(PageLayout, ConversionRoundsAtTheDeviceResolution)
{
    PageLayout layout;
    DeviceMetrics m = A4At600();
    m.dpiX = 300;
    m.dpiY = 0; // a printer that reports no resolution counts as 600
    layout.SetDevice(m);
    EXPECT_EQ(layout.ToDeviceX(25.4), 300);
    EXPECT_EQ(layout.ToDeviceY(25.4), 600);
    EXPECT_DOUBLE_EQ(layout.FromDeviceY(600), 25.4);
}

} // namespace
