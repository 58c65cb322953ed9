#include "makro/CaptionedButton.h"

#include <QPushButton>

namespace makro {

QPushButton* CaptionedButton(const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    return button;
}

} // namespace makro
