#pragma once
// A desktop for tests without an X server: it records every key event, window look-up, raise,
// program start and sleep as one line of text, types on a US keyboard layout, and keeps a
// clock of its own that moves only when something sleeps, so timing is exact and instant.
//
// Recorded lines: "+41" / "-41" (press / release of a virtual-key code, two hex digits),
// "char X" (a character typed without a key), "find TITLE", "raise TITLE", "start LINE",
// "sleep MS" (sleeps one after the other are one line: the time slept between two other events).
#include "platform/x11/DesktopServices.h"

#include <map>
#include <set>

namespace platform::x11 {

class RecordingDesktop : public DesktopServices {
public:
    // A window with this title exists from the given time on (the clock starts at 0).
    void addWindow(const std::string& title, std::chrono::milliseconds appearsAt = {});
    // A command line whose first word is this program starts; any other fails with 2.
    void addProgram(const std::string& program);
    // A window with this title takes no focus: raising it fails.
    void refuseFocus(const std::string& title);
    // The key is down (held by a person) once this many events have been recorded and the
    // clock has reached `from`.
    void holdKey(std::uint8_t virtualKey, std::size_t afterEvents, std::chrono::milliseconds from = {});

    const std::vector<std::string>& events() const { return events_; }
    std::chrono::milliseconds elapsed() const;

    void keyEvent(std::uint8_t virtualKey, bool release) override;
    int keyScan(char32_t character) override;
    void typeCharacterWithoutKey(char32_t character) override;
    bool keyDown(std::uint8_t virtualKey) override;
    WindowId findWindow(const std::string& title) override;
    bool bringToTop(WindowId window) override;
    std::vector<std::string> windowTitles() override;
    int startProgram(const std::string& commandLine) override;
    Clock::time_point now() override;
    void sleepFor(Clock::duration span) override;

private:
    struct Window {
        std::string title;
        std::chrono::milliseconds appearsAt;
    };
    std::vector<Window> windows_;  // bottom of the stacking order first
    std::set<std::string> programs_;
    std::set<std::string> refusingFocus_;
    struct HeldKey {
        std::size_t afterEvents;
        std::chrono::milliseconds from;
    };
    std::map<std::uint8_t, HeldKey> heldKeys_;
    std::vector<std::string> events_;
    Clock::duration clock_{};
};

} // namespace platform::x11
