// MDTM answers: only a complete, possible UTC time is taken; everything else is no time.
#include "tcpip/FtpRemoteFiles.h"

#include <gtest/gtest.h>

namespace {

struct TimestampCase {
    const char* label;
    std::string text;
    std::optional<std::int64_t> seconds;
};

class FtpTimestampTest : public ::testing::TestWithParam<TimestampCase> {};

TEST_P(FtpTimestampTest, ParsesOrRefuses)
{
    EXPECT_EQ(tcpip::ParseFtpTimestamp(GetParam().text), GetParam().seconds);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FtpTimestampTest,
    ::testing::Values(TimestampCase{ "Plain", "20200913122640", 1600000000 },
                      TimestampCase{ "Fraction", "20200913122640.123", 1600000000 },
                      TimestampCase{ "Epoch", "19700101000000", 0 },
                      TimestampCase{ "LeapDay", "20240229000000", 1709164800 },
                      TimestampCase{ "BeforeEpoch", "19691231235959", -1 },
                      TimestampCase{ "ImpossibleDay", "20230229000000", std::nullopt },
                      TimestampCase{ "HourTwentyFive", "20200913250000", std::nullopt },
                      TimestampCase{ "YearZero", "00000101000000", std::nullopt },
                      TimestampCase{ "Short", "2020091312264", std::nullopt },
                      TimestampCase{ "Empty", "", std::nullopt },
                      TimestampCase{ "Sign", "+2020091312264", std::nullopt },
                      TimestampCase{ "TrailingText", "20200913122640 UTC", std::nullopt },
                      TimestampCase{ "BareDot", "20200913122640.", std::nullopt },
                      TimestampCase{ "EndlessFraction", "20200913122640." + std::string(100000, '9'), std::nullopt },
                      TimestampCase{ "ControlCharacter", "2020091312\r\n640", std::nullopt },
                      TimestampCase{ "Nul", std::string("20200913\0" "22640", 14), std::nullopt }),
    [](const auto& info) { return std::string(info.param.label); });

} // namespace
