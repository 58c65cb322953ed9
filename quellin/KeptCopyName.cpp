#include "quellin/KeptCopyName.h"

#include "base/Exception.h"

#include <QFileInfo>

namespace quellin {

QString FreeKeptCopyPath(const QString& folder, const QString& name)
{
    constexpr int kTries = 1000;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot > 0;
    const QString stem = hasExtension ? name.left(dot) : name;
    const QString extension = hasExtension ? name.mid(dot) : QString();
    for (int n = 1; n <= kTries; ++n) {
        const QString mark = n == 1 ? QStringLiteral(" (mine)") : QStringLiteral(" (mine %1)").arg(n);
        const QString path = folder + stem + mark + extension;
        if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
            return path;
    }
    throw base::EFileError("No free name for a copy of \"" + name.toStdString() + "\" in \"" + folder.toStdString()
                           + "\".");
}

} // namespace quellin
