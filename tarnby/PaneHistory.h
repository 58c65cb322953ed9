#pragma once
// Undo over whole new texts of the page pane. The pane's own undo covers typing, but a whole
// new text (a fetch, Open files, Clear, a pass, the HTML parser links) starts it afresh; the
// text before each such step is kept here, and Undo (the Edit menu or Ctrl+Z in the pane)
// brings it back once the pane has nothing of its own left to undo. The last kSteps steps
// are kept.
#include <QObject>
#include <string>
#include <string_view>
#include <vector>

namespace platform::gui {
class RichEdit;
}

namespace tarnby {

class PaneHistory : public QObject {
public:
    static constexpr std::size_t kSteps = 20;

    // pane must outlive this object.
    explicit PaneHistory(platform::gui::RichEdit* pane);

    // Keeps the pane's text, then sets text.
    void replace(std::string_view text);
    // The pane's own undo while it has one, else the text before the last step.
    void undo();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    platform::gui::RichEdit* pane_;
    std::vector<std::string> before_;
};

} // namespace tarnby
