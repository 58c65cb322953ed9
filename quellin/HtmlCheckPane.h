#pragma once
// The HTML check applied to the editor: the runs of HtmlCheckRuns coloured in the pane's
// document as one edit (a single undo step; none when every run already has its colour),
// without repainting until done, without moving the view and without marking the text
// modified. Afterwards the caret stands at the old selection start with nothing selected.
#include "platform/gui/RichEdit.h"

namespace quellin {

void ColourHtmlTags(platform::gui::RichEdit& editor);

} // namespace quellin
