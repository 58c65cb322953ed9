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

MacroPlayer::MacroPlayer(platform::x11::DesktopServices& desktop, std::function<void()> errorBox)
    : desktop_(desktop), errorBox_(std::move(errorBox))
{
}

void MacroPlayer::run(const std::vector<std::string>& lines)
{
    failed_ = false;
    KeyTyper typer(desktop_);
    HeldKeysRelease releaseAtEnd(typer);
    const std::size_t count = lines.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::string line = CutLine(lines[i]);
        switch (ClassifyLine(line)) {
        case LineKind::Window:
            window(line);
            break;
        case LineKind::Wait:
            wait(line);
            break;
        case LineKind::Start:
            failed_ = desktop_.startProgram(TextAfterKeyword(line, LineKind::Start)) <= 31;
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
                    errorBox_();
                return;
            }
            break;
        case LineKind::Keys:
            typer.send(line);
            break;
        }
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
    while (current < deadline && !found) {
        current = desktop_.now();
        found = desktop_.findWindow(arguments.rest);
        if (found)
            desktop_.bringToTop(found);
        else if (current < deadline)
            desktop_.sleepFor(std::min<Span>(pollInterval, deadline - current));
    }
    failed_ = !found;
}

void MacroPlayer::sleep(const std::string& line)
{
    const NumberAndRest arguments = SplitNumberAndRest(line, LineKind::Sleep);
    const Span span = EncodeTime(arguments.number, ToIntegerOrZero(arguments.rest));
    // One kernel sleep until the end; a wake-up before it (a signal) sleeps the rest.
    const auto end = desktop_.now() + span;
    for (auto current = desktop_.now(); current < end; current = desktop_.now())
        desktop_.sleepFor(end - current);
}

} // namespace makro
