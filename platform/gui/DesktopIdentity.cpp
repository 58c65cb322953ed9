#include "platform/gui/DesktopIdentity.h"

#include <QApplication>
#include <QDirIterator>

namespace platform::gui {

QIcon ProgramIcon(const QString& name)
{
    QIcon icon;
    QDirIterator images(QStringLiteral(":/icons/") + name, {QStringLiteral("*.png")}, QDir::Files,
                        QDirIterator::Subdirectories);
    while (images.hasNext())
        icon.addFile(images.next());
    if (icon.isNull())
        icon = QIcon::fromTheme(name);
    return icon;
}

void AnnounceDesktopIdentity(const QString& name)
{
    QGuiApplication::setDesktopFileName(name);
    QApplication::setWindowIcon(ProgramIcon(name));
}

} // namespace platform::gui
