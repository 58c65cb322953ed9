#include "platform/gui/FileIcons.h"

#include <QFileIconProvider>
#include <QMimeDatabase>
#include <QStandardPaths>

namespace platform::gui {

namespace {

QIcon themeIcon(const QString& name, QFileIconProvider::IconType fallback)
{
    QIcon icon = QIcon::fromTheme(name);
    return icon.isNull() ? QFileIconProvider().icon(fallback) : icon;
}

} // namespace

void EnsureIconTheme()
{
    // Without a desktop's platform theme Qt searches only its resources.
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& folder :
         QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"), QStandardPaths::LocateDirectory))
        if (!paths.contains(folder))
            paths << folder;
    QIcon::setThemeSearchPaths(paths);
    const QString theme = QIcon::themeName();
    if (theme.isEmpty() || theme == QLatin1String("hicolor"))
        QIcon::setThemeName(QStringLiteral("Adwaita"));
}

std::optional<QIcon> ExtensionIcon(const QString& extension)
{
    static const QMimeDatabase database;
    const QList<QMimeType> types = database.mimeTypesForFileName(QLatin1Char('x') + extension);
    if (types.isEmpty())
        return std::nullopt;
    for (const QString& name : { types.first().iconName(), types.first().genericIconName() }) {
        const QIcon icon = QIcon::fromTheme(name);
        if (!icon.isNull())
            return icon;
    }
    return std::nullopt;
}

QIcon FolderIcon()
{
    return themeIcon(QStringLiteral("folder"), QFileIconProvider::Folder);
}

QIcon DocumentIcon()
{
    return themeIcon(QStringLiteral("text-x-generic"), QFileIconProvider::File);
}

QIcon HostIcon()
{
    return themeIcon(QStringLiteral("network-server"), QFileIconProvider::Network);
}

} // namespace platform::gui
