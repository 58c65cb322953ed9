#include "quellin/NoticeLabel.h"

#include <QPainter>
#include <QStyle>

#include <algorithm>

namespace quellin {

NoticeLabel::NoticeLabel(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("Notices"));
    setAccessibleName(QStringLiteral("Notices"));
    setTextFormat(Qt::PlainText);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    hide();
}

void NoticeLabel::add(const QString& notice)
{
    if (notice.isEmpty() || notices_.contains(notice))
        return;
    notices_.append(notice);
    setText(notices_.join(QStringLiteral("  |  ")));
    setToolTip(notices_.join(QLatin1Char('\n')));
    show();
}

QSize NoticeLabel::minimumSizeHint() const
{
    QSize size = QLabel::minimumSizeHint();
    size.setWidth(std::min(size.width(), fontMetrics().averageCharWidth() * 16 + 2 * frameWidth()));
    return size;
}

void NoticeLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    const QRect room = contentsRect().adjusted(margin(), 0, -margin(), 0);
    style()->drawItemText(&painter, room, static_cast<int>(alignment()), palette(), isEnabled(),
                          fontMetrics().elidedText(text(), Qt::ElideRight, room.width()), foregroundRole());
}

} // namespace quellin
