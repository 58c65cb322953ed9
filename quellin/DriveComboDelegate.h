#pragma once
// CBDrive's owner drawing: items "level:path" (the current one with a leading "T") drawn 20 px
// high as the path's display name with its small icon ("Drives" with the computer icon), indented
// by level x 8 px in the open list and not at all in the closed face; the current item's folder
// icon is the open one. The combo's closed face is drawn by the combo with the current text.
#include <QStyledItemDelegate>

namespace quellin {

class DriveComboDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// The text a combo item shows: "Drives", or the last name of its path ("/" for the root).
QString DriveComboCaption(const QString& item);

} // namespace quellin
