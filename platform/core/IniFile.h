#pragma once
// A private-profile settings file, read and written by section and key like the system's own
// profile functions. Every call reads the file afresh (another program may have changed it).
//
// Reading never fails: a missing or unreadable file, a missing section or key, or a file that
// is not an ini file at all gives the default. Writing keeps every other byte of the file as
// it was (comments, odd lines, line-break style), replaces the file atomically (a temporary
// file renamed over it, so a crash never leaves half a file) and throws base::EFileError
// naming the file when it cannot: it never fails silently and never overwrites a file that
// exists but could not be read.
#include "platform/core/IniText.h"

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace platform::core {

class IniFile {
public:
    // A bare name ("Tarnby.ini") opens in ConfigFolder(); see ProfilePath().
    explicit IniFile(const QString& fileName);

    const QString& path() const { return path_; }

    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue = {}) const;
    std::vector<std::string> sectionKeys(std::string_view section) const;
    std::vector<std::string> sections() const;

    // Creates the file (and its folder) when needed. Names and values must be single lines.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void deleteKey(std::string_view section, std::string_view key);
    void deleteSection(std::string_view section);

private:
    IniText load() const;
    IniText loadForUpdate() const;
    void store(const IniText& text) const;

    QString path_;
};

} // namespace platform::core
