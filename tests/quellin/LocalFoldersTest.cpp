// The local browser's logic on a temporary folder tree and on this machine's drives: texts,
// order, the folder combo's levels, moving up to "Drives", the double-click outcomes and the
// commands with their failures.
#include "support/AsPlainUser.h"
#include "platform/core/ItemRoles.h"
#include "quellin/LocalFolderModel.h"
#include "quellin/LocalFolders.h"
#include "quellin/SafeNames.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fstream>

using namespace quellin;

namespace {

void writeFile(const QString& path, qint64 size)
{
    std::ofstream(QFile::encodeName(path).toStdString(), std::ios::binary) << std::string(static_cast<std::size_t>(size), 'x');
}

QStringList column(const std::vector<LocalItem>& items, int index)
{
    QStringList texts;
    for (const auto& item : items)
        texts << item.texts[static_cast<std::size_t>(index)];
    return texts;
}

// A drive list with "/" and a temporary folder standing for a mounted one.
std::vector<LocalDrive> drivesWith(const QString& mounted)
{
    return { { "/", "ext4", "/", 100, 50 }, { mounted, "ext4", "Stick", 2147483647, -1 } };
}

} // namespace

TEST(LocalTexts, SizesOfFilesAndDrives)
{
    const std::pair<qint64, const char*> files[] = { { 0, "0 KB" }, { 1, "1 KB" }, { 1023, "1 KB" }, { 2047, "1 KB" },
                                                     { 1048576, "1024 KB" } };
    for (const auto& [size, text] : files)
        EXPECT_EQ(FileSizeText(size), text) << size;
    const std::pair<qint64, const char*> drives[] = { { -1, "" },
                                                      { 0, "0 Byte" },
                                                      { 1023, "1023 Byte" },
                                                      { 1536, "1.5 KByte" },
                                                      { 1048576, "1 MByte" },
                                                      { 1073741823, "1024 MByte" },
                                                      { 2147483647, "2 GByte" },
                                                      { 5000000000000, "4657 GByte" } };
    for (const auto& [size, text] : drives)
        EXPECT_EQ(DriveSizeText(size), text) << size;
}

TEST(LocalDrives, TypesAndWhichFileSystemsAreDrives)
{
    const struct {
        const char* fileSystem;
        const char* root;
        bool drive;
        const char* type;
    } cases[] = {
        { "ext4", "/", true, "Local Drive" },         { "nfs4", "/srv/share/", true, "Network Drive" },
        { "tmpfs", "/tmp/", true, "RAM-Disk" },       { "iso9660", "/media/cd/", true, "CD-Rom Drive" },
        { "vfat", "/media/usb/", true, "Floppy Disk" }, { "ext4", "/run/media/u/stick/", true, "Floppy Disk" },
        { "fuse.odd", "/mnt/odd/", true, "Unknown" }, { "overlay", "/", true, "Local Drive" },
        { "overlay", "/var/lib/docker/l/", false, "" }, { "proc", "/proc/", false, "" },
        { "tmpfs", "/run/user/1000/", false, "" },    { "cgroup2", "/sys/fs/cgroup/", false, "" },
        { "devpts", "/dev/pts/", false, "" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsUserDrive(c.fileSystem, c.root), c.drive) << c.fileSystem << " " << c.root;
        if (c.drive) {
            EXPECT_EQ(DriveTypeText(DriveTypeCode(c.fileSystem, c.root)), c.type) << c.fileSystem << " " << c.root;
        }
    }
}

TEST(LocalDrives, ThisMachineHasItsRootAndNoPseudoFileSystems)
{
    const auto drives = MountedDrives();
    ASSERT_FALSE(drives.empty());
    EXPECT_EQ(drives.front().root, "/");
    for (const auto& d : drives) {
        EXPECT_TRUE(d.root.endsWith('/')) << d.root.toStdString();
        EXPECT_FALSE(d.root.startsWith("/proc") || d.root.startsWith("/sys")) << d.root.toStdString();
    }
    EXPECT_EQ(DriveOf("/usr/share/", drives), DriveOf("/usr/", drives));
}

TEST(LocalFolder, ItemsFolderFirstThenNamesCaseInsensitive)
{
    QTemporaryDir tree;
    const QString root = tree.path() + "/";
    writeFile(root + "README.TXT", 1);
    writeFile(root + "readme", 0);
    writeFile(root + ".hidden", 1048576);
    writeFile(root + "b.html", 1);
    QDir(root).mkdir("Zeta");
    QDir(root).mkdir("alpha");
    const auto items = FolderItems(root);
    EXPECT_EQ(column(items, 0), (QStringList{ "alpha", "Zeta", ".hidden", "b.html", "readme", "README.TXT" }));
    EXPECT_EQ(column(items, 1), (QStringList{ "", "", "1024 KB", "1 KB", "0 KB", "1 KB" }));
    EXPECT_EQ(column(items, 4), (QStringList{ "dir", "dir", "file", "file", "file", "file" }));
    EXPECT_EQ(items[3].path(), root + "b.html");
    EXPECT_LE(items[3].texts[2].size(), 80);
    EXPECT_FALSE(items[3].texts[2].isEmpty()) << "a type name from the MIME database";
}

TEST(LocalFolder, ComboLevelsAndUpToTheMountPointAndOnToDrives)
{
    QTemporaryDir tree;
    const QString mounted = tree.path() + "/";
    QDir(mounted).mkpath("a/b");
    LocalBrowserState state(drivesWith(mounted), mounted + "a/b/");
    const QStringList levels = { "0:Drives", "1:/", "1:" + mounted, "2:" + mounted + "a/", "T3:" + mounted + "a/b/" };
    EXPECT_EQ(state.ComboItems(), levels);
    const QStringList expectedAfterUp[] = {
        { "0:Drives", "1:/", "1:" + mounted, "T2:" + mounted + "a/" },
        { "0:Drives", "1:/", "T1:" + mounted },
        { "T0:Drives", "1:/", "1:" + mounted },
    };
    for (const auto& expected : expectedAfterUp) {
        state.Up();
        EXPECT_EQ(state.ComboItems(), expected);
    }
    EXPECT_TRUE(state.AtDrives());
    EXPECT_EQ(column(state.Items(), 1), (QStringList{ "Local Drive", "Local Drive" }));
    EXPECT_EQ(column(state.Items(), 2), (QStringList{ "100 Byte", "2 GByte" }));
    EXPECT_EQ(column(state.Items(), 3), (QStringList{ "50 Byte", "" }));
}

TEST(LocalFolder, ComboChoicesAndDoubleClicks)
{
    QTemporaryDir tree;
    const QString root = tree.path() + "/";
    QDir(root).mkdir("sub");
    QDir(root).mkdir("closed");
    writeFile(root + "page.html", 3);
    QFile::setPermissions(root + "closed", {});
    LocalBrowserState state(drivesWith(root), root);

    QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther
                                    | QFile::ExeOther);
    for (const QString& path : { root + "missing", root + "closed" }) {
        const AsPlainUser user;
        EXPECT_EQ(state.ChooseComboItem("2:" + path), "No access to " + path + ".");
        EXPECT_EQ(state.LocalFolder, root) << "stays where it was";
    }
    EXPECT_EQ(state.ChooseComboItem("2:" + root + "sub/"), "");
    EXPECT_EQ(state.LocalFolder, root + "sub/");
    EXPECT_EQ(state.ChooseComboItem("T0:Drives"), "");
    EXPECT_TRUE(state.AtDrives());

    const LocalItem gone{ { "Gone", "", "", "", "drive", "/nowhere/at/all/" } };
    EXPECT_EQ(state.Open(gone), "No Access TO Gone .");
    state.LocalFolder = root;
    const auto items = state.Items();
    EXPECT_EQ(state.Open(items.back()), root + "page.html file");
    EXPECT_EQ(state.LocalFolder, root);
    ASSERT_EQ(column(items, 0), (QStringList{ "closed", "sub", "page.html" }));
    {
        const AsPlainUser user;
        EXPECT_EQ(state.Open(items[0]), "No access to " + root + "closed/.") << "not shown as an empty folder";
        EXPECT_EQ(state.LocalFolder, root);
    }
    EXPECT_EQ(state.Open(items[1]), "");
    EXPECT_EQ(state.LocalFolder, root + "sub/");
    QFile::setPermissions(root + "closed", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(LocalFolder, DeleteRenameCreateAndTheirFailures)
{
    QTemporaryDir tree;
    const QString root = tree.path() + "/";
    LocalBrowserState state(drivesWith(root), root);
    state.CreateDir("new dir");
    writeFile(root + "new dir/inside", 1);
    writeFile(root + "a.txt", 1);
    auto find = [&](const QString& name) {
        for (const auto& item : state.Items())
            if (item.caption() == name)
                return item;
        return LocalItem{};
    };
    state.Rename(find("a.txt"), "b.txt");
    EXPECT_EQ(column(state.Items(), 0), (QStringList{ "new dir", "b.txt" }));
    EXPECT_THROW(state.Delete(find("new dir")), base::EFileError) << "a folder must be empty";
    EXPECT_THROW(state.Rename(find("b.txt"), "../b.txt"), EUnsafeName);
    EXPECT_THROW(state.CreateDir(".."), EUnsafeName);
    EXPECT_THROW(state.CreateDir("new dir"), base::EFileError);
    state.Delete(find("b.txt"));
    QFile::remove(root + "new dir/inside");
    state.Delete(find("new dir"));
    EXPECT_TRUE(state.Items().empty());
}

TEST(LocalFolderModel, ColumnsFollowTheKindAndComboItemsParse)
{
    LocalFolderModel model;
    model.imageIndex = [](const LocalItem& item) { return item.kind() == "dir" ? 0 : 1; };
    model.setItems({ { { "sub", "", "Folder", "d", "dir", "/a/sub" } }, { { "a.txt", "1 KB", "Text", "d", "file", "/a/a.txt" } } },
                   false);
    const auto header = [&](int column) { return model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(); };
    EXPECT_EQ((QStringList{ header(0), header(1), header(2), header(3) }), (QStringList{ "Name", "Size", "Type", "Date" }));
    EXPECT_EQ(model.data(model.index(1, 5), Qt::DisplayRole).toString(), "/a/a.txt");
    EXPECT_EQ(model.data(model.index(1, 0), platform::core::ImageIndexRole).toInt(), 1);
    EXPECT_TRUE(model.data(model.index(1, 1), Qt::TextAlignmentRole).isValid()) << "sizes right-aligned";
    model.setItems({}, true);
    EXPECT_EQ((QStringList{ header(0), header(1), header(2), header(3) }), (QStringList{ "Name", "Type", "Size", "Free" }));

    const struct {
        const char* item;
        int level;
        bool current;
        const char* path;
    } items[] = { { "T0:Drives", 0, true, "Drives" }, { "1:/", 1, false, "/" }, { "T3:/a/b:c/", 3, true, "/a/b:c/" } };
    for (const auto& c : items) {
        const auto parts = ParseDriveComboItem(c.item);
        EXPECT_EQ(parts.level, c.level) << c.item;
        EXPECT_EQ(parts.current, c.current) << c.item;
        EXPECT_EQ(parts.path, c.path) << c.item;
    }
}
