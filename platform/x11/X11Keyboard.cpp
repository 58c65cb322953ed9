#include "platform/x11/X11Keyboard.h"

#include "platform/x11/CharacterKeys.h"
#include "platform/x11/DesktopServices.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstring>
#include <thread>

namespace platform::x11 {

namespace {

// Virtual keys with a keysym of their own (letters, digits and the keys named by position
// are handled apart).
struct NamedKey {
    int virtualKey;
    KeySym keysym;
};
constexpr NamedKey namedKeys[] = {
    {0x03, XK_Cancel}, {0x08, XK_BackSpace}, {0x09, XK_Tab}, {0x0C, XK_Clear}, {0x0D, XK_Return},
    {0x10, XK_Shift_L}, {0x11, XK_Control_L}, {0x12, XK_Alt_L}, {0x13, XK_Pause},
    {0x14, XK_Caps_Lock}, {0x1B, XK_Escape}, {0x20, XK_space}, {0x21, XK_Prior}, {0x22, XK_Next},
    {0x23, XK_End}, {0x24, XK_Home}, {0x25, XK_Left}, {0x26, XK_Up}, {0x27, XK_Right},
    {0x28, XK_Down}, {0x29, XK_Select}, {0x2A, XK_Print}, {0x2B, XK_Execute}, {0x2C, XK_Print},
    {0x2D, XK_Insert}, {0x2E, XK_Delete}, {0x2F, XK_Help}, {0x5B, XK_Super_L}, {0x5C, XK_Super_R},
    {0x5D, XK_Menu}, {0x60, XK_KP_0}, {0x61, XK_KP_1}, {0x62, XK_KP_2}, {0x63, XK_KP_3},
    {0x64, XK_KP_4}, {0x65, XK_KP_5}, {0x66, XK_KP_6}, {0x67, XK_KP_7}, {0x68, XK_KP_8},
    {0x69, XK_KP_9}, {0x6A, XK_KP_Multiply}, {0x6B, XK_KP_Add}, {0x6C, XK_KP_Separator},
    {0x6D, XK_KP_Subtract}, {0x6E, XK_KP_Decimal}, {0x6F, XK_KP_Divide}, {0x90, XK_Num_Lock},
    {0x91, XK_Scroll_Lock}, {0xA0, XK_Shift_L}, {0xA1, XK_Shift_R}, {0xA2, XK_Control_L},
    {0xA3, XK_Control_R}, {0xA4, XK_Alt_L}, {0xA5, XK_Alt_R},
};

// The punctuation keys, whose virtual-key codes follow the key's place on the keyboard.
struct PositionKey {
    int virtualKey;
    const char* name; // XKB key name
};
constexpr PositionKey positionKeys[] = {
    {0xBA, "AC10"}, {0xBB, "AE12"}, {0xBC, "AB08"}, {0xBD, "AE11"}, {0xBE, "AB09"},
    {0xBF, "AB10"}, {0xC0, "TLDE"}, {0xDB, "AD11"}, {0xDC, "BKSL"}, {0xDD, "AD12"},
    {0xDE, "AC11"}, {0xE2, "LSGT"},
};

constexpr std::size_t maxSpares = 8;

KeySym KeysymOf(char32_t character)
{
    if ((character >= 0x20 && character <= 0x7E) || (character >= 0xA0 && character <= 0xFF))
        return character;
    return 0x01000000 | character;
}

} // namespace

X11Keyboard::X11Keyboard(Display* display) : display_(display)
{
    XDisplayKeycodes(display_, &minKeycode_, &maxKeycode_);
    int perKeycode = 0;
    const int count = maxKeycode_ - minKeycode_ + 1;
    KeySym* map = XGetKeyboardMapping(display_, static_cast<KeyCode>(minKeycode_), count, &perKeycode);
    if (map) {
        for (int code = maxKeycode_; code >= minKeycode_ && spares_.size() < maxSpares; --code) {
            const KeySym* syms = map + (code - minKeycode_) * perKeycode;
            if (std::all_of(syms, syms + perKeycode, [](KeySym s) { return s == NoSymbol; }))
                spares_.push_back({static_cast<KeyCode>(code), NoSymbol, {}});
        }
        XFree(map);
    }
    for (const PositionKey& key : positionKeys) {
        if (const KeyCode code = keycodeOfKeyName(key.name))
            oemKeys_.emplace_back(key.virtualKey, code);
    }
}

X11Keyboard::~X11Keyboard()
{
    for (Borrowed& spare : spares_) {
        if (spare.keysym != NoSymbol)
            remap(spare, NoSymbol);
    }
    XSync(display_, False);
}

KeyCode X11Keyboard::keycodeOfKeyName(const char* name) const
{
    XkbDescPtr keyboard = XkbGetMap(display_, 0, XkbUseCoreKbd);
    if (!keyboard)
        return 0;
    KeyCode found = 0;
    if (XkbGetNames(display_, XkbKeyNamesMask, keyboard) == Success && keyboard->names) {
        for (int code = keyboard->min_key_code; code <= keyboard->max_key_code; ++code) {
            if (std::strncmp(keyboard->names->keys[code].name, name, XkbKeyNameLength) == 0) {
                found = static_cast<KeyCode>(code);
                break;
            }
        }
    }
    XkbFreeKeyboard(keyboard, 0, True);
    return found;
}

int X11Keyboard::virtualKeyOf(KeyCode keycode) const
{
    for (const auto& [virtualKey, code] : oemKeys_) {
        if (code == keycode)
            return virtualKey;
    }
    const KeySym plain = XkbKeycodeToKeysym(display_, keycode, 0, 0);
    if (plain >= XK_a && plain <= XK_z)
        return static_cast<int>('A' + (plain - XK_a));
    if (plain >= XK_0 && plain <= XK_9)
        return static_cast<int>('0' + (plain - XK_0));
    if (plain >= XK_F1 && plain <= XK_F24)
        return static_cast<int>(0x70 + (plain - XK_F1));
    for (const NamedKey& key : namedKeys) {
        if (key.keysym == plain)
            return key.virtualKey;
    }
    return 0;
}

KeyCode X11Keyboard::keycodeOf(std::uint8_t virtualKey)
{
    KeySym keysym = NoSymbol;
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        keysym = XK_a + (virtualKey - 'A');
    } else if (virtualKey >= '0' && virtualKey <= '9') {
        keysym = XK_0 + (virtualKey - '0');
    } else if (virtualKey >= 0x70 && virtualKey <= 0x87) {
        keysym = XK_F1 + (virtualKey - 0x70);
    } else {
        for (const auto& [key, code] : oemKeys_) {
            if (key == virtualKey)
                return code;
        }
        for (const NamedKey& key : namedKeys) {
            if (key.virtualKey == virtualKey) {
                keysym = key.keysym;
                break;
            }
        }
    }
    if (keysym == NoSymbol)
        return 0;
    if (const KeyCode code = XKeysymToKeycode(display_, keysym))
        return code;
    return borrow(keysym);
}

int X11Keyboard::keyScan(char32_t character) const
{
    if (auto control = ControlCharacterKey(character))
        return *control;
    const KeySym wanted = KeysymOf(character);
    // Plain keys first, so a character on two keys is typed without Shift where it can be.
    for (int level = 0; level < 2; ++level) {
        for (int code = minKeycode_; code <= maxKeycode_; ++code) {
            if (XkbKeycodeToKeysym(display_, static_cast<KeyCode>(code), 0, level) != wanted)
                continue;
            if (const int virtualKey = virtualKeyOf(static_cast<KeyCode>(code)))
                return virtualKey | (level == 1 ? NeedsShift : 0);
        }
    }
    return NoKey;
}

void X11Keyboard::keyEvent(std::uint8_t virtualKey, bool release)
{
    if (const KeyCode code = keycodeOf(virtualKey))
        fake(code, !release);
}

bool X11Keyboard::isDown(std::uint8_t virtualKey)
{
    const KeyCode code = keycodeOf(virtualKey);
    if (!code)
        return false;
    const Clock::time_point now = Clock::now();
    if (now - keymapRead_ >= keymapRefresh) {
        XQueryKeymap(display_, keymap_);
        keymapRead_ = now;
    }
    return (static_cast<unsigned char>(keymap_[code / 8]) >> (code % 8)) & 1;
}

void X11Keyboard::typeWithoutKey(char32_t character)
{
    if (const KeyCode code = borrow(KeysymOf(character))) {
        fake(code, true);
        fake(code, false);
    }
}

KeyCode X11Keyboard::borrow(KeySym keysym)
{
    if (spares_.empty())
        return 0;
    auto spare = std::find_if(spares_.begin(), spares_.end(),
                              [keysym](const Borrowed& b) { return b.keysym == keysym; });
    if (spare == spares_.end()) {
        spare = std::min_element(spares_.begin(), spares_.end(), [](const Borrowed& a, const Borrowed& b) {
            return (a.keysym == NoSymbol) > (b.keysym == NoSymbol)
                || ((a.keysym == NoSymbol) == (b.keysym == NoSymbol) && a.lastUsed < b.lastUsed);
        });
        remap(*spare, keysym);
    }
    return spare->keycode;
}

void X11Keyboard::remap(Borrowed& spare, KeySym keysym)
{
    if (spare.keysym != NoSymbol)
        std::this_thread::sleep_until(spare.lastUsed + settleTime);
    KeySym syms[2] = {keysym, keysym};
    XChangeKeyboardMapping(display_, spare.keycode, 2, syms, 1);
    XSync(display_, False);
    spare.keysym = keysym;
}

void X11Keyboard::fake(KeyCode keycode, bool press)
{
    XTestFakeKeyEvent(display_, keycode, press ? True : False, CurrentTime);
    XFlush(display_);
    for (Borrowed& spare : spares_) {
        if (spare.keycode == keycode)
            spare.lastUsed = Clock::now();
    }
}

} // namespace platform::x11
