#include "platform/gui/ListView.h"

#include "platform/core/ItemRoles.h"

#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QStackedLayout>
#include <QTreeView>

namespace platform::gui {

int ImageList::add(const QIcon& icon)
{
    icons_.push_back(icon);
    return count() - 1;
}

QIcon ImageList::at(int index) const
{
    return index >= 0 && index < count() ? icons_[static_cast<std::size_t>(index)] : QIcon();
}

// Answers the decoration of the first column from the image list in force.
class ListView::ImageProxy : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    void setImages(const ImageList* images)
    {
        images_ = images;
        if (rowCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, 0), { Qt::DecorationRole });
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::DecorationRole && index.column() == 0 && images_) {
            const QVariant image = QIdentityProxyModel::data(index, core::ImageIndexRole);
            return image.isValid() ? QVariant(images_->at(image.toInt())) : QVariant();
        }
        return QIdentityProxyModel::data(index, role);
    }

private:
    const ImageList* images_ = nullptr;
};

ListView::ListView(QWidget* parent)
    : QWidget(parent), stack_(new QStackedLayout(this)), report_(new QTreeView(this)),
      icons_(new QListView(this)), proxy_(new ImageProxy(this))
{
    stack_->setContentsMargins(0, 0, 0, 0);
    report_->setRootIsDecorated(false);
    report_->setItemsExpandable(false);
    report_->setUniformRowHeights(true);
    report_->setAllColumnsShowFocus(true);
    report_->setIconSize(QSize(16, 16));
    report_->header()->setSectionsClickable(true);
    report_->header()->setSectionsMovable(false);
    report_->header()->setStretchLastSection(false);
    icons_->setUniformItemSizes(true);
    icons_->setResizeMode(QListView::Adjust);
    icons_->setMovement(QListView::Static);
    icons_->setLayoutMode(QListView::Batched);
    for (QAbstractItemView* view : { static_cast<QAbstractItemView*>(report_), static_cast<QAbstractItemView*>(icons_) }) {
        view->setSelectionMode(QAbstractItemView::SingleSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        view->installEventFilter(this);
        connect(view, &QWidget::customContextMenuRequested, this,
                [this, view](const QPoint& pos) { showContextMenu(view, pos); });
        connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
            if (index.isValid() && OnDblClick)
                OnDblClick();
        });
        stack_->addWidget(view);
    }
    connect(report_->header(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (OnColumnClick)
            OnColumnClick(section);
    });
    setFocusProxy(report_);
    stack_->setCurrentWidget(report_);
}

ListView::~ListView() = default;

void ListView::setModel(QAbstractItemModel* model)
{
    proxy_->setSourceModel(model);
    report_->setModel(proxy_);
    icons_->setModel(proxy_);
    icons_->setSelectionModel(report_->selectionModel());
}

void ListView::setImageLists(const ImageList* small, const ImageList* large)
{
    small_ = small;
    large_ = large;
    proxy_->setImages(style_ == ViewStyle::Icon ? large_ : small_);
}

void ListView::setColumnWidths(const std::vector<int>& widths)
{
    for (std::size_t i = 0; i < widths.size(); ++i)
        report_->setColumnWidth(static_cast<int>(i), widths[i]);
}

int ListView::columnWidth(int column) const
{
    return report_->columnWidth(column);
}

void ListView::setViewStyle(ViewStyle style)
{
    const bool hadFocus = currentView()->hasFocus();
    style_ = style;
    switch (style) {
    case ViewStyle::Icon:
        icons_->setViewMode(QListView::IconMode);
        icons_->setFlow(QListView::LeftToRight);
        icons_->setIconSize(QSize(32, 32));
        icons_->setGridSize(QSize(76, 64));
        break;
    case ViewStyle::SmallIcon:
        icons_->setViewMode(QListView::ListMode);
        icons_->setFlow(QListView::LeftToRight);
        icons_->setIconSize(QSize(16, 16));
        icons_->setGridSize(QSize(120, 20));
        break;
    case ViewStyle::List:
        icons_->setViewMode(QListView::ListMode);
        icons_->setFlow(QListView::TopToBottom);
        icons_->setIconSize(QSize(16, 16));
        icons_->setGridSize(QSize(120, 20));
        break;
    case ViewStyle::Report:
        break;
    }
    if (style != ViewStyle::Report) {
        icons_->setWrapping(true);
        icons_->setMovement(QListView::Static);
    }
    proxy_->setImages(style == ViewStyle::Icon ? large_ : small_);
    QAbstractItemView* view = currentView();
    stack_->setCurrentWidget(view);
    setFocusProxy(view);
    if (hadFocus)
        view->setFocus();
}

QAbstractItemView* ListView::currentView() const
{
    return style_ == ViewStyle::Report ? static_cast<QAbstractItemView*>(report_) : icons_;
}

int ListView::selectedRow() const
{
    const QModelIndexList rows = report_->selectionModel() ? report_->selectionModel()->selectedRows() : QModelIndexList();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ListView::setSelectedRow(int row)
{
    const QModelIndex index = proxy_->index(row, 0);
    report_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

bool ListView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && (watched == report_ || watched == icons_)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const char code = key == Qt::Key_Return || key == Qt::Key_Enter ? 13 : (key == Qt::Key_Backspace ? 8 : 0);
        if (code != 0 && OnKeyPress) {
            OnKeyPress(code);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ListView::showContextMenu(QAbstractItemView* view, const QPoint& pos)
{
    if (contextMenu_)
        contextMenu_->popup(view->viewport()->mapToGlobal(pos));
}

} // namespace platform::gui
