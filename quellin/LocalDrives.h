#pragma once
// The local browser's "drives" on Linux: mounted file systems a user would call a drive. Pseudo
// file systems (proc, sysfs, cgroup, devpts, ...), anything below /proc, /sys, /dev and /run
// (except removable media under /run/media), overlay layers other than the root of a
// container, and mount points that are no folder (files bound into containers) are left out.
// A drive's root is its mount point, always ending with "/".
#include <QByteArray>
#include <QString>
#include <vector>

namespace quellin {

struct LocalDrive {
    QString root;          // "/", "/home/", "/media/usb/"
    QByteArray fileSystem; // "ext4", "nfs4", "tmpfs", ...
    QString displayName;   // the volume's label, else the mount point
    qint64 total = -1;     // bytes; -1 when the query failed
    qint64 free = -1;
};

// The drive-type code of the file system (the platform's numbering): 0 unknown, 2 removable,
// 3 local disk, 4 network, 5 CD-ROM, 6 RAM disk.
int DriveTypeCode(const QByteArray& fileSystem, const QString& root);
// "Unknown", "=======", "Floppy Disk", "Local Drive", "Network Drive", "CD-Rom Drive", "RAM-Disk".
QString DriveTypeText(int code);
bool IsUserDrive(const QByteArray& fileSystem, const QString& root);

// The drives of this machine, sorted by root.
std::vector<LocalDrive> MountedDrives();

// The drive holding folder (ending with "/"): the longest root that is a prefix of it; empty
// when none is.
QString DriveOf(const QString& folder, const std::vector<LocalDrive>& drives);

} // namespace quellin
