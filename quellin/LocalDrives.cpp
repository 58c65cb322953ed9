#include "quellin/LocalDrives.h"

#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <set>

namespace quellin {

namespace {

const std::set<QByteArray> kPseudo = {
    "proc",     "sysfs",   "cgroup",     "cgroup2",   "devtmpfs", "devpts",      "securityfs", "pstore",
    "debugfs",  "tracefs", "configfs",   "fusectl",   "mqueue",   "hugetlbfs",   "bpf",        "autofs",
    "binfmt_misc", "efivarfs", "rpc_pipefs", "nsfs", "selinuxfs", "squashfs", "fuse.gvfsd-fuse", "fuse.portal",
};
const std::set<QByteArray> kNetwork = { "nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "9p",
                                        "afs", "ceph", "glusterfs", "fuse.glusterfs", "davfs", "fuse.rclone" };
const std::set<QByteArray> kLocal = { "ext2", "ext3", "ext4", "xfs", "btrfs", "f2fs", "jfs", "reiserfs",
                                      "zfs", "bcachefs", "overlay", "ntfs", "ntfs3", "fuseblk", "vfat",
                                      "exfat", "hfsplus" };

bool below(const QString& root, const char* folder)
{
    return root.startsWith(QLatin1String(folder));
}

QString withSlash(QString path)
{
    return path.endsWith('/') ? path : path + '/';
}

} // namespace

int DriveTypeCode(const QByteArray& fileSystem, const QString& root)
{
    if (fileSystem == "iso9660" || fileSystem == "udf")
        return 5;
    if (kNetwork.count(fileSystem) != 0)
        return 4;
    if (fileSystem == "tmpfs" || fileSystem == "ramfs")
        return 6;
    if (below(root, "/media/") || below(root, "/run/media/"))
        return 2;
    return kLocal.count(fileSystem) != 0 ? 3 : 0;
}

QString DriveTypeText(int code)
{
    static const char* const texts[] = { "Unknown",       "=======",      "Floppy Disk", "Local Drive",
                                         "Network Drive", "CD-Rom Drive", "RAM-Disk" };
    return QString::fromLatin1(code >= 0 && code <= 6 ? texts[code] : texts[0]);
}

bool IsUserDrive(const QByteArray& fileSystem, const QString& root)
{
    if (kPseudo.count(fileSystem) != 0)
        return false;
    if (below(root, "/run/media/"))
        return true;
    if (below(root, "/proc/") || below(root, "/sys/") || below(root, "/dev/") || below(root, "/run/")
        || root == "/proc/" || root == "/sys/" || root == "/dev/" || root == "/run/")
        return false;
    // A container's layers: only its root is a drive to its user.
    return fileSystem != "overlay" || root == "/";
}

std::vector<LocalDrive> MountedDrives()
{
    std::vector<LocalDrive> drives;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = withSlash(volume.rootPath());
        if (!volume.isValid() || !QFileInfo(root).isDir() || !IsUserDrive(volume.fileSystemType(), root))
            continue;
        if (std::any_of(drives.begin(), drives.end(), [&](const LocalDrive& d) { return d.root == root; }))
            continue;
        const bool ready = volume.isReady();
        drives.push_back({ root, volume.fileSystemType(), volume.name().isEmpty() ? root : volume.name(),
                           ready ? volume.bytesTotal() : -1, ready ? volume.bytesAvailable() : -1 });
    }
    std::sort(drives.begin(), drives.end(), [](const LocalDrive& a, const LocalDrive& b) { return a.root < b.root; });
    return drives;
}

QString DriveOf(const QString& folder, const std::vector<LocalDrive>& drives)
{
    QString best;
    for (const auto& d : drives)
        if (folder.startsWith(d.root) && d.root.size() > best.size())
            best = d.root;
    return best;
}

} // namespace quellin
