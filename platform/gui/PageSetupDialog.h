#pragma once
// The page setup dialog of the Qt dialogs: printer, paper, orientation and margins in the
// request's units, each part greyed out by its disable flag. Placed centred horizontally and
// at a third of the screen's height.
#include "platform/gui/Dialogs.h"

class QWidget;

namespace platform::gui {

PageSetupResult RunPageSetupDialog(const PageSetupRequest& request, QPrinter* printer,
                                   QWidget* parent);

} // namespace platform::gui
