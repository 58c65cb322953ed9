#include "platform/core/IniText.h"

#include <algorithm>
#include <stdexcept>

namespace platform::core {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// A UTF-8 byte order mark (editors put one at the start of a file) is not part of a name.
std::string_view withoutByteOrderMark(std::string_view line)
{
    if (line.substr(0, 3) == "\xEF\xBB\xBF")
        line.remove_prefix(3);
    return line;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

bool sameName(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

bool isComment(std::string_view line)
{
    const std::string_view t = trimmed(line);
    return !t.empty() && (t.front() == ';' || t.front() == '#');
}

void requireSingleLine(std::string_view s, const char* what)
{
    if (s.find_first_of("\r\n") != std::string_view::npos)
        throw std::invalid_argument(std::string("ini ").append(what).append(" contains a line break"));
}

} // namespace

std::optional<std::string> SectionNameOf(std::string_view line)
{
    const std::string_view t = trimmed(withoutByteOrderMark(line));
    if (t.empty() || t.front() != '[')
        return std::nullopt;
    const std::size_t close = t.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return std::string(trimmed(t.substr(1, close - 1)));
}

std::optional<std::string> KeyNameOf(std::string_view line)
{
    line = withoutByteOrderMark(line);
    if (isComment(line))
        return std::nullopt;
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    const std::string_view key = trimmed(line.substr(0, eq));
    if (key.empty())
        return std::nullopt;
    return std::string(key);
}

IniText::IniText(std::string text)
{
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t brk = text.find_first_of("\r\n", start);
        if (brk == std::string::npos) {
            lines_.push_back({text.substr(start), {}});
            break;
        }
        std::size_t eolLength = 1;
        if (text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n')
            eolLength = 2;
        Line line{text.substr(start, brk - start), text.substr(brk, eolLength)};
        if (newline_.empty())
            newline_ = line.eol;
        lines_.push_back(std::move(line));
        start = brk + eolLength;
    }
    if (newline_.empty())
        newline_.push_back('\n');
}

std::optional<IniText::Range> IniText::findSection(std::string_view section) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = SectionNameOf(lines_[i].text);
        if (!name || !sameName(*name, section))
            continue;
        std::size_t end = i + 1;
        while (end < lines_.size() && !SectionNameOf(lines_[end].text))
            ++end;
        return Range{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniText::findKey(const Range& range, std::string_view key) const
{
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        const auto name = KeyNameOf(lines_[i].text);
        if (name && sameName(*name, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> IniText::value(std::string_view section, std::string_view key) const
{
    const auto range = findSection(section);
    if (!range)
        return std::nullopt;
    const auto index = findKey(*range, key);
    if (!index)
        return std::nullopt;
    const std::string& text = lines_[*index].text;
    return std::string(trimmed(std::string_view(text).substr(text.find('=') + 1)));
}

std::vector<std::string> IniText::keys(std::string_view section) const
{
    std::vector<std::string> result;
    const auto range = findSection(section);
    if (!range)
        return result;
    for (std::size_t i = range->header + 1; i < range->end; ++i) {
        auto name = KeyNameOf(lines_[i].text);
        if (!name)
            continue;
        const bool seen = std::any_of(result.begin(), result.end(),
                                      [&](const std::string& k) { return sameName(k, *name); });
        if (!seen)
            result.push_back(std::move(*name));
    }
    return result;
}

std::vector<std::string> IniText::sections() const
{
    std::vector<std::string> result;
    for (const Line& line : lines_) {
        auto name = SectionNameOf(line.text);
        if (!name)
            continue;
        const bool seen = std::any_of(result.begin(), result.end(),
                                      [&](const std::string& s) { return sameName(s, *name); });
        if (!seen)
            result.push_back(std::move(*name));
    }
    return result;
}

void IniText::insertLine(std::size_t index, std::string text)
{
    // The line before an inserted one must end with a break, or the two would run together.
    if (index > 0 && lines_[index - 1].eol.empty())
        lines_[index - 1].eol = newline_;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index),
                  Line{std::move(text), newline_});
}

void IniText::setValue(std::string_view section, std::string_view key, std::string_view value)
{
    requireSingleLine(section, "section name");
    requireSingleLine(key, "key name");
    requireSingleLine(value, "value");
    if (trimmed(section).empty() || trimmed(key).empty())
        throw std::invalid_argument("ini section and key names must not be empty");
    if (key.find('=') != std::string_view::npos || section.find(']') != std::string_view::npos)
        throw std::invalid_argument("ini name contains \"=\" or \"]\"");

    std::string entry(trimmed(key));
    entry.append("=").append(value);
    const auto range = findSection(section);
    if (!range) {
        if (!lines_.empty() && !trimmed(lines_.back().text).empty())
            insertLine(lines_.size(), {});
        std::string header = "[";
        header.append(trimmed(section)).append("]");
        insertLine(lines_.size(), std::move(header));
        insertLine(lines_.size(), entry);
        return;
    }
    if (const auto index = findKey(*range, key)) {
        std::string& text = lines_[*index].text;
        // Keep the key as spelled and the blanks after "=", replace only the value.
        std::size_t start = text.find('=') + 1;
        while (start < text.size() && isBlank(text[start]))
            ++start;
        text.resize(start);
        text.append(value);
        return;
    }
    std::size_t after = range->header;
    for (std::size_t i = range->header + 1; i < range->end; ++i)
        if (KeyNameOf(lines_[i].text))
            after = i;
    insertLine(after + 1, entry);
}

void IniText::removeKey(std::string_view section, std::string_view key)
{
    const auto range = findSection(section);
    if (!range)
        return;
    if (const auto index = findKey(*range, key))
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*index));
}

void IniText::removeSection(std::string_view section)
{
    const auto range = findSection(section);
    if (!range)
        return;
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(range->header),
                 lines_.begin() + static_cast<std::ptrdiff_t>(range->end));
}

std::string IniText::serialize() const
{
    std::string out;
    for (const Line& line : lines_) {
        out += line.text;
        out += line.eol;
    }
    return out;
}

} // namespace platform::core
