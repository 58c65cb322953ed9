#include "quellin/EditableText.h"

#include <QByteArrayView>

namespace quellin {

bool IsEditableText(std::string_view bytes)
{
    if (bytes.find('\0') != std::string_view::npos)
        return false;
    if (QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())).isValidUtf8())
        return true;
    return bytes.find_first_of("\x81\x8D\x8F\x90\x9D") == std::string_view::npos;
}

} // namespace quellin
