#pragma once
// Replacing a file's content all at once: the bytes go to a temporary file beside it, which is
// renamed over the old file only when everything was written, so a failure (full disk, no
// permission) leaves the old file as it was. Missing folders are created.
#include <QString>
#include <string_view>

namespace platform::core {

// Throws base::EFileError naming the file and the reason.
void WriteFileAtomically(const QString& path, std::string_view bytes);

} // namespace platform::core
