// Entry point of the test executables that create widgets (offscreen or on a real X server).
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // CTest lists the tests without the suites' environment and perhaps without any display;
    // listing needs none, so a run that names no platform gets the offscreen one.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // No test reaches the desktop keyring of whoever runs it: the session bus is one that does
    // not exist, until a test starts a keyring of its own (KeyringSession::useInThisProcess).
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tests-have-no-session-bus");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
