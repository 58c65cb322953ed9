#pragma once
// Every popup menu the decorations open (a window's system menu, a button's PopUpMenu) goes
// through this one seam, so that tests can answer a menu without a human.
#include <QPoint>
#include <functional>

class QAction;
class QMenu;

namespace decor {

// Shows the menu at a screen point and returns the chosen action (nullptr when dismissed).
using PopupRunner = std::function<QAction*(QMenu& menu, QPoint screenPos)>;

QAction* ExecPopup(QMenu& menu, QPoint screenPos);

// Replaces the runner; an empty runner restores the modal QMenu::exec. Returns the old one.
PopupRunner SetPopupRunner(PopupRunner runner);

} // namespace decor
