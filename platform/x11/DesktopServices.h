#pragma once
// The desktop services a keyboard macro uses, behind one small interface: synthesised key
// events by Windows virtual-key code, the key that types a character in the current layout,
// top-level windows by title, starting a program, and a clock that can sleep. The real
// implementation talks to the X server (X11Desktop); RecordingDesktop stands in for it in tests.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace platform::x11 {

using WindowId = std::uint64_t; // 0: no window

// Result bits of keyScan(), as VkKeyScanA reports them; the low byte is the virtual-key code.
enum KeyScanFlags : int {
    NeedsShift = 0x100,
    NeedsControl = 0x200,
    NeedsAlt = 0x400,
};
constexpr int NoKey = -1; // the layout has no key for the character

class DesktopServices {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~DesktopServices() = default;

    // One key press (release == false) or release of a virtual-key code, delivered to whatever
    // window has the keyboard focus.
    virtual void keyEvent(std::uint8_t virtualKey, bool release) = 0;
    // The key and modifiers that type the character (a Unicode code point) in the current
    // layout, or NoKey.
    virtual int keyScan(char32_t character) = 0;
    // Types a character for which keyScan() reports NoKey, by whatever means the desktop has.
    virtual void typeCharacterWithoutKey(char32_t character) = 0;
    // Whether the key of a virtual-key code is down on the keyboard now, pressed by a person
    // or synthesised. The answer may be a few milliseconds old, never older than a key is
    // held by a person pressing it.
    virtual bool keyDown(std::uint8_t virtualKey) = 0;

    // The top-level window whose title equals title, compared without regard to case.
    virtual WindowId findWindow(const std::string& title) = 0;
    // Raises the window to the top and gives it the keyboard focus; false when it cannot or
    // when the focus has not arrived within a short wait (keys sent next would go elsewhere).
    virtual bool bringToTop(WindowId window) = 0;
    // The non-empty titles (UTF-8) of the top-level windows, top of the stacking order first.
    virtual std::vector<std::string> windowTitles() = 0;

    // Starts a program from a command line and returns at once; 31 or less means failure.
    virtual int startProgram(const std::string& commandLine) = 0;

    virtual Clock::time_point now() = 0;
    // Sleeps in the kernel; the caller's thread does nothing else meanwhile.
    virtual void sleepFor(Clock::duration span) = 0;
};

} // namespace platform::x11
