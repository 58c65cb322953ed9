#pragma once
// The real modeless find and replace dialogs behind Dialogs::showFindReplace: a find-what field
// (and a replace-with field), the match-case and whole-word boxes, Find Next (and Replace,
// Replace All) and Cancel. The dialog frees itself when closed.
#include "platform/gui/Dialogs.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace platform::gui {

class FindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    FindReplaceDialog(const FindReplaceRequest& request, QWidget* parent);

    void setHandler(FindReplaceHandler onAction) { onAction_ = std::move(onAction); }

private:
    void report(FindAction action);

    bool replace_;
    QLineEdit* findText_;
    QLineEdit* replaceText_ = nullptr;
    QCheckBox* matchCase_;
    QCheckBox* wholeWord_;
    FindReplaceHandler onAction_;
};

} // namespace platform::gui
