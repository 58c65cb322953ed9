#pragma once
// The HTML snippet menu PMHTML built from its tree, and the snippet insertion behind its items.
#include "platform/gui/RichEdit.h"

#include <QMenu>
#include <functional>

namespace quellin {

// Adds the tree's items to menu. Choosing a snippet item calls onSnippet with the item's caption
// (the section to insert); inert items and separators do nothing.
void AddHtmlMenuItems(QMenu& menu, const std::function<void(const QString&)>& onSnippet);

// Inserts the snippet of section from QUELLIN.INI at the caret, replacing the selection and
// leaving the caret after it. A missing or empty section changes nothing, not even the
// selection.
void InsertSnippet(platform::gui::RichEdit& editor, const QString& section);

} // namespace quellin
