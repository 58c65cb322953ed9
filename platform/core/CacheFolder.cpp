#include "platform/core/CacheFolder.h"

#include "base/Exception.h"

#include <QDir>
#include <QFileInfo>

namespace platform::core {

QString CacheFolder(const QString& program)
{
    // A relative XDG_CACHE_HOME is invalid and must be ignored.
    const QString xdg = qEnvironmentVariable("XDG_CACHE_HOME");
    const QString root = !xdg.isEmpty() && QDir::isAbsolutePath(xdg) ? QDir::cleanPath(xdg)
                                                                      : QDir::homePath() + QStringLiteral("/.cache");
    const QString folder = root + QLatin1Char('/') + program;
    if (!QFileInfo(folder).isDir()) {
        if (!QDir().mkpath(folder))
            throw base::EFileError("Cannot create folder \"" + folder.toStdString() + "\".");
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    return folder;
}

} // namespace platform::core
