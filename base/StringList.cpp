#include "base/StringList.h"

#include "base/Streams.h"

#include <stdexcept>

namespace base {

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < n && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.emplace_back(text.substr(start));
    return lines;
}

const std::string& StringList::get(std::size_t index) const
{
    return lines_.at(index);
}

void StringList::put(std::size_t index, std::string line)
{
    lines_.at(index) = std::move(line);
}

void StringList::insert(std::size_t index, std::string line)
{
    if (index > lines_.size())
        throw std::out_of_range("StringList::insert: index out of range");
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
}

void StringList::remove(std::size_t index)
{
    if (index >= lines_.size())
        throw std::out_of_range("StringList::remove: index out of range");
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::string StringList::text() const
{
    std::size_t size = 0;
    for (const auto& line : lines_)
        size += line.size() + 2;
    std::string out;
    out.reserve(size);
    for (const auto& line : lines_) {
        out += line;
        out += "\r\n";
    }
    return out;
}

void StringList::setText(std::string_view text)
{
    lines_ = SplitLines(text);
}

void StringList::loadFromFile(const std::string& path)
{
    setText(ReadWholeFile(path));
}

void StringList::saveToFile(const std::string& path) const
{
    WriteWholeFile(path, text());
}

} // namespace base
