// Line dispatch, the integer conversion of arguments and the key-name table, case by case.
#include "makro/KeyNames.h"
#include "makro/MacroLine.h"

#include "support/TestNames.h"

#include <gtest/gtest.h>

#include <cctype>

using namespace makro;

namespace {


struct KindCase {
    std::string line;
    LineKind kind;
};

std::ostream& operator<<(std::ostream& out, const KindCase& c)
{
    return out << c.line;
}

class LineKinds : public ::testing::TestWithParam<KindCase> {};

TEST_P(LineKinds, AreRecognisedOnlyInTheirExactForm)
{
    EXPECT_EQ(ClassifyLine(GetParam().line), GetParam().kind) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Macro, LineKinds, ::testing::Values(
    KindCase{"wait: 3,Editor", LineKind::Wait},
    KindCase{"Wait:3,Editor", LineKind::Keys},
    KindCase{" Window: x", LineKind::Keys},
    KindCase{"Window:x", LineKind::Keys},
    KindCase{"WINDOW: x", LineKind::Window},
    KindCase{"sTaRt: x", LineKind::Start},
    KindCase{";Window: x", LineKind::Comment},
    KindCase{"Sleep: ;", LineKind::Sleep},
    KindCase{"Repeat:  2,x", LineKind::Repeat},
    KindCase{"ExitOnErrorAndMore", LineKind::ExitOnError},
    KindCase{"Exit OnError", LineKind::Keys},
    KindCase{"", LineKind::Keys}),
    [](const auto& info) { return std::to_string(info.index) + "_" + PrintableTestName(info.param.line); });

struct IntegerCase {
    std::string text;
    int value;
};

class Integers : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(Integers, ConvertAsAWholeOrGiveZero)
{
    EXPECT_EQ(ToIntegerOrZero(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Macro, Integers, ::testing::Values(
    IntegerCase{"42", 42}, IntegerCase{"  7", 7}, IntegerCase{"-3", -3}, IntegerCase{"+3", 3},
    IntegerCase{"$1F", 31}, IntegerCase{"-$10", -16}, IntegerCase{"7 ", 0}, IntegerCase{"", 0},
    IntegerCase{"-", 0}, IntegerCase{"$", 0}, IntegerCase{"1x", 0}, IntegerCase{"$G", 0},
    IntegerCase{"2147483647", 2147483647}, IntegerCase{"-2147483648", -2147483647 - 1},
    IntegerCase{"2147483648", 0}, IntegerCase{"99999999999999999999", 0}, IntegerCase{"--1", 0}),
    [](const auto& info) { return std::to_string(info.index) + "_" + PrintableTestName(info.param.text); });

struct SplitCase {
    std::string line;
    LineKind kind;
    int number;
    std::string rest;
};

class Splits : public ::testing::TestWithParam<SplitCase> {};

TEST_P(Splits, TakeTheNumberUpToTheFirstComma)
{
    const NumberAndRest split = SplitNumberAndRest(GetParam().line, GetParam().kind);
    EXPECT_EQ(split.number, GetParam().number);
    EXPECT_EQ(split.rest, GetParam().rest);
}

INSTANTIATE_TEST_SUITE_P(Macro, Splits, ::testing::Values(
    SplitCase{"Wait: 3,Editor", LineKind::Wait, 3, "Editor"},
    SplitCase{"Wait: ,Title", LineKind::Wait, 0, "Title"},
    SplitCase{"Sleep: 1", LineKind::Sleep, 1, ""},
    SplitCase{"Sleep: 0, 250 ", LineKind::Sleep, 0, " 250 "},
    SplitCase{"Repeat: 2,a,b", LineKind::Repeat, 2, "a,b"}),
    [](const auto& info) { return std::to_string(info.index) + "_" + PrintableTestName(info.param.line); });

TEST(KeyNames, TableHasItsRowsInOrder)
{
    const auto table = KeyNameTable();
    ASSERT_EQ(table.size(), 65u);
    EXPECT_EQ(table[0].name, "ADD");
    EXPECT_EQ(table[59].name, "UP");
    EXPECT_EQ(table[60].name, "ALT");
    EXPECT_EQ(table[64].name, ".ALT");
}

struct CaptureCase {
    int code;
    const char* name; // nullptr: no row
};

class Captures : public ::testing::TestWithParam<CaptureCase> {};

TEST_P(Captures, SearchRowsOneToSixtyOnly)
{
    const KeyName* row = KeyNameOfCode(GetParam().code);
    const std::string_view found = row ? row->name : "(none)";
    EXPECT_EQ(found, GetParam().name ? GetParam().name : "(none)");
}

INSTANTIATE_TEST_SUITE_P(Macro, Captures, ::testing::Values(
    CaptureCase{0x12, "MENU"}, CaptureCase{0x10, "SHIFT"}, CaptureCase{0x74, "F5"},
    CaptureCase{0x41, nullptr}, CaptureCase{0xE2, nullptr}),
    [](const auto& info) { return "Code" + std::to_string(info.param.code); });

} // namespace
