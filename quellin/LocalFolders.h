#pragma once
// The local browser's logic without widgets: the texts of its items, the folder list and the
// drive list, the folder combo's items, and where each command leads.
//
// The local folder is "Drives" (the drive list) or a folder path ending with "/". Items carry
// six texts: the caption and five sub-items, as the view and the commands use them:
//                 folder item                       drive item
//   1             size text (empty for a folder)    drive type text
//   2             type name (at most 80 characters) total size text
//   3             date text                         free space text
//   4             "dir" or "file"                   "drive"
//   5             full path (folder + name)         the drive's root
#include "quellin/LocalDrives.h"

#include <QDateTime>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace quellin {

extern const char* const kDrivesFolder; // "Drives"

struct LocalItem {
    std::array<QString, 6> texts;
    const QString& caption() const { return texts[0]; }
    const QString& kind() const { return texts[4]; }
    const QString& path() const { return texts[5]; }
};

// Files: sizes from 1 to 1023 count as 1024; size / 1024 and " KB" ("0 KB" for an empty file).
QString FileSizeText(qint64 size);
// Drives: nothing when negative; " Byte", " KByte", " MByte" or " GByte" with the quotient in
// 4 significant digits (1536 gives "1.5 KByte").
QString DriveSizeText(qint64 size);
// The system's short date, two blanks, its time without seconds.
QString LocalDateText(const QDateTime& time);
// The file type's name from the MIME database, cut at 80 characters.
QString TypeNameOf(const QFileInfo& info);

// Every entry of folder (hidden ones too, "." and ".." not), folders first, then by name
// compared case-insensitively with the locale.
std::vector<LocalItem> FolderItems(const QString& folder);
std::vector<LocalItem> DriveItems(const std::vector<LocalDrive>& drives);

// A combo item "T3:/home/user/": its level (3), whether it is the current one, its path.
struct DriveComboItem {
    int level = 0;
    bool current = false;
    QString path;
};
DriveComboItem ParseDriveComboItem(const QString& item);

class LocalBrowserState {
public:
    explicit LocalBrowserState(std::vector<LocalDrive> drives, QString folder = kDrivesFolder);

    QString LocalFolder;
    const std::vector<LocalDrive>& drives() const { return drives_; }
    bool AtDrives() const { return LocalFolder == kDrivesFolder; }

    // SetFiles / SetDrives.
    std::vector<LocalItem> Items() const;
    // CBDriveUpdate: "0:Drives", "1:" + root for each drive, then one "k:" item per folder level
    // below the local folder's drive; the current item carries a leading "T".
    QStringList ComboItems() const;
    // CBDriveChange with an item's text: moves there and returns an empty text, or returns
    // "No access to " + path + "." and stays.
    QString ChooseComboItem(const QString& item);
    // LocalViewDblClick: moves into a folder or a drive (empty text), or returns the message:
    // "No Access TO " + caption + " ." for a drive without a readable root, "No access to " +
    // path + "." for a folder that cannot be read (rather than showing it empty), path + " file".
    QString Open(const LocalItem& item);
    // SBUpClick: a drive's root goes to "Drives", any other folder to its parent.
    void Up();

    // PMLocal commands. Failures throw base::EFileError; a name with "/" or "." / ".." is
    // refused with EUnsafeName. The caller refreshes afterwards.
    void Delete(const LocalItem& item) const;
    void Rename(const LocalItem& item, const QString& newName) const;
    void CreateDir(const QString& name) const;

private:
    std::vector<LocalDrive> drives_;
};

// Whether path can be shown: an existing folder that can be listed.
bool IsAccessibleFolder(const QString& path);

} // namespace quellin
