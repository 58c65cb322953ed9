#pragma once
// Tells the desktop which installed program the windows belong to. The desktop file name
// (NAME.desktop) lets task bars group the windows under the menu entry and show its icon and
// name; the window icon is built from the PNG sizes in the resource folder ":/icons/NAME" (the
// images the package installs into the hicolor theme), or taken from the icon theme when the
// program was built without them. Call once, after the application object exists.
#include <QIcon>
#include <QString>

namespace platform::gui {

void AnnounceDesktopIdentity(const QString& name);

// The icon of AnnounceDesktopIdentity: every size found under ":/icons/NAME", else the theme's.
QIcon ProgramIcon(const QString& name);

} // namespace platform::gui
