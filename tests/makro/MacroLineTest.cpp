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

struct CutCase {
    const char* name;
    std::string line;
    std::string kept;
};

std::ostream& operator<<(std::ostream& out, const CutCase& c)
{
    return out << c.name;
}

std::string Repeated(std::string_view piece, std::size_t times)
{
    std::string text;
    for (std::size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

class Cuts : public ::testing::TestWithParam<CutCase> {};

TEST_P(Cuts, KeepTheFirst255CharactersInTheEncodingTheLineIsTypedIn)
{
    EXPECT_EQ(CutLine(GetParam().line), GetParam().kept);
}

const std::string umlaut = "\xC3\xA4";     // two bytes
const std::string euro = "\xE2\x82\xAC";  // three bytes
const std::string clef = "\xF0\x9D\x84\x9E"; // four bytes

INSTANTIATE_TEST_SUITE_P(Macro, Cuts, ::testing::Values(
    CutCase{"AsciiAt255", std::string(300, 'a'), std::string(255, 'a')},
    CutCase{"TwoByteCharacters", Repeated(umlaut, 300), Repeated(umlaut, 255)},
    CutCase{"ThreeByteCharacters", Repeated(euro, 256), Repeated(euro, 255)},
    CutCase{"FourByteCharacters", Repeated(clef, 256), Repeated(clef, 255)},
    CutCase{"ShortLineKeptWhole", Repeated(umlaut, 200), Repeated(umlaut, 200)},
    CutCase{"NeverInsideACharacter", std::string(254, 'a') + euro + "b", std::string(254, 'a') + euro},
    CutCase{"InvalidBytesCountOnePerByte", Repeated("\xE4", 300), Repeated("\xE4", 255)},
    CutCase{"OneStrayByteMakesItBytes", std::string("\xE4").append(Repeated(umlaut, 300)), std::string("\xE4").append(Repeated(umlaut, 127))},
    CutCase{"OverlongFormIsNotUtf8", Repeated("\xC0\xAF", 200), Repeated("\xC0\xAF", 127) + "\xC0"},
    CutCase{"SurrogateIsNotUtf8", Repeated("\xED\xA0\x80", 100), Repeated("\xED\xA0\x80", 85)},
    CutCase{"PastTheLastCodePointIsNotUtf8", Repeated("\xF4\x90\x80\x80", 70), Repeated("\xF4\x90\x80\x80", 63) + "\xF4\x90\x80"},
    CutCase{"SequenceCutShortAtTheEnd", std::string(10, 'a') + "\xE2\x82", std::string(10, 'a') + "\xE2\x82"},
    CutCase{"ControlCharactersCountAsCharacters", std::string(300, '\x01'), std::string(255, '\x01')},
    CutCase{"HugeLineCutQuickly", std::string(5'000'000, 'x'), std::string(255, 'x')}
), [](const auto& info) { return std::string(info.param.name); });

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
