#include "quellin/NoticeLabel.h"

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

} // namespace quellin
