#include "quellin/TextShape.h"

#include <QByteArrayView>

namespace quellin {

namespace {

// The UTF-8 forms of the characters the document takes for line breaks besides CR and LF.
constexpr std::string_view kParagraphSeparator = "\xE2\x80\xA9";
constexpr std::string_view kFrameMarks[] = { "\xEF\xB7\x90", "\xEF\xB7\x91" };

// LF as the only break: each one becomes CR LF, copied span by span.
std::string onlyLinefeeds(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16 + 2);
    std::size_t from = 0;
    for (std::size_t at = bytes.find('\n'); at != std::string_view::npos; at = bytes.find('\n', from)) {
        out.append(bytes.substr(from, at - from));
        out += "\r\n";
        from = at + 1;
    }
    out.append(bytes.substr(from));
    return out;
}

} // namespace

std::string PaneTextOf(std::string_view bytes)
{
    const bool utf8 = QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())).isValidUtf8();
    const bool special = utf8 && (bytes.find('\xE2') != std::string_view::npos || bytes.find('\xEF') != std::string_view::npos);
    if (bytes.find('\r') == std::string_view::npos && !special)
        return onlyLinefeeds(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16 + 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::string_view rest = bytes.substr(i);
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
            out += "\r\n";
        } else if (utf8 && (rest.starts_with(kParagraphSeparator) || rest.starts_with(kFrameMarks[0])
                            || rest.starts_with(kFrameMarks[1]))) {
            out += "\r\n";
            i += 2;
        } else {
            out += bytes[i];
        }
    }
    return out;
}

TextShape ShapeOf(std::string_view bytes)
{
    TextShape shape;
    shape.addFinalBreak = false;
    const std::size_t at = bytes.find_first_of("\r\n");
    if (at == std::string_view::npos)
        return shape;
    if (bytes[at] == '\n')
        shape.lineBreak = "\n";
    else if (at + 1 == bytes.size() || bytes[at + 1] != '\n')
        shape.lineBreak = "\r";
    return shape;
}

std::string ApplyShape(std::string_view crlfText, const TextShape& shape)
{
    std::string out;
    out.reserve(crlfText.size() + 2);
    std::size_t from = 0;
    for (std::size_t at = crlfText.find("\r\n"); at != std::string_view::npos;
         at = crlfText.find("\r\n", from)) {
        out.append(crlfText.substr(from, at - from));
        out += shape.lineBreak;
        from = at + 2;
    }
    out.append(crlfText.substr(from));
    if (shape.addFinalBreak && from < crlfText.size())
        out += shape.lineBreak;
    return out;
}

} // namespace quellin
