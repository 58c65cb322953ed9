#pragma once
// Our own RTF writer: formatted lines in, an RTF document out that word processors open.
// The document has a font table and a colour table built from the runs, one \par per line,
// "\", "{" and "}" escaped, tabs as \tab, other characters below 32 and those of Windows-1252
// above 127 as \'xx, and every other character as \uN? (UTF-16, signed; "?" for old readers).
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace platform::core {

struct RtfFormat {
    QString fontName;
    double pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint32_t rgb = 0; // 0xRRGGBB

    bool operator==(const RtfFormat&) const = default;
};

struct RtfRun {
    QString text; // no line breaks
    RtfFormat format;
};

using RtfLine = std::vector<RtfRun>;

// An empty line list still gives a valid document. Point sizes are rounded to half points.
std::string WriteRtf(const std::vector<RtfLine>& lines);

} // namespace platform::core
