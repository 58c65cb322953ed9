#include "quellin/EditableText.h"

#include "platform/core/TextCodec.h"

#include <QByteArrayView>
#include <set>

namespace quellin {

bool IsEditableText(std::string_view bytes)
{
    if (bytes.find('\0') != std::string_view::npos)
        return false;
    if (QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())).isValidUtf8())
        return true;
    return bytes.find_first_of("\x81\x8D\x8F\x90\x9D") == std::string_view::npos;
}

QString CharactersOutsideWindows1252(const QString& text, int limit)
{
    QString found;
    std::set<char32_t> seen;
    for (qsizetype i = 0; i < text.size() && static_cast<int>(seen.size()) < limit; ++i) {
        char32_t c = text[i].unicode();
        if (c < 0x80)
            continue;
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (platform::core::Windows1252Byte(c) < 0 && seen.insert(c).second)
            found += QString::fromUcs4(&c, 1);
    }
    return found;
}

} // namespace quellin
