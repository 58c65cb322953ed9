#include "makro/KeyTyper.h"

#include "makro/KeyNames.h"
#include "platform/core/TextCodec.h"

#include <QList>

#include <algorithm>

namespace makro {

namespace {

constexpr std::uint8_t shiftKey = 0x10;
constexpr std::uint8_t controlKey = 0x11;
constexpr std::uint8_t altKey = 0x12;

} // namespace

void KeyTyper::send(std::string_view keyText)
{
    std::size_t at = 0;
    while (at < keyText.size()) {
        const std::size_t open = keyText.find('<', at);
        const std::size_t close = open == std::string_view::npos ? open : keyText.find('>', open + 1);
        if (close == std::string_view::npos) {
            characters(keyText.substr(at));
            return;
        }
        characters(keyText.substr(at, open - at));
        token(keyText.substr(open + 1, close - open - 1));
        at = close + 1;
    }
}

void KeyTyper::token(std::string_view name)
{
    // "<<>" means the "<" key; it is typed with whatever modifier the layout needs for "<",
    // so that it gives "<" on layouts where "<" is a shifted key too.
    if (name == "<") {
        character(U'<');
        return;
    }
    const KeyName* row = FindKeyName(name);
    if (!row)
        return;
    if (!IsReleaseName(row->name))
        press(row->code);
    if (!IsModifierName(row->name))
        release(row->code);
}

void KeyTyper::characters(std::string_view text)
{
    if (text.empty())
        return;
    const QString decoded = platform::core::DecodeText(text).text;
    for (char32_t c : decoded.toUcs4())
        character(c);
}

void KeyTyper::character(char32_t c)
{
    const int scan = desktop_.keyScan(c);
    if (scan == platform::x11::NoKey) {
        if (beforeKey_)
            beforeKey_();
        desktop_.typeCharacterWithoutKey(c);
        return;
    }
    const auto key = static_cast<std::uint8_t>(scan & 0xFF);
    const bool shift = scan & platform::x11::NeedsShift;
    const bool control = scan & platform::x11::NeedsControl;
    const bool alt = scan & platform::x11::NeedsAlt;
    if (shift)
        press(shiftKey);
    if (control)
        press(controlKey);
    if (alt)
        press(altKey);
    press(key);
    release(key);
    if (shift)
        release(shiftKey);
    if (control)
        release(controlKey);
    if (alt)
        release(altKey);
}

void KeyTyper::press(std::uint8_t code)
{
    if (beforeKey_)
        beforeKey_();
    desktop_.keyEvent(code, false);
    if (std::find(held_.begin(), held_.end(), code) == held_.end())
        held_.push_back(code);
}

void KeyTyper::release(std::uint8_t code)
{
    desktop_.keyEvent(code, true);
    held_.erase(std::remove(held_.begin(), held_.end(), code), held_.end());
}

void KeyTyper::releaseHeld()
{
    while (!held_.empty())
        release(held_.back());
}

} // namespace makro
