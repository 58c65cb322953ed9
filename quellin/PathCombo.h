#pragma once
// The remote view's folder path combo: a stack of names, the host first and each folder entered
// below it. Its list draws every item indented by 10 pixels per level, with the host icon for
// item 0 and the folder icon for the others; the closed combo shows the chosen item unindented.
#include <QComboBox>
#include <QIcon>

namespace quellin {

class PathCombo : public QComboBox {
    Q_OBJECT
public:
    explicit PathCombo(QWidget* parent = nullptr);

    void setIcons(const QIcon& host, const QIcon& folder);
    // Adds a name at the end of the stack with the icon of its level.
    void push(const QString& name);
    // Removes the last name; the new last one is selected.
    void pop();
    int lastIndex() const { return count() - 1; }

    static constexpr int kItemHeight = 16;
    static constexpr int kIndentPerLevel = 10;

private:
    QIcon host_;
    QIcon folder_;
};

} // namespace quellin
