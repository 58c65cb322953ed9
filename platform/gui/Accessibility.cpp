#include "platform/gui/Accessibility.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

namespace platform::gui {

QString StripAccelerator(const QString& caption)
{
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        text += caption[i];
    }
    return text;
}

namespace {

QString captionOf(const QWidget* widget)
{
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* box = qobject_cast<const QGroupBox*>(widget))
        return box->title();
    return {};
}

void nameOne(QWidget* widget)
{
    if (!widget->accessibleName().isEmpty())
        return;
    const QString hint = widget->toolTip();
    widget->setAccessibleName(hint.isEmpty() ? StripAccelerator(captionOf(widget)) : hint);
}

} // namespace

void NameForAccessibility(QWidget* root)
{
    nameOne(root);
    for (QWidget* widget : root->findChildren<QWidget*>())
        nameOne(widget);
}

} // namespace platform::gui
