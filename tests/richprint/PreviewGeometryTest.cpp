#include "richprint/PreviewGeometry.h"

#include <gtest/gtest.h>

using namespace richprint;

namespace {

struct ScreenCase {
    const char* name;
    QRect screen;
    double aspect; // page height over width
};

class PreviewOnScreen : public testing::TestWithParam<ScreenCase> {};

// The page box shows the whole page undistorted (to within the frame's pixels), and the window
// lies on the screen, in landscape as in portrait.
TEST_P(PreviewOnScreen, ShowsThePageInItsShapeInsideTheScreen)
{
    const ScreenCase& c = GetParam();
    const PreviewGeometry g = PreviewGeometryFor(c.screen, c.aspect);
    const double boxAspect = double(g.pageBox.height()) / g.pageBox.width();
    EXPECT_NEAR(boxAspect / c.aspect, 1.0, 0.02);
    EXPECT_TRUE(c.screen.contains(QRect(g.position, g.client))) << g.client.width() << "x"
                                                                << g.client.height();
    EXPECT_EQ(g.panel.top(), g.pageBox.bottom() + 1);
    EXPECT_LE(g.panel.bottom(), g.client.height() - 1);
}

constexpr double kA4 = 297.0 / 210.0;

INSTANTIATE_TEST_SUITE_P(
    Cases, PreviewOnScreen,
    testing::Values(ScreenCase{"PortraitOnWideScreen", QRect(0, 0, 1920, 1080), kA4},
                    ScreenCase{"LandscapeOnWideScreen", QRect(0, 0, 1920, 1080), 1 / kA4},
                    ScreenCase{"PortraitOnSquarishScreen", QRect(0, 0, 1280, 1024), kA4},
                    ScreenCase{"LandscapeWiderThanTheScreen", QRect(0, 0, 1280, 1024), 1 / kA4},
                    ScreenCase{"LandscapeOnASecondScreen", QRect(1280, 0, 1024, 1024), 1 / kA4}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
