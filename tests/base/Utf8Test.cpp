#include "base/Utf8.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace {

struct SequenceCase {
    const char* what;
    std::string bytes;
    std::size_t length;        // at offset 0
    std::size_t maximalPrefix; // when length is 0
};

class Utf8Sequences : public testing::TestWithParam<SequenceCase> {};

TEST_P(Utf8Sequences, LengthAndTheBytesOneReplacementCharacterTakes)
{
    const SequenceCase& c = GetParam();
    std::size_t prefix = 99;
    EXPECT_EQ(base::Utf8SequenceLength(c.bytes, 0, &prefix), c.length);
    if (c.length == 0) {
        EXPECT_EQ(prefix, c.maximalPrefix);
    }
    EXPECT_EQ(base::IsValidUtf8(c.bytes), c.length == c.bytes.size());
}

INSTANTIATE_TEST_SUITE_P(
    Forms, Utf8Sequences,
    testing::Values(SequenceCase{ "ascii", "A", 1, 0 }, SequenceCase{ "two", "\xC3\xA9", 2, 0 },
                    SequenceCase{ "three", "\xE2\x82\xAC", 3, 0 }, SequenceCase{ "four", "\xF0\x9F\x98\x80", 4, 0 },
                    SequenceCase{ "stray continuation", "\x80", 0, 1 }, SequenceCase{ "overlong two", "\xC0\xAF", 0, 1 },
                    SequenceCase{ "overlong three", "\xE0\x80\xAF", 0, 1 }, SequenceCase{ "surrogate", "\xED\xA0\x80", 0, 1 },
                    SequenceCase{ "past U+10FFFF", "\xF4\x90\x80\x80", 0, 1 }, SequenceCase{ "lead F5", "\xF5\x80\x80\x80", 0, 1 },
                    SequenceCase{ "cut after two of four", "\xF0\x9F", 0, 2 },
                    SequenceCase{ "cut after three of four", "\xF0\x9F\x98", 0, 3 },
                    SequenceCase{ "ASCII after a lead", "\xE2\x82" "A", 0, 2 }),
    [](const testing::TestParamInfo<SequenceCase>& info) {
        std::string name;
        for (const char c : std::string(info.param.what))
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(Utf8, LongAsciiRunsWithOneBadByteAtEveryPositionOfTheWord)
{
    for (std::size_t at = 0; at < 17; ++at) {
        std::string text(17, 'a');
        EXPECT_TRUE(base::IsValidUtf8(text));
        text[at] = '\xFF';
        EXPECT_FALSE(base::IsValidUtf8(text)) << at;
    }
}

} // namespace
