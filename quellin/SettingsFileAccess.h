#pragma once
// Whether other users may read or change the settings file. It may hold passwords, and whoever
// can write it can point a site at another server or put text into the snippets.
#include <QString>

namespace quellin {

// The warnings, as the window shows them.
extern const char* const kReadableWarning;  // "QUELLIN.INI is readable by other users"
extern const char* const kWritableWarning;  // "QUELLIN.INI is writable by other users"
extern const char* const kOpenWarning;      // "QUELLIN.INI is readable and writable by other users"

// The warning for the file at path, with how to mend it; "" when only its owner may read and
// write it, or when it does not exist.
QString SettingsFileWarning(const QString& path);

} // namespace quellin
