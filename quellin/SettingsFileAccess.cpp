#include "quellin/SettingsFileAccess.h"

#include <QFileInfo>

namespace quellin {

const char* const kReadableWarning = "QUELLIN.INI is readable by other users";
const char* const kWritableWarning = "QUELLIN.INI is writable by other users";
const char* const kOpenWarning = "QUELLIN.INI is readable and writable by other users";

QString SettingsFileWarning(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return {};
    const QFileDevice::Permissions permissions = info.permissions();
    const bool readable = permissions & (QFileDevice::ReadGroup | QFileDevice::ReadOther);
    const bool writable = permissions & (QFileDevice::WriteGroup | QFileDevice::WriteOther);
    if (!readable && !writable)
        return {};
    const char* const warning = readable && writable ? kOpenWarning : readable ? kReadableWarning : kWritableWarning;
    return QLatin1String(warning) + QStringLiteral(" (chmod 600 %1)").arg(info.absoluteFilePath());
}

} // namespace quellin
