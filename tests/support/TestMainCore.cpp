// Entry point of the headless test executables.
#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // No test reaches the desktop keyring of whoever runs it: the session bus is one that does
    // not exist, until a test starts a keyring of its own (KeyringSession::useInThisProcess).
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tests-have-no-session-bus");
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
