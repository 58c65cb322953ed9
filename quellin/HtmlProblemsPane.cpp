#include "quellin/HtmlProblemsPane.h"

#include "platform/gui/RichEdit.h"

#include <QHeaderView>
#include <QKeyEvent>

#include <algorithm>

namespace quellin {

namespace {

constexpr int kLineRole = Qt::UserRole;
constexpr int kColumnRole = Qt::UserRole + 1;

} // namespace

HtmlProblemsPane::HtmlProblemsPane(platform::gui::RichEdit& editor, QWidget* parent) : QTreeWidget(parent), editor_(editor)
{
    setObjectName(QStringLiteral("HtmlProblems"));
    setAccessibleName(QStringLiteral("HTML problems"));
    setToolTip(QStringLiteral("HTML problems: double click or Enter goes there"));
    setColumnCount(3);
    setHeaderLabels({QStringLiteral("Line"), QStringLiteral("Column"), QStringLiteral("Problem")});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    header()->setStretchLastSection(true);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    setMaximumHeight(160);
    // Activation follows the platform's style (single click on some); a double click always goes.
    connect(this, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { jumpTo(item); });
    hide();
}

void HtmlProblemsPane::showProblems(const std::vector<HtmlProblem>& problems)
{
    clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(std::max<std::size_t>(problems.size(), 1)));
    for (const HtmlProblem& problem : problems) {
        auto* row = new QTreeWidgetItem({QString::number(problem.line), QString::number(problem.column),
                                         QString::fromUtf8(problem.message.data(), static_cast<qsizetype>(problem.message.size()))});
        row->setData(0, kLineRole, problem.line);
        row->setData(0, kColumnRole, problem.column);
        rows.push_back(row);
    }
    if (rows.isEmpty())
        rows.push_back(new QTreeWidgetItem({QString(), QString(), QStringLiteral("No problems found")}));
    addTopLevelItems(rows);
    setCurrentItem(rows.front());
    show();
}

void HtmlProblemsPane::jumpTo(QTreeWidgetItem* item)
{
    if (item == nullptr || !item->data(0, kLineRole).isValid())
        return;
    const int position = EditorPosition(editor_, item->data(0, kLineRole).toUInt(), item->data(0, kColumnRole).toUInt());
    editor_.setSelection(position, 0);
    editor_.ensureCursorVisible();
    editor_.setFocus();
}

void HtmlProblemsPane::keyPressEvent(QKeyEvent* event)
{
    // itemActivated comes for Enter on some platforms only; Return and Enter always jump.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        jumpTo(currentItem());
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

int EditorPosition(const platform::gui::RichEdit& editor, std::uint32_t line, std::uint32_t column)
{
    const int lines = editor.lineCount();
    if (lines == 0)
        return 0;
    const int index = std::clamp(static_cast<int>(line) - 1, 0, lines - 1);
    const QString text = editor.lineText(index);
    // Columns count characters; a character outside the first plane takes two positions.
    qsizetype units = 0;
    for (std::uint32_t c = 1; c < column && units < text.size(); ++c)
        units += text.at(units).isHighSurrogate() && units + 1 < text.size() ? 2 : 1;
    return editor.lineStart(index) + static_cast<int>(units);
}

} // namespace quellin
