// Entry point of the platform GUI suite: the programs' application object, offscreen.
#include "platform/gui/Application.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery runs the executable without the suite's environment.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::gui::Application app(argc, argv);
    platform::gui::Application::setTitle(QStringLiteral("Test v1"));
    return RUN_ALL_TESTS();
}
