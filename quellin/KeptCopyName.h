#pragma once
// Where a text the user chose to keep goes: beside the local browser's files, under a name that
// clashes with nothing there, so no local file is ever overwritten by it.
//   "index.html" -> "index (mine).html", then "index (mine 2).html", "index (mine 3).html", ...
// The mark goes before the last extension; a name without one (or only a leading dot, as
// ".htaccess") gets it at its end.
#include <QString>

namespace quellin {

// folder ends with "/". The path of the first free name; base::EFileError when the first 1000
// are all taken.
QString FreeKeptCopyPath(const QString& folder, const QString& name);

} // namespace quellin
