#pragma once
// A small reader for the RTF our writer produces, so tests check the document's structure and
// content instead of comparing bytes: groups, control words, \'xx, \uN with its fallback
// character, the font and colour tables, and character formatting per run.
#include <QString>
#include <QStringList>
#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace rtftest {

struct Run {
    QString text;
    QString font;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    std::uint32_t rgb = 0;
};

struct Document {
    std::vector<QString> fonts;
    std::vector<std::uint32_t> colours; // index 0 is the "auto" entry
    std::vector<std::vector<Run>> paragraphs;
    // The text of every paragraph, runs joined.
    QStringList lines() const;
};

struct ParseError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Throws ParseError on unbalanced groups, a missing \rtf1 header, a bad escape, or text
// after the document's closing brace.
Document ReadRtf(std::string_view rtf);

} // namespace rtftest
