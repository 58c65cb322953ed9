// The batch mode's command line, parsed in-process.
#include "tarnby/BatchMode.h"
#include "tarnby/BatchOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using tarnby::BatchOptions;
using tarnby::ParseBatchArguments;
using Args = std::vector<std::string>;

TEST(BatchOptions, DefaultToAllThreePassesOnStandardOutput)
{
    const BatchOptions options = ParseBatchArguments({"--links", "a.html", "b.html"});
    EXPECT_EQ(options.action, BatchOptions::Action::Links);
    EXPECT_EQ(options.passes, 3);
    EXPECT_FALSE(options.outputFile);
    EXPECT_EQ(options.sources, (Args{"a.html", "b.html"}));
}

TEST(BatchOptions, AcceptValuesJoinedOrSeparateAndSourcesAnywhere)
{
    const BatchOptions options = ParseBatchArguments({"a.html", "--passes=1", "--links", "-o", "out.txt", "-", "--passes", "0"});
    EXPECT_EQ(options.passes, 0);
    EXPECT_EQ(options.outputFile, "out.txt");
    EXPECT_EQ(options.sources, (Args{"a.html", "-"}));
    EXPECT_EQ(ParseBatchArguments({"--links", "--output=x y.txt", "p"}).outputFile, "x y.txt");
    EXPECT_EQ(ParseBatchArguments({"--links", "--cacert", "ca.pem", "p"}).caCertFile, "ca.pem");
}

TEST(BatchOptions, DoubleDashMakesTheRestSources)
{
    EXPECT_EQ(ParseBatchArguments({"--links", "--", "-o", "--passes"}).sources, (Args{"-o", "--passes"}));
}

TEST(BatchOptions, RefuseWhatCannotRunWithAMessageNamingTheProblem)
{
    const std::vector<std::pair<Args, std::string>> cases = {
        {{"--links", "--passes", "4", "a"}, "--passes takes 0, 1, 2 or 3, not \"4\""},
        {{"--links", "--passes=-1", "a"}, "not \"-1\""},
        {{"--links", "--passes=", "a"}, "not \"\""},
        {{"--links", "--passes=03", "a"}, "not \"03\""},
        {{"--links", "a", "--passes"}, "--passes needs a value (N)"},
        {{"--links", "a", "-o"}, "-o needs a value (FILE)"},
        {{"--links", "--frobnicate", "a"}, "unknown option \"--frobnicate\""},
        {{"--links", "-x", "a"}, "unknown option \"-x\""},
        {{"--links=yes", "a"}, "--links takes no value"},
        {{"--passes", "2", "a"}, "--links is needed"},
        {{"--links"}, "no page given"},
        {{"--links", "--cacert=", "https://x/"}, "--cacert needs a file"},
        {{"--links", "--html-parser", "--passes", "2", "a"}, "--html-parser replaces the passes"},
        {{"--links", "--base", "https://x.example/", "a"}, "--base needs --html-parser"},
        {{"--links", "--html-parser", "--base", "docs/", "a"}, "--base takes an absolute URL, not \"docs/\""},
    };
    for (const auto& [args, message] : cases) {
        try {
            ParseBatchArguments(args);
            ADD_FAILURE() << "accepted: " << ::testing::PrintToString(args);
        } catch (const tarnby::BatchUsageError& error) {
            EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
        }
    }
}

TEST(BatchOptions, HelpAndVersionNeedNothingElseAndHelpWins)
{
    EXPECT_EQ(ParseBatchArguments({"--version"}).action, BatchOptions::Action::Version);
    EXPECT_EQ(ParseBatchArguments({"--version", "-h"}).action, BatchOptions::Action::Help);
    EXPECT_EQ(ParseBatchArguments({"--help", "--version"}).action, BatchOptions::Action::Help);
}

TEST(BatchOptions, UsageNamesEveryOption)
{
    const std::string usage = tarnby::BatchUsage();
    for (const char* option : {"--links", "--passes N", "-o, --output FILE", "--help", "--version"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

TEST(BatchInvocation, IsRecognisedByItsOptionsBeforeADoubleDash)
{
    const auto isBatch = [](std::vector<const char*> args) {
        args.insert(args.begin(), "tarnby");
        return tarnby::IsBatchInvocation(static_cast<int>(args.size()), const_cast<char**>(args.data()));
    };
    EXPECT_FALSE(isBatch({}));
    EXPECT_FALSE(isBatch({"page.html", "other.txt"}));
    EXPECT_TRUE(isBatch({"page.html", "--links"}));
    EXPECT_TRUE(isBatch({"--version"}));
    EXPECT_TRUE(isBatch({"-o", "x"}));
    EXPECT_TRUE(isBatch({"--unknown"}));
    EXPECT_FALSE(isBatch({"--", "--links"}));
}

} // namespace
