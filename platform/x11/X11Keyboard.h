#pragma once
// The keyboard side of the X server: Windows virtual-key codes and characters turned into
// keycodes of the current keymap, and key events synthesised through XTest.
// Keysyms that no key carries are mapped onto a spare keycode (one without keysyms) for a
// moment; the keycode is given back at least settleTime after its last event, so the target
// has read the event with the mapping it was typed with.
#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <vector>

namespace platform::x11 {

class X11Keyboard {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds settleTime{200};
    // isDown() asks the server at most this often: a round trip per synthesised key would
    // slow typing down, and a person holds a key far longer.
    static constexpr std::chrono::milliseconds keymapRefresh{10};

    explicit X11Keyboard(Display* display);
    ~X11Keyboard(); // gives every borrowed keycode back
    X11Keyboard(const X11Keyboard&) = delete;
    X11Keyboard& operator=(const X11Keyboard&) = delete;

    void keyEvent(std::uint8_t virtualKey, bool release);
    int keyScan(char32_t character) const;
    void typeWithoutKey(char32_t character);
    bool isDown(std::uint8_t virtualKey);

private:
    struct Borrowed {
        KeyCode keycode;
        KeySym keysym;            // NoSymbol: free
        Clock::time_point lastUsed;
    };

    KeyCode keycodeOf(std::uint8_t virtualKey);
    KeyCode borrow(KeySym keysym);
    void remap(Borrowed& spare, KeySym keysym);
    void fake(KeyCode keycode, bool press);
    int virtualKeyOf(KeyCode keycode) const;
    KeyCode keycodeOfKeyName(const char* name) const;

    Display* display_;
    int minKeycode_ = 8;
    int maxKeycode_ = 255;
    std::vector<Borrowed> spares_;
    std::vector<std::pair<int, KeyCode>> oemKeys_; // virtual-key code -> keycode by key position
    char keymap_[32] = {};                         // one bit per keycode, as last read
    Clock::time_point keymapRead_{};
};

} // namespace platform::x11
