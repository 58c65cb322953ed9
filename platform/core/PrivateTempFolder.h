#pragma once
// The stand-in for the platform's temporary-files folder: a folder of this user alone (mode
// 0700). Under $XDG_RUNTIME_DIR (itself private) when that names an existing folder; else a
// fresh folder of an unpredictable name made by mkdtemp under the system temporary folder, so
// that another local user cannot create it first. Never a shared, world-writable one.
#include <QString>

namespace platform::core {

// The folder for program, ending with "/". Under $XDG_RUNTIME_DIR it is "<runtime>/<program>",
// created when missing; otherwise "<temp>/<program>-XXXXXX", made once per process (the same
// folder for every later call) and removed at exit when it is empty. Throws base::EFileError
// when it cannot be created, or exists as something else than a folder owned by this user (a
// link, another user's folder); a folder of this user with wider rights is narrowed to 0700.
QString PrivateTempFolder(const QString& program);

} // namespace platform::core
