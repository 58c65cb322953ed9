#pragma once
// Types key text (SendKeyText): "<NAME>" tokens press and/or release named keys, every other
// character is typed with the modifiers the keyboard layout needs for it.
// Invariant: held() is the set of keys this typer pressed and has not released yet; a run
// calls releaseHeld() when it ends, however it ends, so no modifier stays down in the session.
#include "platform/x11/DesktopServices.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace makro {

class KeyTyper {
public:
    // beforeKey runs before every key press and every character typed without a key; it may
    // throw to end the typing (held() then still lists what is down).
    explicit KeyTyper(platform::x11::DesktopServices& desktop, std::function<void()> beforeKey = {})
        : desktop_(desktop), beforeKey_(std::move(beforeKey))
    {
    }

    // A token whose "<" has no ">" after it on the line is typed as characters, "<" included:
    // a token never reaches beyond its line.
    void send(std::string_view keyText);
    void releaseHeld();
    const std::vector<std::uint8_t>& held() const { return held_; }

private:
    void token(std::string_view name);
    void characters(std::string_view text);
    void character(char32_t c);
    void press(std::uint8_t code);
    void release(std::uint8_t code);

    platform::x11::DesktopServices& desktop_;
    std::function<void()> beforeKey_;
    std::vector<std::uint8_t> held_;
};

} // namespace makro
