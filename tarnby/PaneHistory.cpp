#include "tarnby/PaneHistory.h"

#include "platform/gui/RichEdit.h"

#include <QKeyEvent>
#include <QTextDocument>

namespace tarnby {

PaneHistory::PaneHistory(platform::gui::RichEdit* pane) : QObject(pane), pane_(pane)
{
    pane->installEventFilter(this);
}

void PaneHistory::replace(std::string_view text)
{
    if (before_.size() == kSteps)
        before_.erase(before_.begin());
    before_.push_back(pane_->text());
    pane_->setText(text);
}

void PaneHistory::undo()
{
    if (pane_->document()->isUndoAvailable() || before_.empty()) {
        pane_->undo();
        return;
    }
    pane_->setText(before_.back());
    before_.pop_back();
}

bool PaneHistory::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == pane_ && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Undo) && !pane_->isReadOnly()) {
        undo();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tarnby
