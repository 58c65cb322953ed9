#include "decor/PopupMenus.h"

#include <QMenu>

namespace decor {

namespace {

PopupRunner& Runner()
{
    static PopupRunner runner;
    return runner;
}

} // namespace

QAction* ExecPopup(QMenu& menu, QPoint screenPos)
{
    if (Runner())
        return Runner()(menu, screenPos);
    return menu.exec(screenPos);
}

PopupRunner SetPopupRunner(PopupRunner runner)
{
    PopupRunner old = std::move(Runner());
    Runner() = std::move(runner);
    return old;
}

} // namespace decor
