#pragma once
// A push button whose accessible name is its caption without the accelerator's "&".
#include <QString>

class QPushButton;
class QWidget;

namespace makro {

QPushButton* CaptionedButton(const QString& caption, QWidget* parent);

} // namespace makro
