#include "quellin/LocalCommands.h"

#include "platform/gui/Dialogs.h"

namespace quellin {

bool LocalDeleteCommand(const LocalBrowserState& state, const LocalItem* selected)
{
    if (selected == nullptr)
        return false;
    state.Delete(*selected);
    return true;
}

bool LocalRenameCommand(const LocalBrowserState& state, const LocalItem* selected)
{
    if (selected == nullptr)
        return false;
    const QString answer = platform::gui::InputBox(QStringLiteral("Rename"), QStringLiteral("Name:"), selected->caption());
    if (answer == selected->caption())
        return false;
    state.Rename(*selected, answer);
    return true;
}

bool LocalCreateDirCommand(const LocalBrowserState& state)
{
    const QString answer = platform::gui::InputBox(QStringLiteral("Create Dir"), QStringLiteral("Name:"), QString());
    if (answer.isEmpty())
        return false;
    state.CreateDir(answer);
    return true;
}

} // namespace quellin
