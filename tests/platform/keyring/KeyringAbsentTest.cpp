// The password store where no keyring runs: said once, then the program goes on without it.
#include "KeyringSession.h"
#include "platform/keyring/SecretServiceStore.h"

#include <gtest/gtest.h>

namespace {

using platform::keyring::KeyringStatus;

TEST(KeyringAbsentTest, MissingKeyringIsReportedOnceAndEveryCallGoesOn)
{
    testservers::TempFolder folder;
    qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArray::fromStdString(testservers::AbsentBusAddress(folder)));
    platform::keyring::SecretServiceStore store("QuellinTest", std::chrono::seconds(20));
    std::vector<std::string> reports;
    store.OnNoKeyring = [&](const std::string& reason) { reports.push_back(reason); };

    EXPECT_EQ(store.Read("sftp://anna@host:22").status, KeyringStatus::NoKeyring);
    EXPECT_EQ(store.Write("sftp://anna@host:22", "x").status, KeyringStatus::NoKeyring);
    EXPECT_EQ(store.Delete("sftp://anna@host:22").status, KeyringStatus::NoKeyring);
    ASSERT_EQ(reports.size(), 1U);
    EXPECT_NE(reports[0].find("No keyring is running"), std::string::npos) << reports[0];
    EXPECT_TRUE(store.keyringMissing());
}

} // namespace
