#pragma once
// A status bar of panels with fixed widths, each showing one text (the classic multi-panel
// status bar: the panels do not share a temporary message).
#include <QStatusBar>
#include <vector>

class QLabel;

namespace platform::gui {

struct StatusPanel {
    int width = 50;
    bool bevel = true;
};

class StatusPanels : public QStatusBar {
    Q_OBJECT
public:
    StatusPanels(const std::vector<StatusPanel>& panels, QWidget* parent = nullptr);

    int panelCount() const { return static_cast<int>(labels_.size()); }
    QString panelText(int index) const;
    // Shows the text at once (the bar repaints before long work that follows).
    void setPanelText(int index, const QString& text);
    int panelWidth(int index) const;
    void setPanelWidth(int index, int width);
    QLabel* panel(int index) const { return labels_.at(static_cast<std::size_t>(index)); }

private:
    std::vector<QLabel*> labels_;
};

} // namespace platform::gui
