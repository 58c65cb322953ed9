// The password store against a real gnome-keyring-daemon on a private session bus.
#include "KeyringSession.h"
#include "platform/keyring/SecretServiceStore.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using platform::keyring::KeyringStatus;
using platform::keyring::SecretServiceStore;

class KeyringTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        session_ = std::make_unique<testservers::KeyringSession>();
        session_->useInThisProcess();
    }
    static void TearDownTestSuite() { session_.reset(); }

    SecretServiceStore store_{ "QuellinTest", std::chrono::seconds(20) };
    static std::unique_ptr<testservers::KeyringSession> session_;
};
std::unique_ptr<testservers::KeyringSession> KeyringTest::session_;

TEST_F(KeyringTest, WrittenPasswordIsReadBackExactly)
{
    const std::string password = "p\xC3\xA4ss w\xC3\xB6rd \"'\\ with spaces";
    ASSERT_EQ(store_.Write("sftp://anna@127.0.0.1:2222", password).status, KeyringStatus::Ok) << session_->output();
    const auto read = store_.Read("sftp://anna@127.0.0.1:2222");
    ASSERT_EQ(read.status, KeyringStatus::Ok) << read.message;
    EXPECT_EQ(read.password, password);
}

TEST_F(KeyringTest, WritingAgainReplacesThePassword)
{
    ASSERT_EQ(store_.Write("sftp://bert@host:22", "first").status, KeyringStatus::Ok);
    ASSERT_EQ(store_.Write("sftp://bert@host:22", "second").status, KeyringStatus::Ok);
    EXPECT_EQ(store_.Read("sftp://bert@host:22").password, "second");
}

TEST_F(KeyringTest, SitesDoNotShareAPassword)
{
    ASSERT_EQ(store_.Write("sftp://carl@host:22", "carl's").status, KeyringStatus::Ok);
    ASSERT_EQ(store_.Write("sftp://carl@host:2222", "other port's").status, KeyringStatus::Ok);
    EXPECT_EQ(store_.Read("sftp://carl@host:22").password, "carl's");
    EXPECT_EQ(store_.Read("sftp://carl@host:2222").password, "other port's");
}

TEST_F(KeyringTest, DeletedPasswordIsGone)
{
    ASSERT_EQ(store_.Write("sftp://dora@host:22", "secret").status, KeyringStatus::Ok);
    EXPECT_EQ(store_.Delete("sftp://dora@host:22").status, KeyringStatus::Ok);
    EXPECT_EQ(store_.Read("sftp://dora@host:22").status, KeyringStatus::NotFound);
}

TEST_F(KeyringTest, UnknownSiteIsNotFoundAndNoKeyringIsReported)
{
    int reports = 0;
    store_.OnNoKeyring = [&](const std::string&) { ++reports; };
    EXPECT_EQ(store_.Read("sftp://nobody@nowhere:22").status, KeyringStatus::NotFound);
    EXPECT_EQ(reports, 0);
}

TEST_F(KeyringTest, EmptyPasswordIsStoredAsSuch)
{
    ASSERT_EQ(store_.Write("ftp://empty@host:21", "").status, KeyringStatus::Ok);
    const auto read = store_.Read("ftp://empty@host:21");
    EXPECT_EQ(read.status, KeyringStatus::Ok);
    EXPECT_EQ(read.password, "");
}

struct HostileSite {
    const char* label;
    std::string site;
};

class HostileSiteTest : public KeyringTest, public ::testing::WithParamInterface<HostileSite> {};

// Refused before the keyring is asked: nothing stored, nothing read.
TEST_P(HostileSiteTest, IsRefusedWithoutTouchingTheKeyring)
{
    EXPECT_EQ(store_.Write(GetParam().site, "x").status, KeyringStatus::Failed);
    EXPECT_EQ(store_.Read(GetParam().site).status, KeyringStatus::Failed);
}

INSTANTIATE_TEST_SUITE_P(Sites, HostileSiteTest,
                         ::testing::Values(HostileSite{ "Empty", "" },
                                           HostileSite{ "LineBreak", "sftp://a@host\n:22" },
                                           HostileSite{ "NulByte", std::string("sftp://a\0b@host", 15) },
                                           HostileSite{ "Escape", "sftp://\x1B[2Ja@host" },
                                           HostileSite{ "Huge", "sftp://" + std::string(100000, 'a') + "@host" }),
                         [](const auto& info) { return std::string(info.param.label); });

} // namespace
