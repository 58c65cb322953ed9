#include "platform/core/RtfWriter.h"

#include "platform/core/TextCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace platform::core {

namespace {

template <typename T>
std::size_t indexOf(std::vector<T>& table, const T& value)
{
    const auto it = std::find(table.begin(), table.end(), value);
    if (it != table.end())
        return static_cast<std::size_t>(it - table.begin());
    table.push_back(value);
    return table.size() - 1;
}

void appendHexByte(std::string& out, int byte)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\'%02x", byte & 0xFF);
    out += buffer;
}

void appendEscaped(std::string& out, const QString& text)
{
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c >= 0x20 && c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            appendHexByte(out, c);
        } else if (const int b = Windows1252Byte(c); b >= 0) {
            appendHexByte(out, b);
        } else {
            out += "\\u" + std::to_string(static_cast<int16_t>(c)) + "?";
        }
    }
}

// Font names end at ";" in the font table.
QString fontTableName(const QString& name)
{
    QString cleaned = name;
    cleaned.remove(QLatin1Char(';'));
    return cleaned.isEmpty() ? QStringLiteral("Arial") : cleaned;
}

} // namespace

std::string WriteRtf(const std::vector<RtfLine>& lines)
{
    std::vector<QString> fonts;
    std::vector<std::uint32_t> colours;
    for (const RtfLine& line : lines)
        for (const RtfRun& run : line) {
            indexOf(fonts, fontTableName(run.format.fontName));
            indexOf(colours, run.format.rgb);
        }
    if (fonts.empty())
        fonts.push_back(QStringLiteral("Arial"));

    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n{\\fonttbl";
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset0 ";
        appendEscaped(out, fonts[i]);
        out += ";}";
    }
    out += "}\r\n{\\colortbl ;";
    for (const std::uint32_t rgb : colours)
        out += "\\red" + std::to_string((rgb >> 16) & 0xFF) + "\\green"
            + std::to_string((rgb >> 8) & 0xFF) + "\\blue" + std::to_string(rgb & 0xFF) + ";";
    out += "}\r\n\\viewkind4\\pard\\plain ";

    // Emit only what changes between runs; the first run states everything.
    bool first = true;
    RtfFormat current;
    for (const RtfLine& line : lines) {
        for (const RtfRun& run : line) {
            const RtfFormat& f = run.format;
            std::string words;
            const QString font = fontTableName(f.fontName);
            if (first || font != fontTableName(current.fontName))
                words += "\\f" + std::to_string(indexOf(fonts, font));
            if (first || f.pointSize != current.pointSize)
                words += "\\fs" + std::to_string(std::max(1L, std::lround(f.pointSize * 2)));
            if (first || f.rgb != current.rgb)
                words += "\\cf" + std::to_string(indexOf(colours, f.rgb) + 1);
            if (first || f.bold != current.bold)
                words += f.bold ? "\\b" : "\\b0";
            if (first || f.italic != current.italic)
                words += f.italic ? "\\i" : "\\i0";
            if (first || f.underline != current.underline)
                words += f.underline ? "\\ul" : "\\ulnone";
            if (first || f.strikeOut != current.strikeOut)
                words += f.strikeOut ? "\\strike" : "\\strike0";
            if (!words.empty())
                out += words + " ";
            appendEscaped(out, run.text);
            current = f;
            first = false;
        }
        out += "\\par\r\n";
    }
    out += "}\r\n";
    return out;
}

} // namespace platform::core
