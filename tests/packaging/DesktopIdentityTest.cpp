// The icon and desktop file name the programs announce, from the images built into them.
#include "platform/gui/DesktopIdentity.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

class ProgramIcon : public ::testing::TestWithParam<const char*> {};

// Every size the hicolor theme gets is in the window icon too, so task bars and title bars
// pick a sharp one instead of scaling.
TEST_P(ProgramIcon, HasEveryThemeSize)
{
    const QIcon icon = platform::gui::ProgramIcon(QString::fromUtf8(GetParam()));
    QList<int> sizes;
    for (const QSize& size : icon.availableSizes())
        sizes << size.width();
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (QList<int>{16, 22, 24, 32, 48, 64, 128, 256}));
}

TEST_P(ProgramIcon, BecomesTheWindowIconAndNamesTheDesktopFile)
{
    platform::gui::AnnounceDesktopIdentity(QString::fromUtf8(GetParam()));
    EXPECT_EQ(QGuiApplication::desktopFileName(), QString::fromUtf8(GetParam()));
    EXPECT_EQ(QApplication::windowIcon().availableSizes().size(), 8);
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramIcon, ::testing::Values("tarnby", "quellin"),
                         [](const auto& info) { return std::string(info.param); });

// A program built without its images falls back to the icon theme; without a theme icon of
// that name it has none, and nothing else breaks.
TEST(ProgramIconWithoutImages, FallsBackToTheTheme)
{
    EXPECT_TRUE(platform::gui::ProgramIcon(QStringLiteral("no-such-program")).availableSizes().isEmpty());
}

} // namespace
