#pragma once
// Accessible names for screen readers and UI automation, which find controls by name.
class QWidget;
class QString;

namespace platform::gui {

// A caption without its "&" accelerator marks ("&&" stays one "&").
QString StripAccelerator(const QString& caption);

// Gives every widget below root (root included) that has no accessible name one: its tooltip
// (the hint), else its caption without "&". Menu items need nothing: their accessible name is
// already their caption without "&".
void NameForAccessibility(QWidget* root);

} // namespace platform::gui
