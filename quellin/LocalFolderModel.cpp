#include "quellin/LocalFolderModel.h"

#include "platform/core/ItemRoles.h"

namespace quellin {

namespace {

constexpr int kColumns = 6;

} // namespace

LocalFolderModel::LocalFolderModel(QObject* parent) : QAbstractTableModel(parent) {}

void LocalFolderModel::setItems(std::vector<LocalItem> items, bool drives)
{
    beginResetModel();
    items_ = std::move(items);
    drives_ = drives;
    endResetModel();
    emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
}

int LocalFolderModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

int LocalFolderModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumns;
}

QVariant LocalFolderModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const LocalItem& it = item(index.row());
    const bool sizeColumn = index.column() == (drives_ ? 2 : 1) || (drives_ && index.column() == 3);
    switch (role) {
    case Qt::DisplayRole: return it.texts[static_cast<std::size_t>(index.column())];
    case Qt::TextAlignmentRole:
        return sizeColumn ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    case platform::core::ImageIndexRole:
        return index.column() == 0 && imageIndex ? QVariant(imageIndex(it)) : QVariant();
    default: return {};
    }
}

QVariant LocalFolderModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kColumns)
        return {};
    static const char* const files[kColumns] = { "Name", "Size", "Type", "Date", "Kind", "Path" };
    static const char* const drives[kColumns] = { "Name", "Type", "Size", "Free", "Kind", "Path" };
    if (role == Qt::DisplayRole)
        return QString::fromLatin1((drives_ ? drives : files)[section]);
    if (role == Qt::TextAlignmentRole && (section == (drives_ ? 2 : 1)))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

} // namespace quellin
