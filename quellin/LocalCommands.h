#pragma once
// The local browser's PMLocal commands as the window's shared handlers (tag 1) call them: the
// names are asked through the dialog seam's input box, the work is LocalBrowserState's. Each
// returns whether the list needs a refresh; failures are exceptions for the application's
// default handler (the list is then not refreshed).
#include "quellin/LocalFolders.h"

namespace quellin {

// "&Delete": the selected file or (empty) folder; nothing without a selection.
bool LocalDeleteCommand(const LocalBrowserState& state, const LocalItem* selected);
// "&Rename": input box "Rename", prompt "Name:", the caption as preset. Cancel (the preset) and
// an unchanged name do nothing.
bool LocalRenameCommand(const LocalBrowserState& state, const LocalItem* selected);
// "&Create Dir": input box "Create Dir", prompt "Name:", empty preset. An empty answer (Cancel)
// does nothing.
bool LocalCreateDirCommand(const LocalBrowserState& state);

} // namespace quellin
