#include "quellin/DriveCombo.h"

#include "quellin/DriveComboDelegate.h"

#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace quellin {

DriveCombo::DriveCombo(QWidget* parent) : QComboBox(parent)
{
    setItemDelegate(new DriveComboDelegate(this));
}

void DriveCombo::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    if (currentIndex() >= 0)
        option.currentText = DriveComboCaption(currentText());
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

} // namespace quellin
