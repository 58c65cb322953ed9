#include "platform/x11/RecordingDesktop.h"

#include "platform/x11/CharacterKeys.h"

#include <QString>
#include <cstdio>

namespace platform::x11 {

namespace {

// The US layout's punctuation: unshifted and shifted character of each key.
struct PunctuationKey {
    char plain;
    char shifted;
    int virtualKey;
};
constexpr PunctuationKey usPunctuation[] = {
    {';', ':', 0xBA}, {'=', '+', 0xBB}, {',', '<', 0xBC}, {'-', '_', 0xBD}, {'.', '>', 0xBE},
    {'/', '?', 0xBF}, {'`', '~', 0xC0}, {'[', '{', 0xDB}, {'\\', '|', 0xDC}, {']', '}', 0xDD},
    {'\'', '"', 0xDE},
};
constexpr char shiftedDigits[] = ")!@#$%^&*(";

std::string CodePointText(char32_t character)
{
    return QString::fromUcs4(&character, 1).toStdString();
}

} // namespace

void RecordingDesktop::addWindow(const std::string& title, std::chrono::milliseconds appearsAt)
{
    windows_.push_back({title, appearsAt});
}

void RecordingDesktop::addProgram(const std::string& program)
{
    programs_.insert(program);
}

void RecordingDesktop::refuseFocus(const std::string& title)
{
    refusingFocus_.insert(title);
}

void RecordingDesktop::holdKey(std::uint8_t virtualKey, std::size_t afterEvents, std::chrono::milliseconds from)
{
    heldKeys_[virtualKey] = {afterEvents, from};
}

bool RecordingDesktop::keyDown(std::uint8_t virtualKey)
{
    const auto held = heldKeys_.find(virtualKey);
    return held != heldKeys_.end() && events_.size() >= held->second.afterEvents && clock_ >= held->second.from;
}

std::chrono::milliseconds RecordingDesktop::elapsed() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(clock_);
}

void RecordingDesktop::keyEvent(std::uint8_t virtualKey, bool release)
{
    char line[8];
    std::snprintf(line, sizeof line, "%c%02X", release ? '-' : '+', virtualKey);
    events_.emplace_back(line);
}

int RecordingDesktop::keyScan(char32_t character)
{
    if (auto control = ControlCharacterKey(character))
        return *control;
    if (character >= U'a' && character <= U'z')
        return static_cast<int>(character - U'a' + 'A');
    if (character >= U'A' && character <= U'Z')
        return NeedsShift | static_cast<int>(character);
    if (character >= U'0' && character <= U'9')
        return static_cast<int>(character);
    if (character == U' ')
        return 0x20;
    for (int digit = 0; digit < 10; ++digit) {
        if (character == static_cast<char32_t>(shiftedDigits[digit]))
            return NeedsShift | ('0' + digit);
    }
    for (const PunctuationKey& key : usPunctuation) {
        if (character == static_cast<char32_t>(key.plain))
            return key.virtualKey;
        if (character == static_cast<char32_t>(key.shifted))
            return NeedsShift | key.virtualKey;
    }
    return NoKey;
}

void RecordingDesktop::typeCharacterWithoutKey(char32_t character)
{
    events_.push_back("char " + CodePointText(character));
}

WindowId RecordingDesktop::findWindow(const std::string& title)
{
    events_.push_back("find " + title);
    const QString wanted = QString::fromStdString(title);
    for (std::size_t i = windows_.size(); i-- > 0;) {
        if (windows_[i].appearsAt <= clock_
            && QString::fromStdString(windows_[i].title).compare(wanted, Qt::CaseInsensitive) == 0)
            return i + 1;
    }
    return 0;
}

bool RecordingDesktop::bringToTop(WindowId window)
{
    if (window == 0 || window > windows_.size())
        return false;
    Window raised = windows_[window - 1];
    events_.push_back("raise " + raised.title);
    windows_.erase(windows_.begin() + static_cast<std::ptrdiff_t>(window - 1));
    windows_.push_back(raised);
    return !refusingFocus_.count(raised.title);
}

std::vector<std::string> RecordingDesktop::windowTitles()
{
    std::vector<std::string> titles;
    for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) {
        if (it->appearsAt <= clock_ && !it->title.empty())
            titles.push_back(it->title);
    }
    return titles;
}

int RecordingDesktop::startProgram(const std::string& commandLine)
{
    events_.push_back("start " + commandLine);
    const std::string program = commandLine.substr(0, commandLine.find(' '));
    return programs_.count(program) ? 33 : 2;
}

DesktopServices::Clock::time_point RecordingDesktop::now()
{
    return Clock::time_point(clock_);
}

void RecordingDesktop::sleepFor(Clock::duration span)
{
    if (span <= Clock::duration::zero())
        return;
    clock_ += span;
    auto slept = std::chrono::duration_cast<std::chrono::milliseconds>(span);
    if (!events_.empty() && events_.back().starts_with("sleep ")) {
        slept += std::chrono::milliseconds(std::stoll(events_.back().substr(6)));
        events_.pop_back();
    }
    events_.push_back("sleep " + std::to_string(slept.count()));
}

} // namespace platform::x11
