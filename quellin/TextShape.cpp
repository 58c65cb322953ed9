#include "quellin/TextShape.h"

namespace quellin {

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
