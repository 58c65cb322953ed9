// Log-ins where no keyring runs: said once, the entry and the prompt as without a keyring, and
// the prompt offers no remembering.
#include "SitePasswordCases.h"
#include "platform/keyring/SecretServiceStore.h"

#include <gtest/gtest.h>

namespace {

TEST(SitePasswordWithoutKeyring, SaysSoOnceAndGoesOnWithEntryAndPrompt)
{
    // The test program's session bus is one where nobody listens.
    LogInRun run(std::make_unique<platform::keyring::SecretServiceStore>("QuellinTest", std::chrono::seconds(20)),
                 { quellin::PasswordAnswer{ "typed", true } });
    EXPECT_EQ(run.logIn({ "ftp", "anna", "127.0.0.1", 21, "entry" }, "entry"), LogInOutcome::In);
    EXPECT_EQ(run.logIn({ "ftp", "bert", "127.0.0.1", 21, "" }, "typed"), LogInOutcome::In);
    EXPECT_EQ(run.logIn({ "ftp", "bert", "127.0.0.1", 21, "" }, "typed"), LogInOutcome::Cancelled);

    EXPECT_EQ(run.tried, (std::vector<std::string>{ "entry", "typed" }));
    ASSERT_EQ(run.questions.size(), 2U) << "nothing was remembered";
    EXPECT_FALSE(run.questions[0].offerRemember);
    EXPECT_FALSE(run.questions[0].remember);
    ASSERT_EQ(run.notices.size(), 1U);
    EXPECT_NE(run.notices[0].find("No keyring is running"), std::string::npos) << run.notices[0];
}

} // namespace
