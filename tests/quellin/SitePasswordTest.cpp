// Where a log-in's password comes from, against a real gnome-keyring-daemon on a private bus:
// keyring, then entry, then prompt; remembering; a refused keyring password; hostile site names.
#include "KeyringSession.h"
#include "SitePasswordCases.h"
#include "support/TestNames.h"
#include "platform/keyring/SecretServiceStore.h"

#include <gtest/gtest.h>

namespace {

using quellin::PasswordAnswer;

class SitePasswordTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        session_ = std::make_unique<testservers::KeyringSession>();
        session_->useInThisProcess();
    }
    static void TearDownTestSuite() { session_.reset(); }

    platform::keyring::SecretServiceStore keyring_{ "QuellinTest", std::chrono::seconds(20) };
    static std::unique_ptr<testservers::KeyringSession> session_;
};
std::unique_ptr<testservers::KeyringSession> SitePasswordTest::session_;

struct LogInCase {
    const char* label;
    std::string user;
    std::optional<std::string> stored; // in the keyring before
    std::string entry;
    std::vector<std::optional<PasswordAnswer>> answers;
    std::optional<std::string> accepted; // nullopt: the server cannot be reached
    // Expected:
    std::vector<std::string> tried;
    std::vector<bool> presetRemember;  // one per prompt
    LogInOutcome outcome;
    std::optional<std::string> storedAfter;
    std::size_t notices = 0;
};

void PrintTo(const LogInCase& c, std::ostream* os) { *os << c.label; }

class LogInOrder : public SitePasswordTest, public ::testing::WithParamInterface<LogInCase> {};

TEST_P(LogInOrder, TriesThePasswordsInOrderAndKeepsWhatWasAccepted)
{
    const LogInCase& c = GetParam();
    const quellin::SiteLogin site{ "ftp", c.user, "127.0.0.1", 2121, c.entry };
    const std::string key = quellin::KeyringKey(site);
    if (c.stored) {
        ASSERT_EQ(keyring_.Write(key, *c.stored).status, platform::keyring::KeyringStatus::Ok) << session_->output();
    }

    LogInRun run(std::make_unique<platform::keyring::SecretServiceStore>("QuellinTest", std::chrono::seconds(20)),
                 c.answers);
    EXPECT_EQ(run.logIn(site, c.accepted), c.outcome);
    EXPECT_EQ(run.tried, c.tried);
    ASSERT_EQ(run.questions.size(), c.presetRemember.size());
    for (std::size_t i = 0; i < c.presetRemember.size(); ++i) {
        EXPECT_TRUE(run.questions[i].offerRemember);
        EXPECT_EQ(run.questions[i].remember, c.presetRemember[i]) << "prompt " << i;
        EXPECT_NE(run.questions[i].text.find(c.user + " on 127.0.0.1 (ftp, port 2121)"), std::string::npos);
    }
    EXPECT_EQ(run.notices.size(), c.notices);

    const auto after = keyring_.Read(key);
    if (c.storedAfter) {
        EXPECT_EQ(after.password, *c.storedAfter);
    } else if (c.notices == 0) {
        EXPECT_EQ(after.status, platform::keyring::KeyringStatus::NotFound) << after.password;
    }
}

const PasswordAnswer kRemember{ "typed", true };
const PasswordAnswer kForget{ "typed", false };
const std::string kHugeUser(100000, 'u');

INSTANTIATE_TEST_SUITE_P(
    Cases, LogInOrder,
    ::testing::Values(
        LogInCase{ "KeyringBeforeEntry", "kira", "kept", "entry", {}, "kept", { "kept" }, {}, LogInOutcome::In, "kept" },
        LogInCase{ "EntryWhenNothingStored", "enzo", {}, "entry", {}, "entry", { "entry" }, {}, LogInOutcome::In, {} },
        LogInCase{ "PromptRemembered", "paul", {}, "", { kRemember }, "typed", { "typed" }, { false }, LogInOutcome::In,
                   "typed" },
        LogInCase{ "PromptNotRemembered", "pia", {}, "", { kForget }, "typed", { "typed" }, { false }, LogInOutcome::In,
                   {} },
        LogInCase{ "PromptCancelledTriesNothing", "carl", {}, "", { std::nullopt }, "x", {}, { false },
                   LogInOutcome::Cancelled, {} },
        LogInCase{ "RefusedAnswerIsNotRemembered", "rita", {}, "", { kRemember }, "right", { "typed" }, { false },
                   LogInOutcome::Refused, {} },
        LogInCase{ "RefusedEntryIsNotRetried", "emil", {}, "wrong", { kRemember }, "right", { "wrong" }, {},
                   LogInOutcome::Refused, {} },
        LogInCase{ "RefusedKeyringPasswordAsksOnceAndIsReplaced", "olga", "old", "", { kRemember }, "typed",
                   { "old", "typed" }, { true }, LogInOutcome::In, "typed" },
        LogInCase{ "StaleKeyringPasswordGoesWhenNotRemembered", "otto", "old", "entry", { kForget }, "typed",
                   { "old", "typed" }, { true }, LogInOutcome::In, {} },
        LogInCase{ "SecondRefusalEndsTheLogIn", "sven", "old", "", { kRemember, kRemember }, "right",
                   { "old", "typed" }, { true }, LogInOutcome::Refused, "old" },
        LogInCase{ "CancelAfterRefusedKeyringPassword", "cora", "old", "", { std::nullopt }, "right", { "old" },
                   { true }, LogInOutcome::Cancelled, "old" },
        LogInCase{ "UnreachableServerAsksNothing", "uwe", "kept", "", { kRemember }, {}, { "kept" }, {},
                   LogInOutcome::Unreachable, "kept" },
        LogInCase{ "AnonymousIsSentAsItStands", "anonymous", {}, "", { kRemember }, "", { "" }, {}, LogInOutcome::In,
                   {} },
        LogInCase{ "NoUserIsSentAsItStands", "", {}, "", { kRemember }, "", { "" }, {}, LogInOutcome::In, {} },
        LogInCase{ "ControlCharacterInUserGoesOnWithEntry", "a\x1b[2Jb", {}, "entry", {}, "entry", { "entry" }, {},
                   LogInOutcome::In, {}, 1 },
        LogInCase{ "HugeUserGoesOnWithEntry", kHugeUser, {}, "entry", {}, "entry", { "entry" }, {}, LogInOutcome::In,
                   {}, 1 }),
    [](const auto& info) { return PrintableTestName(info.param.label); });

struct KeyCase {
    quellin::SiteLogin site;
    const char* key;
};

void PrintTo(const KeyCase& c, std::ostream* os) { *os << c.key; }

class KeyringKey : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyringKey, NamesTheSiteUniquely)
{
    EXPECT_EQ(quellin::KeyringKey(GetParam().site), GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(
    Sites, KeyringKey,
    ::testing::Values(KeyCase{ { "ftp", "anna", "ftp.example.org", 21, "pw" }, "ftp://anna@ftp.example.org:21" },
                      KeyCase{ { "SFTP", "Anna", "Host.Example.ORG", 2222, "" }, "sftp://Anna@host.example.org:2222" },
                      KeyCase{ { "ftps", "web@example.com", "h", 990, "" }, "ftps://web%40example.com@h:990" },
                      KeyCase{ { "ftp", "a:b/c%41", "h", 21, "" }, "ftp://a%3Ab%2Fc%2541@h:21" }),
    [](const auto& info) { return PrintableTestName(info.param.key); });

} // namespace
