#include "makro/KeyCaptureEdit.h"

#include "makro/KeyCodes.h"

#include <QKeyEvent>

namespace makro {

KeyCaptureEdit::KeyCaptureEdit(QWidget* parent) : QLineEdit(parent)
{
    setReadOnly(true);
    setCursor(Qt::ForbiddenCursor);
    setBackgroundRole(QPalette::Button);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, colours.color(QPalette::Button));
    setPalette(colours);
}

bool KeyCaptureEdit::event(QEvent* event)
{
    // Shortcuts and focus keys would take the key before keyPressEvent sees it.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        emit keyCaptured(VirtualKeyOfQtKey(key->key(), key->modifiers()));
        return true;
    }
    return QLineEdit::event(event);
}

} // namespace makro
