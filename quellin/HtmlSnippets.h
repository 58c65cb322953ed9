#pragma once
// The snippet that an item of the HTML menu inserts, read from the settings file: every key of
// the section named by the item's caption contributes its value and a line feed, keys in file
// order. There is no limit on the number of keys. The sections live in the settings file of the
// site list (kSettingsFile).
#include "platform/core/IniFile.h"
#include "quellin/SiteList.h"

#include <QString>

namespace quellin {

// Empty for a missing section or one without keys. Values are decoded like the editor decodes
// a file (UTF-8, else Windows-1252).
QString SnippetText(const platform::core::IniFile& ini, const QString& section);

} // namespace quellin
