#include "tarnby/ToolStrip.h"

#include <QBoxLayout>
#include <QToolButton>

namespace tarnby {

QAbstractButton* CreateToolButton(QWidget* parent, const ToolButtonSpec& spec)
{
    // Flat until the pointer is over it; the glyph stands left of the caption.
    auto* button = new QToolButton(parent);
    button->setObjectName(spec.name);
    button->setText(spec.caption);
    button->setIcon(spec.glyph);
    button->setToolTip(spec.hint);
    button->setAutoRaise(true);
    // Buttons keep their size; a window narrower than the strip clips the last ones.
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    button->setToolButtonStyle(spec.glyph.isNull() ? Qt::ToolButtonTextOnly
                                                   : Qt::ToolButtonTextBesideIcon);
    button->setFocusPolicy(Qt::TabFocus);
    if (spec.onClick)
        QObject::connect(button, &QAbstractButton::clicked, button, spec.onClick);
    return button;
}

std::vector<QAbstractButton*> BuildToolButtons(QWidget* parent, QBoxLayout* layout,
                                               const std::vector<ToolButtonSpec>& specs)
{
    std::vector<QAbstractButton*> buttons;
    for (const ToolButtonSpec& spec : specs) {
        QAbstractButton* button = CreateToolButton(parent, spec);
        layout->addWidget(button);
        buttons.push_back(button);
    }
    return buttons;
}

} // namespace tarnby
