#include "quellin/RemoteListing.h"

#include "base/Text.h"
#include "platform/core/ItemRoles.h"
#include "platform/core/TextCodec.h"
#include "tcpip/FtpReply.h"

#include <QDateTime>
#include <QLocale>
#include <algorithm>
#include <numeric>

namespace quellin {

namespace {

const char* const kColumnCaptions[] = { "Name", "Size", "Type", "Last changed" };

int compareBytes(const std::string& a, const std::string& b)
{
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

template <typename T>
int compareValues(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

const char* TypeText(std::uint8_t type)
{
    switch (type) {
    case tcpip::ft_directory:
        return "Directory";
    case tcpip::ft_file:
        return "File";
    case tcpip::ft_link:
        return "Link";
    default:
        return "";
    }
}

QString DateText(double date)
{
    const tcpip::DateTime value(date);
    const tcpip::CivilDate d = value.date();
    const tcpip::TimeOfDay t = value.time();
    const QLocale locale = QLocale::system();
    return locale.toString(QDate(d.year, d.month, d.day), QLocale::ShortFormat) + QLatin1Char(' ')
        + locale.toString(QTime(t.hour, t.minute, t.second), QLocale::LongFormat);
}

RemoteItem ToRemoteItem(const remote::RemoteEntry& entry)
{
    // Listing dates count days from 30 December 1899, 25569 days before 1970.
    constexpr double kUnixEpochDays = 25569.0;
    constexpr double kSecondsPerDay = 86400.0;
    RemoteItem item;
    item.name = entry.name;
    item.size = entry.size;
    switch (entry.kind) {
    case remote::EntryKind::Folder: item.type = tcpip::ft_directory; break;
    case remote::EntryKind::Link: item.type = tcpip::ft_link; break;
    case remote::EntryKind::File: item.type = tcpip::ft_file; break;
    default: item.type = tcpip::ft_none; break;
    }
    item.date = entry.modified == 0 ? 0.0 : kUnixEpochDays + static_cast<double>(entry.modified) / kSecondsPerDay;
    return item;
}

bool IsUsableEntryName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos
        && !tcpip::HoldsControlByte(name);
}

int CompareItems(const RemoteItem& a, const RemoteItem& b, int key)
{
    switch (key < 0 ? -key : key) {
    case 0:
        return (key < 0 ? -1 : 1) * compareBytes(base::UpperCase(a.name), base::UpperCase(b.name));
    case 1:
        return (key < 0 ? -1 : 1) * compareValues(std::max<std::int64_t>(a.size, 0), std::max<std::int64_t>(b.size, 0));
    case 2:
        return (key < 0 ? -1 : 1) * compareBytes(TypeText(a.type), TypeText(b.type));
    case 3: // newest first
        return (key < 0 ? -1 : 1) * compareValues(b.date, a.date);
    default:
        return 0;
    }
}

RemoteListModel::RemoteListModel(QObject* parent) : QAbstractTableModel(parent) {}

void RemoteListModel::clear()
{
    setItems({});
}

void RemoteListModel::setItems(std::vector<RemoteItem> items)
{
    beginResetModel();
    items_ = std::move(items);
    dateTexts_.clear();
    dateTexts_.reserve(items_.size());
    for (const RemoteItem& item : items_)
        dateTexts_.push_back(DateText(item.date));
    endResetModel();
}

void RemoteListModel::SortBy(int key)
{
    beginResetModel();
    stableSort(key);
    stableSort(kTypeColumn);
    endResetModel();
}

void RemoteListModel::stableSort(int key)
{
    // Upper-casing every name on every comparison dominates a sort of many thousands: the keys
    // are computed once per item.
    std::vector<std::string> upper;
    if (key == 0) {
        upper.reserve(items_.size());
        for (const RemoteItem& item : items_)
            upper.push_back(base::UpperCase(item.name));
    }
    std::vector<std::size_t> order(items_.size());
    std::iota(order.begin(), order.end(), std::size_t{ 0 });
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (key == 0)
            return upper[a] < upper[b];
        return CompareItems(items_[a], items_[b], key) < 0;
    });
    std::vector<RemoteItem> items;
    std::vector<QString> texts;
    items.reserve(items_.size());
    texts.reserve(items_.size());
    for (std::size_t i : order) {
        items.push_back(std::move(items_[i]));
        texts.push_back(std::move(dateTexts_[i]));
    }
    items_ = std::move(items);
    dateTexts_ = std::move(texts);
}

int RemoteListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

int RemoteListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 4;
}

QVariant RemoteListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const RemoteItem& item = items_[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
        switch (index.column()) {
        case kNameColumn:
            return platform::core::DecodeText(item.name).text;
        case kSizeColumn:
            return QString::number(std::max<std::int64_t>(item.size, 0));
        case kTypeColumn:
            return QLatin1String(TypeText(item.type));
        case kDateColumn:
            return dateTexts_[static_cast<std::size_t>(index.row())];
        default:
            return {};
        }
    }
    if (role == Qt::TextAlignmentRole && index.column() == kSizeColumn)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role == platform::core::ImageIndexRole && index.column() == kNameColumn)
        return item.imageIndex;
    return {};
}

QVariant RemoteListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= 4)
        return {};
    if (role == Qt::DisplayRole)
        return QLatin1String(kColumnCaptions[section]);
    if (role == Qt::TextAlignmentRole && section == kSizeColumn)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

} // namespace quellin
