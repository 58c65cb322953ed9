#include "quellin/LocalFolders.h"

#include "base/Exception.h"
#include "quellin/SafeNames.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLocale>
#include <QMimeDatabase>

#include <algorithm>

namespace quellin {

const char* const kDrivesFolder = "Drives";

namespace {

constexpr int kTypeNameLimit = 80;

QString withSlash(QString path)
{
    return path.endsWith('/') ? path : path + '/';
}

[[noreturn]] void fileError(const QString& what, const QString& path)
{
    throw base::EFileError(("Cannot " + what + " \"" + path + "\".").toStdString());
}

void requireSafe(const QString& name)
{
    RequireSafeFileName(QFile::encodeName(name).toStdString());
}

} // namespace

QString FileSizeText(qint64 size)
{
    if (size > 0 && size < 1024)
        size = 1024;
    return QString::number(size / 1024) + " KB";
}

QString DriveSizeText(qint64 size)
{
    if (size < 0)
        return {};
    if (size <= 1023)
        return QString::number(size) + " Byte";
    const auto quotient = [size](double unit) { return QString::number(static_cast<double>(size) / unit, 'g', 4); };
    if (size <= 1048575)
        return quotient(1024.0) + " KByte";
    if (size > 1073741823)
        return quotient(1073741824.0) + " GByte";
    return quotient(1048576.0) + " MByte";
}

QString LocalDateText(const QDateTime& time)
{
    const QDateTime local = time.toLocalTime();
    const QLocale locale = QLocale::system();
    return locale.toString(local.date(), QLocale::ShortFormat) + "  " + locale.toString(local.time(), QLocale::ShortFormat);
}

QString TypeNameOf(const QFileInfo& info)
{
    // By name only, without touching the file (reading or even stating every file again would
    // make a large folder slow), and remembered per name suffix.
    static const QMimeDatabase mimes;
    static QHash<QString, QString> bySuffix;
    if (info.isDir())
        return mimes.mimeTypeForName(QStringLiteral("inode/directory")).comment().left(kTypeNameLimit);
    // The whole suffix ("tar.gz" is no "gz"); names without one ("Makefile") are matched whole.
    const QString suffix = info.completeSuffix();
    const auto known = bySuffix.constFind(suffix);
    if (!suffix.isEmpty() && known != bySuffix.constEnd())
        return *known;
    const QString name = mimes.mimeTypeForFile(info.fileName(), QMimeDatabase::MatchExtension).comment().left(kTypeNameLimit);
    if (!suffix.isEmpty())
        bySuffix.insert(suffix, name);
    return name;
}

std::vector<LocalItem> FolderItems(const QString& folder)
{
    const QFileInfoList entries = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    std::vector<LocalItem> items;
    items.reserve(static_cast<std::size_t>(entries.size()));
    for (const QFileInfo& info : entries) {
        const bool dir = info.isDir();
        items.push_back({ { info.fileName(), dir ? QString() : FileSizeText(info.size()), TypeNameOf(info),
                            LocalDateText(info.lastModified()), dir ? QStringLiteral("dir") : QStringLiteral("file"),
                            withSlash(folder) + info.fileName() } });
    }
    QCollator collator(QLocale::system());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(items.begin(), items.end(), [&](const LocalItem& a, const LocalItem& b) {
        if (a.kind() != b.kind())
            return a.kind() < b.kind(); // "dir" before "file"
        return collator.compare(a.caption(), b.caption()) < 0;
    });
    return items;
}

std::vector<LocalItem> DriveItems(const std::vector<LocalDrive>& drives)
{
    std::vector<LocalItem> items;
    for (const auto& d : drives)
        items.push_back({ { d.displayName, DriveTypeText(DriveTypeCode(d.fileSystem, d.root)), DriveSizeText(d.total),
                            DriveSizeText(d.free), QStringLiteral("drive"), d.root } });
    return items;
}

bool IsAccessibleFolder(const QString& path)
{
    const QFileInfo info(path);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

DriveComboItem ParseDriveComboItem(const QString& item)
{
    DriveComboItem parts;
    QString text = item;
    parts.current = text.startsWith('T');
    if (parts.current)
        text.remove(0, 1);
    const qsizetype colon = text.indexOf(':');
    parts.level = text.left(colon).toInt();
    parts.path = text.mid(colon + 1);
    return parts;
}

LocalBrowserState::LocalBrowserState(std::vector<LocalDrive> drives, QString folder)
    : LocalFolder(std::move(folder)), drives_(std::move(drives))
{
}

std::vector<LocalItem> LocalBrowserState::Items() const
{
    return AtDrives() ? DriveItems(drives_) : FolderItems(LocalFolder);
}

QStringList LocalBrowserState::ComboItems() const
{
    QStringList items{ QStringLiteral("0:Drives") };
    int current = 0;
    const QString drive = AtDrives() ? QString() : DriveOf(LocalFolder, drives_);
    for (const auto& d : drives_) {
        items << "1:" + d.root;
        if (d.root == drive)
            current = static_cast<int>(items.size()) - 1;
    }
    if (!drive.isEmpty()) {
        int level = 2;
        for (qsizetype at = LocalFolder.indexOf('/', drive.size()); at >= 0; at = LocalFolder.indexOf('/', at + 1)) {
            items << QString::number(level++) + ":" + LocalFolder.left(at + 1);
            current = static_cast<int>(items.size()) - 1;
        }
    }
    items[current].prepend('T');
    return items;
}

QString LocalBrowserState::ChooseComboItem(const QString& item)
{
    const QString path = ParseDriveComboItem(item).path;
    if (path != kDrivesFolder && !IsAccessibleFolder(path))
        return "No access to " + path + ".";
    LocalFolder = path == kDrivesFolder ? path : withSlash(path);
    return {};
}

QString LocalBrowserState::Open(const LocalItem& item)
{
    if (item.kind() == "dir") {
        if (!IsAccessibleFolder(item.path()))
            return "No access to " + withSlash(item.path()) + ".";
        LocalFolder = withSlash(item.path());
        return {};
    }
    if (item.kind() == "drive") {
        if (!IsAccessibleFolder(item.path()))
            return "No Access TO " + item.caption() + " .";
        LocalFolder = withSlash(item.path());
        return {};
    }
    return item.path() + " file";
}

void LocalBrowserState::Up()
{
    if (AtDrives())
        return;
    const bool driveRoot = std::any_of(drives_.begin(), drives_.end(), [&](const LocalDrive& d) { return d.root == LocalFolder; });
    if (driveRoot || LocalFolder == "/") {
        LocalFolder = kDrivesFolder;
        return;
    }
    QString parent = LocalFolder.chopped(1);
    parent.truncate(parent.lastIndexOf('/') + 1);
    LocalFolder = parent;
}

void LocalBrowserState::Delete(const LocalItem& item) const
{
    if (item.kind() == "file" && !QFile::remove(item.path()))
        fileError("delete", item.path());
    if (item.kind() == "dir" && !QDir().rmdir(item.path()))
        fileError("remove the folder (it must be empty)", item.path());
}

void LocalBrowserState::Rename(const LocalItem& item, const QString& newName) const
{
    requireSafe(newName);
    if (AtDrives())
        fileError("rename a drive", item.path());
    if (!QFile::rename(item.path(), LocalFolder + newName))
        fileError("rename", item.path());
}

void LocalBrowserState::CreateDir(const QString& name) const
{
    requireSafe(name);
    if (AtDrives())
        fileError("create a folder in", LocalFolder);
    if (!QDir().mkdir(LocalFolder + name))
        fileError("create the folder", LocalFolder + name);
}

} // namespace quellin
