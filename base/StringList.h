#pragma once
// An ordered list of 8-bit lines.
// Invariants: text() ends every line with CR LF; setText() accepts CR, LF and CR LF, and an
// empty last line after a final line break is not a line (so "a\r\n" is one line, "" none).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace base {

class StringList {
public:
    StringList() = default;

    std::size_t count() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }

    // 0-based index; out-of-range indices throw std::out_of_range.
    const std::string& get(std::size_t index) const;
    void put(std::size_t index, std::string line);
    // index == count() appends.
    void insert(std::size_t index, std::string line);
    void remove(std::size_t index);
    void add(std::string line) { lines_.push_back(std::move(line)); }
    void clear() { lines_.clear(); }

    std::string text() const;
    void setText(std::string_view text);

    // Throws base::EFileError naming the file when it cannot be read or written.
    void loadFromFile(const std::string& path);
    void saveToFile(const std::string& path) const;

    const std::vector<std::string>& lines() const { return lines_; }
    std::vector<std::string>& lines() { return lines_; }

private:
    std::vector<std::string> lines_;
};

// Splits text at CR LF, CR or LF; a final line break ends the last line instead of starting one.
std::vector<std::string> SplitLines(std::string_view text);

} // namespace base
