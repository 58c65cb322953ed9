#include "platform/gui/StatusPanels.h"

#include <QLabel>

namespace platform::gui {

StatusPanels::StatusPanels(const std::vector<StatusPanel>& panels, QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    for (const StatusPanel& p : panels) {
        auto* label = new QLabel(this);
        label->setFrameStyle(p.bevel ? QFrame::Panel | QFrame::Sunken : QFrame::NoFrame);
        label->setFixedWidth(p.width);
        label->setTextFormat(Qt::PlainText);
        addWidget(label);
        labels_.push_back(label);
    }
}

QString StatusPanels::panelText(int index) const
{
    return panel(index)->text();
}

void StatusPanels::setPanelText(int index, const QString& text)
{
    QLabel* label = panel(index);
    label->setText(text);
    if (label->isVisible())
        label->repaint();
}

int StatusPanels::panelWidth(int index) const
{
    return panel(index)->width();
}

void StatusPanels::setPanelWidth(int index, int width)
{
    panel(index)->setFixedWidth(width);
}

} // namespace platform::gui
