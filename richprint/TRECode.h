#pragma once
// The editor control of Quellin: the platform's rich-edit pane with two scroll notifications
// and the caret's line and column for the main window's status line.
#include "platform/gui/RichEdit.h"

#include <functional>

namespace richprint {

class TSRichEdit : public platform::gui::RichEdit {
    Q_OBJECT
public:
    explicit TSRichEdit(QWidget* parent = nullptr);

    // Raised after the pane has scrolled horizontally or vertically, by the user or by code.
    std::function<void()> OnHScroll;
    std::function<void()> OnVScroll;

    // 0-based line holding the selection start, and the selection start's offset in that line.
    int CaretLine() const { return caretLine(); }
    int CaretColumn() const { return caretColumn(); }
};

} // namespace richprint
