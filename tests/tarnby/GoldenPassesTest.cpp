// Golden folders under tests/data/tarnby/passes: "input" (the bytes), "action" ("passes": the
// bytes are the pane's text; "load": they are a file loaded as at start-up), and the pane's
// exact bytes after each pass in "pass1", "pass2", "pass3". The passes are chained.
#include "tarnby/PageFiles.h"
#include "tarnby/ReductionPasses.h"

#include "base/Streams.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

const fs::path kGoldens = fs::path(TEST_DATA_DIR) / "tarnby" / "passes";

std::string Read(const fs::path& path)
{
    return base::ReadWholeFile(path.string());
}

std::string Trimmed(std::string s)
{
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' '))
        s.pop_back();
    return s;
}

class GoldenPasses : public ::testing::TestWithParam<std::string> {};

TEST_P(GoldenPasses, GiveTheExpectedBytesAfterEachPass)
{
    const fs::path folder = kGoldens / GetParam();
    const std::string action = Trimmed(Read(folder / "action"));
    ASSERT_TRUE(action == "passes" || action == "load") << action;
    std::string pane = action == "load" ? tarnby::LoadFiles({(folder / "input").string()})
                                        : Read(folder / "input");
    using Pass = std::string (*)(std::string_view);
    const Pass passes[] = {tarnby::ProcessLinks, tarnby::RemoveEmptyLinks, tarnby::RemoveLinkTags};
    for (int n = 1; n <= 3; ++n) {
        pane = passes[n - 1](pane);
        EXPECT_EQ(pane, Read(folder / ("pass" + std::to_string(n)))) << GetParam() << ", pass " << n;
    }
}

std::vector<std::string> Folders()
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kGoldens))
        if (entry.is_directory())
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Folders, GoldenPasses, ::testing::ValuesIn(Folders()),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

} // namespace
