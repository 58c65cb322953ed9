#include "makro/MacroPlayer.h"

#include "makro/KeyTyper.h"
#include "makro/MacroLine.h"

#include <algorithm>

namespace makro {

namespace {

using Span = platform::x11::DesktopServices::Clock::duration;

// The runtime's time encoding for (0 h, 0 min, seconds, milliseconds).
Span EncodeTime(int seconds, int milliseconds)
{
    if (seconds < 0 || seconds > 59 || milliseconds < 0 || milliseconds > 999)
        throw EConvertError("Ungültiges Argument für Zeitkodierung");
    return std::chrono::seconds(seconds) + std::chrono::milliseconds(milliseconds);
}

// Thrown inside a run when the user stops it; never leaves run().
struct StoppedByUser {};

// Releases what the run left pressed when the run ends, by return or by exception.
class HeldKeysRelease {
public:
    explicit HeldKeysRelease(KeyTyper& typer) : typer_(typer) {}
    ~HeldKeysRelease() { typer_.releaseHeld(); }
    HeldKeysRelease(const HeldKeysRelease&) = delete;
    HeldKeysRelease& operator=(const HeldKeysRelease&) = delete;

private:
    KeyTyper& typer_;
};

} // namespace

std::string DescribeFailedLine(const FailedLine& line)
{
    return "Line " + std::to_string(line.number) + ": " + line.text;
}

MacroPlayer::MacroPlayer(platform::x11::DesktopServices& desktop, std::function<void(const FailedLine&)> errorBox)
    : desktop_(desktop), errorBox_(std::move(errorBox))
{
}

RunEnd MacroPlayer::run(const std::vector<std::string>& lines)
{
    failed_ = false;
    failedLine_ = {};
    KeyTyper typer(desktop_, [this] { stopIfAsked(); });
    HeldKeysRelease releaseAtEnd(typer);
    const std::size_t count = lines.size();
    try {
        for (std::size_t i = 0; i < count; ++i) {
            stopIfAsked();
            const std::string line = CutLine(lines[i]);
            const auto noteFailure = [&] {
                if (failed_)
                    failedLine_ = {i + 1, line};
            };
            switch (ClassifyLine(line)) {
            case LineKind::Window:
                window(line);
                noteFailure();
                break;
            case LineKind::Wait:
                wait(line);
                noteFailure();
                break;
            case LineKind::Start:
                failed_ = desktop_.startProgram(TextAfterKeyword(line, LineKind::Start)) <= 31;
                noteFailure();
                break;
            case LineKind::Comment:
                break;
            case LineKind::Sleep:
                sleep(line);
                break;
            case LineKind::Repeat: {
                const NumberAndRest repeat = SplitNumberAndRest(line, LineKind::Repeat);
                for (int n = 0; n < repeat.number; ++n)
                    typer.send(repeat.rest);
                break;
            }
            case LineKind::ExitOnError:
                if (failed_) {
                    typer.releaseHeld();
                    if (errorBox_)
                        errorBox_(failedLine_);
                    return RunEnd::ExitOnError;
                }
                break;
            case LineKind::Keys:
                typer.send(line);
                break;
            }
        }
    } catch (const StoppedByUser&) {
        return RunEnd::StoppedByUser;
    }
    return RunEnd::Completed;
}

void MacroPlayer::stopIfAsked()
{
    // The run's own stop keys are never down here: they are not modifiers, so the run
    // releases each right after pressing it, and the checks come before presses only.
    for (std::uint8_t key : stopKeys) {
        if (desktop_.keyDown(key))
            throw StoppedByUser{};
    }
}

void MacroPlayer::window(const std::string& line)
{
    const platform::x11::WindowId found = desktop_.findWindow(TextAfterKeyword(line, LineKind::Window));
    failed_ = !desktop_.bringToTop(found);
}

void MacroPlayer::wait(const std::string& line)
{
    const NumberAndRest arguments = SplitNumberAndRest(line, LineKind::Wait);
    const Span span = EncodeTime(arguments.number, 0);
    // One clock reading serves as the start and the base of the deadline, so "Wait: ,Title"
    // (no seconds) always ends at once with the flag set.
    auto current = desktop_.now();
    const auto deadline = current + span;
    platform::x11::WindowId found = 0;
    bool raised = false;
    while (current < deadline && !found) {
        current = desktop_.now();
        found = desktop_.findWindow(arguments.rest);
        if (found)
            raised = desktop_.bringToTop(found);
        else if (current < deadline)
            sleepSlice(deadline);
    }
    // A window found but not focused fails too: the keys sent next would go elsewhere.
    failed_ = !found || !raised;
}

void MacroPlayer::sleep(const std::string& line)
{
    const NumberAndRest arguments = SplitNumberAndRest(line, LineKind::Sleep);
    const Span span = EncodeTime(arguments.number, ToIntegerOrZero(arguments.rest));
    // A wake-up before the end (a signal, a slice) sleeps the rest.
    const auto end = desktop_.now() + span;
    while (desktop_.now() < end)
        sleepSlice(end);
}

void MacroPlayer::sleepSlice(platform::x11::DesktopServices::Clock::time_point deadline)
{
    stopIfAsked();
    desktop_.sleepFor(std::min<Span>(pollInterval, deadline - desktop_.now()));
}

} // namespace makro
