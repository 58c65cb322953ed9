// The player against the recording desktop: each case is a macro text and the exact events it
// must send (key presses "+XX" and releases "-XX" by virtual-key code, look-ups, raises,
// starts and sleeps), with the error flag and the time the run took on the recorder's clock.
#include "makro/MacroPlayer.h"
#include "platform/x11/RecordingDesktop.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using makro::MacroPlayer;
using platform::x11::RecordingDesktop;

namespace {

struct PlayerCase {
    const char* name;
    std::vector<std::string> lines;
    std::vector<std::string> expected;
    bool errorFlag = false;
    int errorBoxes = 0;
    std::vector<std::string> windows = {"Editor", "Untitled - Notes"};
    std::vector<std::string> programs = {"mousepad"};
};

// Cases print as their names.
template <typename Case>
    requires requires(const Case& c) { c.name; }
std::ostream& operator<<(std::ostream& out, const Case& c)
{
    return out << c.name;
}

class PlayerCases : public ::testing::TestWithParam<PlayerCase> {};

TEST_P(PlayerCases, SendsExactlyTheExpectedEvents)
{
    const PlayerCase& c = GetParam();
    RecordingDesktop desktop;
    for (const std::string& title : c.windows)
        desktop.addWindow(title);
    for (const std::string& program : c.programs)
        desktop.addProgram(program);
    desktop.refuseFocus("Locked");
    int boxes = 0;
    MacroPlayer player(desktop, [&](const makro::FailedLine&) { ++boxes; });
    player.run(c.lines);
    EXPECT_EQ(desktop.events(), c.expected);
    EXPECT_EQ(player.errorFlag(), c.errorFlag);
    EXPECT_EQ(boxes, c.errorBoxes);
}

const std::string longLine(300, 'a');
std::string Repeated(std::string_view piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

std::vector<std::string> TypedWithoutKey(const std::string& character, int times)
{
    return std::vector<std::string>(static_cast<std::size_t>(times), "char " + character);
}

std::vector<std::string> TypedA(int times)
{
    std::vector<std::string> events;
    for (int i = 0; i < times; ++i) {
        events.push_back("+41");
        events.push_back("-41");
    }
    return events;
}

INSTANTIATE_TEST_SUITE_P(Macro, PlayerCases, ::testing::Values(
    PlayerCase{"PlainCharacters", {"ab 1"}, {"+41", "-41", "+42", "-42", "+20", "-20", "+31", "-31"}},
    PlayerCase{"CapitalNeedsShift", {"A"}, {"+10", "+41", "-41", "-10"}},
    PlayerCase{"ShiftedPunctuation", {"?"}, {"+10", "+BF", "-BF", "-10"}},
    PlayerCase{"ControlCharacterTypedWithControl", {"\x01"}, {"+11", "+41", "-41", "-11"}},
    PlayerCase{"CharacterWithoutKey", {"\xC3\xA9"}, {"char \xC3\xA9"}},
    PlayerCase{"BytesThatAreNotUtf8AreWindows1252", {"\xE9"}, {"char \xC3\xA9"}},
    PlayerCase{"NamedKeyPressedAndReleased", {"<F5><TAB>"}, {"+74", "-74", "+09", "-09"}},
    PlayerCase{"ModifierHeldAcrossLines", {"<SHIFT>a", "b<.SHIFT>"}, {"+10", "+41", "-41", "+42", "-42", "-10"}},
    PlayerCase{"AltAndMenuAreOneKey", {"<ALT>x<.MENU>"}, {"+12", "+58", "-58", "-12"}},
    PlayerCase{"ModifierLeftDownIsReleasedAtTheEnd", {"<CONTROL><SHIFT>a"}, {"+11", "+10", "+41", "-41", "-10", "-11"}},
    PlayerCase{"LowerCaseTokenSendsNothing", {"<control><Shift><>"}, {}},
    PlayerCase{"LowerThanTokenTypesLowerThan", {"<<>"}, {"+10", "+BC", "-BC", "-10"}},
    PlayerCase{"GreaterThanOutsideTokenIsTyped", {">"}, {"+10", "+BE", "-BE", "-10"}},
    PlayerCase{"UnclosedTokenIsTypedAsCharacters", {"a<tab", "<TAB>"}, {"+41", "-41", "+10", "+BC", "-BC", "-10", "+54", "-54", "+41", "-41", "+42", "-42", "+09", "-09"}},
    PlayerCase{"LongLineCutTo255", {longLine}, TypedA(255)},
    PlayerCase{"LongNonAsciiLineCutTo255Characters", {Repeated("\xC3\xA4", 256)}, TypedWithoutKey("\xC3\xA4", 255)},
    PlayerCase{"CommentSendsNothing", {"; <DELETE>", "; x"}, {}},
    PlayerCase{"BlankBeforeCommentIsKeyText", {" ;"}, {"+20", "-20", "+BA", "-BA"}},
    PlayerCase{"KeywordWithoutBlankIsKeyText", {"Wait:a"}, {"+10", "+57", "-57", "-10", "+41", "-41", "+49", "-49", "+54", "-54", "+10", "+BA", "-BA", "-10", "+41", "-41"}},
    PlayerCase{"EmptyLineSendsNothing", {""}, {}},
    PlayerCase{"RepeatTypesItsKeysCountTimes", {"Repeat: 3,<TAB>"}, {"+09", "-09", "+09", "-09", "+09", "-09"}},
    PlayerCase{"RepeatKeepsCommasOfItsKeys", {"repeat: 2,a,"}, {"+41", "-41", "+BC", "-BC", "+41", "-41", "+BC", "-BC"}},
    PlayerCase{"RepeatZeroOrNegativeSendsNothing", {"Repeat: 0,a", "Repeat: -2,a", "Repeat: x,a", "Repeat: 2 ,a"}, {}},
    PlayerCase{"RepeatHexCount", {"Repeat: $2,a"}, TypedA(2)},
    PlayerCase{"WindowFoundIsRaised", {"window: editor"}, {"find editor", "raise Editor"}},
    PlayerCase{"WindowMissingSetsTheFlag", {"Window: Nothing"}, {"find Nothing"}, true},
    PlayerCase{"LaterSuccessClearsTheFlag", {"Window: Nothing", "Window: Editor", "ExitOnError"}, {"find Nothing", "find Editor", "raise Editor"}},
    PlayerCase{"ExitOnErrorStopsTheRun", {"Window: Nothing", "exitonerror whatever", "a"}, {"find Nothing"}, true, 1},
    PlayerCase{"ExitOnErrorReleasesHeldKeys", {"<SHIFT>", "Start: missing", "ExitOnError"}, {"+10", "start missing", "-10"}, true, 1},
    PlayerCase{"WithoutExitOnErrorTheRunGoesOn", {"Window: Nothing", "a"}, {"find Nothing", "+41", "-41"}, true},
    PlayerCase{"StartPassesTheCommandLine", {"Start: mousepad \"my notes.txt\""}, {"start mousepad \"my notes.txt\""}},
    PlayerCase{"StartOfMissingProgramSetsTheFlag", {"START: nosuchprogram"}, {"start nosuchprogram"}, true},
    PlayerCase{"SleepSleepsSecondsAndMilliseconds", {"Sleep: 1", "a", "Sleep: 0,250", "Sleep: x"}, {"sleep 1000", "+41", "-41", "sleep 250"}},
    PlayerCase{"WaitZeroSecondsEndsAtOnceWithTheFlag", {"Wait: ,Editor"}, {}, true},
    PlayerCase{"WaitFindsAnExistingWindowAtOnce", {"wait: 3,Untitled - Notes"}, {"find Untitled - Notes", "raise Untitled - Notes"}},
    PlayerCase{"WindowThatTakesNoFocusSetsTheFlag", {"Window: Locked", "ExitOnError", "a"}, {"find Locked", "raise Locked"}, true, 1, {"Editor", "Locked"}},
    PlayerCase{"WaitForAWindowThatTakesNoFocusSetsTheFlag", {"Wait: 3,Locked", "ExitOnError", "a"}, {"find Locked", "raise Locked"}, true, 1, {"Locked"}}
), [](const auto& info) { return std::string(info.param.name); });

// The error box learns which line failed: the last Window, Wait or Start line that set the flag.
struct FailedLineCase {
    const char* name;
    std::vector<std::string> lines;
    std::string described;
};

class FailedLines : public ::testing::TestWithParam<FailedLineCase> {};

TEST_P(FailedLines, AreNamedByNumberAndText)
{
    RecordingDesktop desktop;
    desktop.addWindow("Editor");
    desktop.addWindow("Locked");
    desktop.refuseFocus("Locked");
    std::string shown;
    MacroPlayer player(desktop, [&](const makro::FailedLine& line) { shown = makro::DescribeFailedLine(line); });
    EXPECT_EQ(player.run(GetParam().lines), makro::RunEnd::ExitOnError);
    EXPECT_EQ(shown, GetParam().described);
}

INSTANTIATE_TEST_SUITE_P(Macro, FailedLines, ::testing::Values(
    FailedLineCase{"MissingWindow", {"; header", "Window: Nothing", "ExitOnError"}, "Line 2: Window: Nothing"},
    FailedLineCase{"NoFocus", {"Window: Locked", "ExitOnError"}, "Line 1: Window: Locked"},
    FailedLineCase{"FailedStart", {"a", "", "Start: missing program", "ExitOnError"}, "Line 3: Start: missing program"},
    FailedLineCase{"LastOfTwoFailures", {"Window: One", "Wait: 0,Two", "b", "ExitOnError"}, "Line 2: Wait: 0,Two"},
    FailedLineCase{"SuccessInBetweenClearsTheEarlierOne", {"Window: One", "Window: Editor", "Start: gone", "ExitOnError"}, "Line 3: Start: gone"},
    FailedLineCase{"LongLineNamedAsRun", {"Window: " + std::string(400, 'w'), "ExitOnError"}, "Line 1: Window: " + std::string(247, 'w')},
    FailedLineCase{"ControlCharactersKept", {"Window: a\x01\tb", "ExitOnError"}, "Line 1: Window: a\x01\tb"}
), [](const auto& info) { return std::string(info.param.name); });

// A stop key held by the user ends the run before its next key, between slices of Sleep and
// Wait, or before the next line, and every key the run holds is released.
struct StopCase {
    const char* name;
    std::vector<std::string> lines;
    std::uint8_t key;
    std::size_t afterEvents;
    std::chrono::milliseconds from;
    std::vector<std::string> expected;
    std::chrono::milliseconds elapsed{};
};

class StopKeys : public ::testing::TestWithParam<StopCase> {};

TEST_P(StopKeys, EndTheRunAndReleaseEveryHeldKey)
{
    const StopCase& c = GetParam();
    RecordingDesktop desktop;
    desktop.addWindow("Editor");
    desktop.holdKey(c.key, c.afterEvents, c.from);
    MacroPlayer player(desktop, {});
    EXPECT_EQ(player.run(c.lines), makro::RunEnd::StoppedByUser);
    EXPECT_EQ(desktop.events(), c.expected);
    EXPECT_EQ(desktop.elapsed(), c.elapsed);
}

// Wait's look-ups of a window that never comes, one slice apart, until the stop.
std::vector<std::string> WaitPolls(int slices)
{
    std::vector<std::string> events;
    for (int i = 0; i < slices; ++i) {
        events.push_back("find Never");
        events.push_back("sleep 20");
    }
    events.push_back("find Never");
    return events;
}

const std::vector<std::string> shiftThenA = {"+10", "+41", "-41", "+41", "-41", "-10"};

INSTANTIATE_TEST_SUITE_P(Macro, StopKeys, ::testing::Values(
    StopCase{"EscapeStopsAnEndlessRepeat", {"<SHIFT>", "Repeat: 100000000,a"}, 0x1B, 5, 0ms, shiftThenA},
    StopCase{"PauseStopsAnEndlessRepeat", {"<CONTROL><SHIFT>", "Repeat: 2147483647,x"}, 0x13, 4, 0ms, {"+11", "+10", "+58", "-58", "-10", "-11"}},
    StopCase{"StopsInsideALongLine", {std::string(200, 'a')}, 0x1B, 6, 0ms, TypedA(3)},
    StopCase{"StopsBeforeACharacterWithoutKey", {"\xC3\xA9\xC3\xA9\xC3\xA9"}, 0x1B, 2, 0ms, {"char \xC3\xA9", "char \xC3\xA9"}},
    StopCase{"StopsASleepWithinASlice", {"<MENU>", "Sleep: 59", "a"}, 0x13, 0, 500ms, {"+12", "sleep 500", "-12"}, 500ms},
    StopCase{"StopsAWait", {"Wait: 30,Never", "a"}, 0x1B, 0, 1000ms, WaitPolls(50), 1000ms},
    StopCase{"StopsBeforeTheNextLine", {"Window: Editor", "Start: anything"}, 0x1B, 2, 0ms, {"find Editor", "raise Editor"}}
), [](const auto& info) { return std::string(info.param.name); });

// Wait polls the window list at a fixed interval until the window appears or time is up.
struct WaitCase {
    const char* name;
    std::string line;
    std::chrono::milliseconds appearsAt;
    bool errorFlag;
    std::chrono::milliseconds elapsed;
};

class WaitCases : public ::testing::TestWithParam<WaitCase> {};

TEST_P(WaitCases, PollsUntilFoundOrTimedOut)
{
    const WaitCase& c = GetParam();
    RecordingDesktop desktop;
    desktop.addWindow("Late", c.appearsAt);
    MacroPlayer player(desktop, {});
    player.run({c.line});
    EXPECT_EQ(player.errorFlag(), c.errorFlag);
    EXPECT_EQ(desktop.elapsed(), c.elapsed);
    const auto raised = std::count(desktop.events().begin(), desktop.events().end(), "raise Late");
    EXPECT_EQ(raised, c.errorFlag ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Macro, WaitCases, ::testing::Values(
    WaitCase{"WindowAppearingLaterIsFound", "Wait: 3,late", 500ms, false, 500ms},
    WaitCase{"WindowAppearingTooLateIsNot", "Wait: 2,Late", 2500ms, true, 2000ms},
    WaitCase{"BlanksOfTheTitleAreKept", "Wait: 1, Late", 0ms, true, 1000ms},
    WaitCase{"FiftyNineSecondsIsTheLongestWait", "Wait: 59,Late", 59001ms, true, 59000ms}
), [](const auto& info) { return std::string(info.param.name); });

// Seconds and milliseconds beyond what a time of day can hold end the run with the runtime's
// error, after the lines before it were sent, and leave no key pressed.
struct TimeErrorCase {
    const char* name;
    std::vector<std::string> lines;
    std::vector<std::string> expected;
};

class TimeErrorCases : public ::testing::TestWithParam<TimeErrorCase> {};

TEST_P(TimeErrorCases, EndTheRunWithTheTimeEncodingError)
{
    const TimeErrorCase& c = GetParam();
    RecordingDesktop desktop;
    MacroPlayer player(desktop, {});
    try {
        player.run(c.lines);
        FAIL() << "no error";
    } catch (const makro::EConvertError& error) {
        EXPECT_STREQ(error.what(), "Ungültiges Argument für Zeitkodierung");
    }
    EXPECT_EQ(desktop.events(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Macro, TimeErrorCases, ::testing::Values(
    TimeErrorCase{"SixtySeconds", {"a", "Sleep: 60", "b"}, {"+41", "-41"}},
    TimeErrorCase{"NegativeSeconds", {"Sleep: -1"}, {}},
    TimeErrorCase{"ThousandMilliseconds", {"Sleep: 0,1000"}, {}},
    TimeErrorCase{"WaitSixtySeconds", {"Wait: 60,x"}, {}},
    TimeErrorCase{"ModifierReleasedOnError", {"<MENU>", "Sleep: 99"}, {"+12", "-12"}}
), [](const auto& info) { return std::string(info.param.name); });

} // namespace
