#include "makro/KeyNames.h"

#include <algorithm>
#include <array>

namespace makro {

namespace {

constexpr std::size_t capturedRows = 60;

constexpr std::array<KeyName, 65> table{{
    {"ADD", 0x6B},       {"BACK", 0x08},      {"CANCEL", 0x03},    {"CAPITAL", 0x14},
    {"CLEAR", 0x0C},     {"CONTROL", 0x11},   {"DECIMAL", 0x6E},   {"DELETE", 0x2E},
    {"DIVIDE", 0x6F},    {"DOWN", 0x28},      {"END", 0x23},       {"ESCAPE", 0x1B},
    {"EXECUTE", 0x2B},   {"F1", 0x70},        {"F2", 0x71},        {"F3", 0x72},
    {"F4", 0x73},        {"F5", 0x74},        {"F6", 0x75},        {"F7", 0x76},
    {"F8", 0x77},        {"F9", 0x78},        {"F10", 0x79},       {"F11", 0x7A},
    {"F12", 0x7B},       {"F13", 0x7C},       {"F14", 0x7D},       {"F15", 0x7E},
    {"F16", 0x7F},       {"HELP", 0x2F},      {"HOME", 0x24},      {"INSERT", 0x2D},
    {"LEFT", 0x25},      {"MENU", 0x12},      {"MULTIPLY", 0x6A},  {"NEXT", 0x22},
    {"NUMLOCK", 0x90},   {"NUMPAD0", 0x60},   {"NUMPAD1", 0x61},   {"NUMPAD2", 0x62},
    {"NUMPAD3", 0x63},   {"NUMPAD4", 0x64},   {"NUMPAD5", 0x65},   {"NUMPAD6", 0x66},
    {"NUMPAD7", 0x67},   {"NUMPAD8", 0x68},   {"NUMPAD9", 0x69},   {"PAUSE", 0x13},
    {"PRINT", 0x2A},     {"PRIOR", 0x21},     {"RETURN", 0x0D},    {"RIGHT", 0x27},
    {"SELECT", 0x29},    {"SEPARATOR", 0x6C}, {"SHIFT", 0x10},     {"SNAPSHOT", 0x2C},
    {"SPACE", 0x20},     {"SUBTRACT", 0x6D},  {"TAB", 0x09},       {"UP", 0x26},
    {"ALT", 0x12},       {".CONTROL", 0x11},  {".MENU", 0x12},     {".SHIFT", 0x10},
    {".ALT", 0x12},
}};

} // namespace

std::span<const KeyName> KeyNameTable()
{
    return table;
}

const KeyName* FindKeyName(std::string_view token)
{
    const auto row = std::find_if(table.begin(), table.end(), [token](const KeyName& k) { return k.name == token; });
    return row == table.end() ? nullptr : &*row;
}

const KeyName* KeyNameOfCode(int virtualKey)
{
    const auto end = table.begin() + capturedRows;
    const auto row = std::find_if(table.begin(), end, [virtualKey](const KeyName& k) { return k.code == virtualKey; });
    return row == end ? nullptr : &*row;
}

bool IsModifierName(std::string_view name)
{
    return name == "MENU" || name == "SHIFT" || name == "CONTROL" || name == "ALT";
}

bool IsReleaseName(std::string_view name)
{
    return name == ".MENU" || name == ".SHIFT" || name == ".CONTROL" || name == ".ALT";
}

} // namespace makro
