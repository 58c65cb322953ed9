#pragma once
// The ini text model behind IniFile: the file's lines exactly as read, with the section and key
// structure recognised on top of them. Editing touches only the lines it must, so serialize()
// gives back every other byte of the original text unchanged.
//
// Recognised lines: "[name]" (blanks around it allowed; text after "]" ignored) starts a
// section; "key=value" inside a section is a key (blanks and tabs around key and value are
// not part of them). Lines starting with ";" or "#", blank lines and anything else are kept
// as they are and otherwise ignored, as are keys before the first section. A UTF-8 byte order
// mark before the first line is kept and ignored. Names compare ASCII case-insensitively; the
// first of duplicate sections or keys is the one that counts.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::core {

class IniText {
public:
    explicit IniText(std::string text = {});

    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // In file order, spelled as in the file; each name once.
    std::vector<std::string> keys(std::string_view section) const;
    std::vector<std::string> sections() const;

    // Replaces the value of an existing key (keeping the key's spelling), or adds the key
    // after the section's last key, or adds the section at the end of the text.
    // Names and values must not contain line breaks (std::invalid_argument otherwise), names
    // must not be empty, and a key must not contain "=".
    void setValue(std::string_view section, std::string_view key, std::string_view value);
    // Removing what does not exist does nothing.
    void removeKey(std::string_view section, std::string_view key);
    void removeSection(std::string_view section);

    std::string serialize() const;

private:
    struct Line {
        std::string text; // without its line break
        std::string eol;  // "\r\n", "\n", "\r" or empty for a last line without a break
    };
    struct Range {
        std::size_t header; // index of the "[name]" line
        std::size_t end;    // one past the section's last line
    };

    std::optional<Range> findSection(std::string_view section) const;
    std::optional<std::size_t> findKey(const Range& range, std::string_view key) const;
    void insertLine(std::size_t index, std::string text);

    std::vector<Line> lines_;
    std::string newline_; // the file's own line break style, for lines we add
};

// Names of ini lines; exposed for the tests and the fuzz target.
std::optional<std::string> SectionNameOf(std::string_view line);
std::optional<std::string> KeyNameOf(std::string_view line);

} // namespace platform::core
