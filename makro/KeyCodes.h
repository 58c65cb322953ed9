#pragma once
// The Windows virtual-key code of a key the user pressed in a Qt widget, for the key capture
// of the macro window (which turns one key into its macro token).
#include <Qt>

namespace makro {

// 0 for keys without a code of their own here (letters, digits and punctuation among them).
// Keypad keys (keypad modifier) give the NUMPAD and arithmetic codes.
int VirtualKeyOfQtKey(int key, Qt::KeyboardModifiers modifiers);

} // namespace makro
