#pragma once
// Plays a macro: the lines run in order on the caller's thread, which does nothing else until
// the run ends (after the last line, at ExitOnError with the error flag set, when the user
// stops it, or at an error). Key events go to whatever window has the keyboard focus. Sleep
// and Wait sleep in the kernel in slices of pollInterval, so a run never spins; what the user
// sees (the program does not respond meanwhile) is the same.
//
// Stopping: while a run plays, holding Pause/Break or Escape stops it before its next key,
// between the slices of a Sleep or Wait, and before each line. The keys the run holds down
// are released; the run's own "<ESCAPE>" or "<PAUSE>" does not stop it.
#include "base/Exception.h"
#include "platform/x11/DesktopServices.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace makro {

// The runtime's time-encoding error: seconds outside 0 to 59 or milliseconds outside 0 to 999
// in Sleep or Wait. It ends the run.
class EConvertError : public base::Exception {
public:
    using Exception::Exception;
};

// How a run ended.
enum class RunEnd { Completed, ExitOnError, StoppedByUser };

// The Window, Wait or Start line that set the error flag: its number (from 1) and its text.
struct FailedLine {
    std::size_t number = 0; // 0: none
    std::string text;
};

// "Line 3: Window: Editor" (the text as it was run, cut to the line length).
std::string DescribeFailedLine(const FailedLine& line);

class MacroPlayer {
public:
    static constexpr std::chrono::milliseconds pollInterval{20};
    static constexpr std::uint8_t stopKeys[] = {0x13 /* Pause/Break */, 0x1B /* Escape */};

    // errorBox shows "Fehler" when ExitOnError finds the error flag set.
    MacroPlayer(platform::x11::DesktopServices& desktop, std::function<void(const FailedLine&)> errorBox);

    // Runs the lines (the count is taken once, at the start). Throws EConvertError; every key
    // the run left pressed is released before it returns or throws.
    RunEnd run(const std::vector<std::string>& lines);

    // The error flag after the last run: set by the last Window, Wait or Start line.
    bool errorFlag() const { return failed_; }
    // The line that last set the error flag.
    const FailedLine& failedLine() const { return failedLine_; }

private:
    void window(const std::string& line);
    void wait(const std::string& line);
    void sleep(const std::string& line);
    // Sleeps until the deadline on the desktop's clock, at most pollInterval at a time.
    void sleepSlice(platform::x11::DesktopServices::Clock::time_point deadline);
    // Throws the private stop signal when the user holds a stop key.
    void stopIfAsked();

    platform::x11::DesktopServices& desktop_;
    std::function<void(const FailedLine&)> errorBox_;
    bool failed_ = false;
    FailedLine failedLine_;
};

} // namespace makro
