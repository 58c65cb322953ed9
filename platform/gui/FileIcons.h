#pragma once
// Icons for files and folders from the desktop's icon theme: a file name's extension is mapped to
// its MIME type (QMimeDatabase) and the type to the theme's icon (its own, then its generic
// one). Where the theme has no icon, the stock ones of QFileIconProvider stand in for folders,
// documents and hosts.
#include <QIcon>
#include <QString>
#include <optional>

namespace platform::gui {

// Makes the installed icon themes findable and chooses Adwaita when the platform names no theme
// (offscreen, bare X servers). Called before the first look-up.
void EnsureIconTheme();

// The icon of files with this extension (".htm"); none when no MIME type knows the extension or
// the theme has no icon for it.
std::optional<QIcon> ExtensionIcon(const QString& extension);

QIcon FolderIcon();
QIcon DocumentIcon();
// A server on the network (the first item of a remote path).
QIcon HostIcon();

} // namespace platform::gui
