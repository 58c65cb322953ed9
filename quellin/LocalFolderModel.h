#pragma once
// The local browser's items as a table for the platform's list view: the caption and the five
// sub-items as columns 0..5 (the view shows 0..3; 4, "dir"/"file"/"drive", and 5, the full
// path, are hidden and read by the commands). Headers follow the item kind: "Name", "Size",
// "Type", "Date" for a folder, "Name", "Type", "Size", "Free" for the drive list; the size
// columns are right-aligned. Images come from the window (icons need the GUI), by a function.
#include "quellin/LocalFolders.h"

#include <QAbstractTableModel>
#include <functional>

namespace quellin {

class LocalFolderModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LocalFolderModel(QObject* parent = nullptr);

    // Replaces all items at once; drives selects the drive list's headers.
    void setItems(std::vector<LocalItem> items, bool drives);
    const LocalItem& item(int row) const { return items_.at(static_cast<std::size_t>(row)); }
    const std::vector<LocalItem>& items() const { return items_; }
    // The image index of an item (platform::core::ImageIndexRole); none when unset.
    std::function<int(const LocalItem&)> imageIndex;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<LocalItem> items_;
    bool drives_ = false;
};

} // namespace quellin
