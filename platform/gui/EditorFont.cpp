#include "platform/gui/EditorFont.h"

#include <QFontDatabase>
#include <QStringList>

namespace platform::gui {

QFont EditorFont()
{
    QFont font(QStringLiteral("Courier New"));
    if (!QFontDatabase::families().contains(font.family()))
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(13);
    return font;
}

} // namespace platform::gui
