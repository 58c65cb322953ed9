#pragma once
// Plays a macro: the lines run in order on the caller's thread, which does nothing else until
// the run ends (after the last line, at ExitOnError with the error flag set, or at an error).
// Key events go to whatever window has the keyboard focus. Sleep sleeps in the kernel and Wait
// looks for its window every pollInterval, so a run never spins; what the user sees (the
// program does not respond meanwhile) is the same.
#include "base/Exception.h"
#include "platform/x11/DesktopServices.h"

#include <chrono>
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

class MacroPlayer {
public:
    static constexpr std::chrono::milliseconds pollInterval{20};

    // errorBox shows "Fehler" when ExitOnError finds the error flag set.
    MacroPlayer(platform::x11::DesktopServices& desktop, std::function<void()> errorBox);

    // Runs the lines (the count is taken once, at the start). Throws EConvertError; every key
    // the run left pressed is released before it returns or throws.
    void run(const std::vector<std::string>& lines);

    // The error flag after the last run: set by the last Window, Wait or Start line.
    bool errorFlag() const { return failed_; }

private:
    // False when the run is to end here.
    bool play(const std::string& line);
    void window(const std::string& line);
    void wait(const std::string& line);
    void sleep(const std::string& line);

    platform::x11::DesktopServices& desktop_;
    std::function<void()> errorBox_;
    bool failed_ = false;
};

} // namespace makro
