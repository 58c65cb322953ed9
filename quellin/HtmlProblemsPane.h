#pragma once
// The list below the editor that the HTML check fills: one row per problem (line, column,
// message). A double click or Return/Enter on a row puts the editor's caret at its place. Filling
// the list never touches the editor's text, its modified flag or its undo history.
#include "quellin/HtmlProblems.h"

#include <QTreeWidget>

#include <vector>

namespace platform::gui {
class RichEdit;
}

namespace quellin {

class HtmlProblemsPane : public QTreeWidget {
    Q_OBJECT
public:
    HtmlProblemsPane(platform::gui::RichEdit& editor, QWidget* parent = nullptr);

    // Replaces the rows and shows the pane; with no problems a single row says so.
    void showProblems(const std::vector<HtmlProblem>& problems);
    // Puts the caret at the problem of a row (nothing for the "no problems" row).
    void jumpTo(QTreeWidgetItem* item);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    platform::gui::RichEdit& editor_;
};

// The string position of a line and column (both from 1, columns in characters) in the
// editor, kept within the text.
int EditorPosition(const platform::gui::RichEdit& editor, std::uint32_t line, std::uint32_t column);

} // namespace quellin
