#pragma once
// Where a program keeps files it makes for itself (fetched documents): never the user's
// current folder.
#include <QString>

namespace platform::core {

// $XDG_CACHE_HOME/program when XDG_CACHE_HOME is an absolute path, else ~/.cache/program.
// Created (only the user may enter it) when missing; throws base::EFileError naming it when
// it cannot be.
QString CacheFolder(const QString& program);

} // namespace platform::core
