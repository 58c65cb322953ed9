#pragma once
// A list view in the four styles of a desktop file list (large icons, small icons, list,
// report) over one model. Items take their image from two image lists by the model's
// platform::core::ImageIndexRole: the large list in the large-icon style, the small list in the
// others; an index names the same picture in both. The report style shows the model's columns
// with clickable headers; sorting is the owner's business (OnColumnClick).
//
// The styles share one selection, so switching keeps the selected item.
#include <QIcon>
#include <QWidget>
#include <functional>
#include <vector>

class QAbstractItemModel;
class QAbstractItemView;
class QListView;
class QMenu;
class QStackedLayout;
class QTreeView;

namespace platform::gui {

// Icons of one size; indices are stable once added.
class ImageList {
public:
    explicit ImageList(int size) : size_(size) {}
    int add(const QIcon& icon);
    int count() const { return static_cast<int>(icons_.size()); }
    int size() const { return size_; }
    // A null icon for an index out of range.
    QIcon at(int index) const;

private:
    int size_;
    std::vector<QIcon> icons_;
};

enum class ViewStyle { Icon, SmallIcon, List, Report };

class ListView : public QWidget {
    Q_OBJECT
public:
    explicit ListView(QWidget* parent = nullptr);
    ~ListView() override;

    void setModel(QAbstractItemModel* model);
    void setImageLists(const ImageList* small, const ImageList* large);
    // Report-style column widths in pixels, in column order.
    void setColumnWidths(const std::vector<int>& widths);
    int columnWidth(int column) const;

    ViewStyle viewStyle() const { return style_; }
    void setViewStyle(ViewStyle style);

    // -1 when nothing is selected.
    int selectedRow() const;
    void setSelectedRow(int row);

    void setContextMenu(QMenu* menu) { contextMenu_ = menu; }
    QMenu* contextMenu() const { return contextMenu_; }

    // The view that shows the current style (for tests and focus).
    QAbstractItemView* currentView() const;
    QTreeView* reportView() const { return report_; }
    QListView* iconView() const { return icons_; }

    // Events. OnKeyPress gets Enter as 13 and Backspace as 8 (the keys the owner acts on; other
    // keys move the selection as usual). OnDblClick only for a double click on an item.
    std::function<void(int column)> OnColumnClick;
    std::function<void()> OnDblClick;
    std::function<void(char key)> OnKeyPress;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class ImageProxy;
    void showContextMenu(QAbstractItemView* view, const QPoint& pos);

    ViewStyle style_ = ViewStyle::Report;
    QStackedLayout* stack_;
    QTreeView* report_;
    QListView* icons_;
    ImageProxy* proxy_;
    const ImageList* small_ = nullptr;
    const ImageList* large_ = nullptr;
    QMenu* contextMenu_ = nullptr;
};

} // namespace platform::gui
