#include "platform/core/ConfigFolder.h"

#include <QDir>

namespace platform::core {

QString ConfigFolder()
{
    // A relative XDG_CONFIG_HOME is invalid and must be ignored.
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    return QDir::homePath() + QStringLiteral("/.config");
}

QString ProfilePath(const QString& fileName)
{
    if (fileName.contains(QLatin1Char('/')))
        return fileName;
    return ConfigFolder() + QLatin1Char('/') + fileName;
}

} // namespace platform::core
