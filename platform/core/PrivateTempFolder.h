#pragma once
// The stand-in for the platform's temporary-files folder: a folder of this user alone (mode
// 0700) under $XDG_RUNTIME_DIR when that is set to an existing folder, else under the system
// temporary folder with the user id in its name. Never a shared, world-writable one.
#include <QString>

namespace platform::core {

// The folder for program (created when missing), ending with "/". Throws base::EFileError when
// it cannot be created, or exists as something else than a folder owned by this user (a
// link, another user's folder); a folder of this user with wider rights is narrowed to 0700.
QString PrivateTempFolder(const QString& program);

} // namespace platform::core
