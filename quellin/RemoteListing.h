#pragma once
// The remote folder view's items: one per listing entry, with the four columns "Name", "Size",
// "Type", "Last changed" and an image index into the view's two image lists. The model knows
// nothing of widgets; any view of platform/gui shows it.
//
// Sorting is stable and keyed: 0 name (upper case, bytewise), 1 size (numeric), 2 type text,
// 3 date (newest first). SortBy(key) sorts by the key and then by type, so folders come first,
// then files, then links, each group in the key's order.
#include "remote/RemoteFiles.h"
#include "tcpip/ListingParser.h"

#include <QAbstractTableModel>
#include <functional>
#include <string>
#include <vector>

namespace quellin {

struct RemoteItem {
    std::string name;       // the server's bytes; what commands send back
    std::int64_t size = 0;
    std::uint8_t type = tcpip::ft_file;
    double date = 0;        // days since 30 December 1899
    int imageIndex = 1;
};

enum RemoteColumn { kNameColumn = 0, kSizeColumn = 1, kTypeColumn = 2, kDateColumn = 3 };
constexpr int kImageFolder = 0;
constexpr int kImageDocument = 1;

// "Directory", "File" or "Link" (empty for anything else).
const char* TypeText(std::uint8_t type);
// Short date and long time of the system locale.
QString DateText(double date);
// The view's item for an entry of a remote folder (the image index is left at the document's).
RemoteItem ToRemoteItem(const remote::RemoteEntry& entry);
// Entries that later commands must not act on: empty names, ".", ".." and names with a "/" or
// a control character (a server that lists them is broken or hostile).
bool IsUsableEntryName(const std::string& name);

// Order of a against b for key: negative, 0 or positive. A negative key reverses the order of
// its positive counterpart; an unknown key finds everything equal.
int CompareItems(const RemoteItem& a, const RemoteItem& b, int key);

class RemoteListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RemoteListModel(QObject* parent = nullptr);

    void clear();
    // Replaces all items at once (one reset however many items there are).
    void setItems(std::vector<RemoteItem> items);
    const std::vector<RemoteItem>& items() const { return items_; }
    const RemoteItem& item(int row) const { return items_.at(static_cast<std::size_t>(row)); }

    // Stable sort by key, then by type; the view resets.
    void SortBy(int key);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void stableSort(int key);
    std::vector<RemoteItem> items_;
    std::vector<QString> dateTexts_; // formatting dates is the costly part: once per item
};

} // namespace quellin
