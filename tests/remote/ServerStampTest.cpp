// The stamp comparison behind the conflict check, the temporary names of whole-file stores and
// the question put to the user.
#include "remote/RemoteNames.h"
#include "remote/ServerStamp.h"
#include "remote/WholeFileStore.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using remote::ServerStamp;
using remote::StampVerdict;

struct StampCase {
    const char* label;
    ServerStamp atOpen;
    ServerStamp now;
    StampVerdict verdict;
};

class CompareStamps : public ::testing::TestWithParam<StampCase> {};

TEST_P(CompareStamps, OnlyFieldsKnownOnBothSidesDecide)
{
    EXPECT_EQ(remote::CompareStamps(GetParam().atOpen, GetParam().now), GetParam().verdict);
}

INSTANTIATE_TEST_SUITE_P(
    Stamps, CompareStamps,
    ::testing::Values(StampCase{ "Same", { 7, 1600000000 }, { 7, 1600000000 }, StampVerdict::Unchanged },
                      StampCase{ "EmptyFileSame", { 0, 1600000000 }, { 0, 1600000000 }, StampVerdict::Unchanged },
                      StampCase{ "SizeDiffers", { 7, 1600000000 }, { 8, 1600000000 }, StampVerdict::Changed },
                      StampCase{ "TimeDiffers", { 7, 1600000000 }, { 7, 1600000001 }, StampVerdict::Changed },
                      StampCase{ "OnlySizesKnownAndDiffer", { 7, 0 }, { 8, 0 }, StampVerdict::Changed },
                      StampCase{ "OnlyTimesKnownAndSame", { -1, 5 }, { -1, 5 }, StampVerdict::Unchanged },
                      StampCase{ "SizeLostSinceOpenTimeSame", { 7, 5 }, { -1, 5 }, StampVerdict::Unchanged },
                      StampCase{ "NothingReported", { -1, 0 }, { -1, 0 }, StampVerdict::NotReported },
                      StampCase{ "KnownAtOpenOnlyOnOtherFields", { 7, 0 }, { -1, 5 }, StampVerdict::NotReported }),
    [](const auto& info) { return std::string(info.param.label); });

TEST(TemporaryName, BesideTheFileHiddenAndUnique)
{
    EXPECT_EQ(remote::TemporaryName("index.html", "abc123"), ".index.html.quellin-abc123.tmp");
    std::set<std::string> names;
    for (int i = 0; i < 1000; ++i)
        names.insert(remote::TemporaryName("a"));
    EXPECT_EQ(names.size(), 1000U);
    for (const auto& name : names)
        EXPECT_EQ(remote::EntryNameProblem(name), "") << name;
}

struct LongNameCase {
    const char* label;
    std::string name;
    bool utf8 = true; // else bytes that are no characters: only the length counts
};

class TemporaryNameOfLongNames : public ::testing::TestWithParam<LongNameCase> {};

TEST_P(TemporaryNameOfLongNames, FitsIn255BytesWithoutCuttingACharacter)
{
    const std::string temporary = remote::TemporaryName(GetParam().name, "abc123");
    EXPECT_EQ(remote::EntryNameProblem(temporary), "");
    EXPECT_LE(temporary.size(), remote::kMaxNameLength);
    const std::string kept = temporary.substr(1, temporary.size() - std::string(".quellin-abc123.tmp").size() - 1);
    EXPECT_EQ(GetParam().name.compare(0, kept.size(), kept), 0) << "the start of the name is kept";
    EXPECT_GE(kept.size(), std::size_t{ 232 }) << "at most one character given up";
    if (GetParam().utf8 && kept.size() < GetParam().name.size()) {
        EXPECT_NE(static_cast<unsigned char>(GetParam().name[kept.size()]) & 0xC0, 0x80) << "cut inside a character";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, TemporaryNameOfLongNames,
    ::testing::Values(LongNameCase{ "Longest", std::string(remote::kMaxNameLength, 'n') },
                      LongNameCase{ "JustFits", std::string(235, 'n') },
                      LongNameCase{ "TwoByteCharacters", [] { std::string s; for (int i = 0; i < 127; ++i) s += "\xC3\xA9"; return s; }() },
                      LongNameCase{ "ThreeByteCharacters", [] { std::string s; for (int i = 0; i < 85; ++i) s += "\xE2\x82\xAC"; return s; }() },
                      LongNameCase{ "StrayContinuationBytes", std::string(255, '\x80'), false }),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ConflictQuestion, SaysWhatChangedAndOffersTheThreeAnswers)
{
    const auto question = remote::ConflictQuestionFor("a\x1B[2J.html");
    EXPECT_EQ(question.text.rfind(remote::kServerCopyChanged, 0), 0U);
    EXPECT_EQ(question.text.find('\x1B'), std::string::npos) << "control characters shown, not sent to the dialog";
    ASSERT_EQ(question.choices.size(), 3U);
    EXPECT_EQ(question.choices[0].answer, remote::ConflictAnswer::Overwrite);
    EXPECT_EQ(question.choices[1].answer, remote::ConflictAnswer::KeepMineOpenTheirs);
    EXPECT_EQ(question.choices[2].answer, remote::ConflictAnswer::Cancel);
}

} // namespace
