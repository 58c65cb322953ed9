// The connect box's logic: its texts (hostile host names kept to one short line), a cancel that
// reaches the session once, and a failure after a cancel that is no error for the user.
#include "quellin/ConnectAttempt.h"

#include <gtest/gtest.h>
#include <stdexcept>

using quellin::ConnectAttempt;

TEST(ConnectAttempt, SaysWhereTheConnectIsWithAHostNameFitForOneLine)
{
    const struct {
        QString host;
        QString connecting;
    } cases[] = {
        { QStringLiteral("ftp.example.org"), QStringLiteral("Connecting to ftp.example.org…") },
        { QStringLiteral("a\nb\tc\x1b"), QStringLiteral("Connecting to a?b?c?…") },
        { QString(100000, u'x'), QStringLiteral("Connecting to ") + QString(80, u'x') + QStringLiteral("……") },
    };
    for (const auto& c : cases) {
        ConnectAttempt attempt(c.host, {});
        EXPECT_EQ(attempt.text(), c.connecting);
        int changes = 0;
        attempt.OnChanged = [&] { ++changes; };
        attempt.loggingIn();
        EXPECT_EQ(changes, 1);
        EXPECT_TRUE(attempt.text().startsWith(QStringLiteral("Logging in to ")));
    }
}

TEST(ConnectAttempt, ACancelReachesTheSessionOnceAndTurnsItsFailureIntoFalse)
{
    int cancels = 0;
    ConnectAttempt attempt(QStringLiteral("h"), [&] { ++cancels; });
    EXPECT_TRUE(attempt.run([] {}));
    EXPECT_THROW(attempt.run([] { throw std::runtime_error("refused"); }), std::runtime_error)
        << "without a cancel a failure is the user's to see";
    attempt.cancel();
    attempt.cancel();
    EXPECT_EQ(cancels, 1);
    EXPECT_FALSE(attempt.run([] { throw std::runtime_error("socket closed"); }));
}
