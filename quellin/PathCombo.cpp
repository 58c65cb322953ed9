#include "quellin/PathCombo.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace quellin {

namespace {

// Items of the open list: indented by level, a 16x16 icon 3 px in, the text 23 px in.
class PathItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QRect r = option.rect;
        if (option.state & QStyle::State_Selected)
            painter->fillRect(r, option.palette.highlight());
        const int indent = PathCombo::kIndentPerLevel * index.row();
        const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
        icon.paint(painter, QRect(r.left() + indent + 3, r.top(), 16, 16));
        painter->setPen(option.palette.color(option.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                                  : QPalette::Text));
        painter->drawText(QRect(r.left() + indent + 23, r.top(), r.width() - indent - 23, r.height()),
                          Qt::AlignLeft | Qt::AlignVCenter, index.data(Qt::DisplayRole).toString());
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const int indent = PathCombo::kIndentPerLevel * index.row();
        const int text = option.fontMetrics.horizontalAdvance(index.data(Qt::DisplayRole).toString());
        return { indent + 23 + text + 4, PathCombo::kItemHeight };
    }
};

} // namespace

PathCombo::PathCombo(QWidget* parent) : QComboBox(parent)
{
    setItemDelegate(new PathItemDelegate(this));
    setIconSize(QSize(16, 16));
}

void PathCombo::setIcons(const QIcon& host, const QIcon& folder)
{
    host_ = host;
    folder_ = folder;
    for (int i = 0; i < count(); ++i)
        setItemIcon(i, i == 0 ? host_ : folder_);
}

void PathCombo::push(const QString& name)
{
    addItem(count() == 0 ? host_ : folder_, name);
}

void PathCombo::pop()
{
    if (count() == 0)
        return;
    removeItem(lastIndex());
    setCurrentIndex(lastIndex());
}

} // namespace quellin
