#include "quellin/DriveComboDelegate.h"

#include "quellin/LocalFolders.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QPainter>

namespace quellin {

namespace {

constexpr int kItemHeight = 20;
constexpr int kIndentPerLevel = 8;
constexpr int kIconSize = 16;

QIcon iconOf(const DriveComboItem& item)
{
    static const QFileIconProvider provider;
    if (item.path == kDrivesFolder)
        return provider.icon(QFileIconProvider::Computer);
    if (item.level == 1)
        return provider.icon(QFileIconProvider::Drive);
    return provider.icon(QFileInfo(item.path));
}

} // namespace

QString DriveComboCaption(const QString& item)
{
    const DriveComboItem parts = ParseDriveComboItem(item);
    if (parts.path == kDrivesFolder || parts.path == "/")
        return parts.path;
    const QString name = QFileInfo(parts.path.chopped(parts.path.endsWith('/') ? 1 : 0)).fileName();
    return name.isEmpty() ? parts.path : name;
}

void DriveComboDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QString text = index.data(Qt::DisplayRole).toString();
    const DriveComboItem item = ParseDriveComboItem(text);
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    painter->save();
    painter->fillRect(option.rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
    const int indent = item.level * kIndentPerLevel;
    const QRect iconRect(option.rect.left() + indent + 2, option.rect.top() + 2, kIconSize, kIconSize);
    iconOf(item).paint(painter, iconRect, Qt::AlignCenter, selected ? QIcon::Selected : QIcon::Normal,
                       item.current ? QIcon::On : QIcon::Off);
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect textRect(option.rect.left() + indent + 20, option.rect.top(), option.rect.width() - indent - 20,
                         option.rect.height());
    painter->drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, DriveComboCaption(text));
    painter->restore();
}

QSize DriveComboDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return { QStyledItemDelegate::sizeHint(option, index).width() + 40, kItemHeight };
}

} // namespace quellin
