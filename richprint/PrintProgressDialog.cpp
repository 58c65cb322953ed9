#include "richprint/PrintProgressDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

namespace richprint {

TRichPrntProgDlg::TRichPrntProgDlg(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Print Progress"));
    setAccessibleName(QStringLiteral("Print Progress"));
    lblStatus_ = new QLabel;
    lblTitle_ = new QLabel;
    lblPageNumber_ = new QLabel;
    lblStatus_->setAccessibleName(QStringLiteral("Status"));
    lblTitle_->setAccessibleName(QStringLiteral("Title"));
    lblPageNumber_->setAccessibleName(QStringLiteral("Page Number"));
    auto* layout = new QGridLayout(this);
    layout->addWidget(lblStatus_, 0, 0, 1, 2);
    layout->addWidget(lblTitle_, 1, 0, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Page Number:")), 2, 0);
    layout->addWidget(lblPageNumber_, 2, 1);
    setFixedSize(320, 110);
    if (const QScreen* s = screen())
        move(s->geometry().center() - rect().center());
}

void TRichPrntProgDlg::ShowStatus(const QString& status, const QString& title, int pageNumber)
{
    if (isHidden())
        show();
    if (!status.isEmpty())
        lblStatus_->setText(status);
    lblTitle_->setText(title);
    lblPageNumber_->setText(QString::number(pageNumber));
    repaint();
}

QString TRichPrntProgDlg::StatusText() const
{
    return lblStatus_->text();
}

QString TRichPrntProgDlg::TitleText() const
{
    return lblTitle_->text();
}

QString TRichPrntProgDlg::PageNumberText() const
{
    return lblPageNumber_->text();
}

void TRichPrntProgDlg::mousePressEvent(QMouseEvent* event)
{
    dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
}

void TRichPrntProgDlg::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        move(event->globalPosition().toPoint() - dragOffset_);
}

} // namespace richprint
