#pragma once
// TRichPrntProgDlg: the small "Print Progress" window shown while a job runs: status line,
// title line and page number. Always on top, a tool window centred on the screen; dragging any
// part of it moves it. It is repainted at once on each update, since no events are processed
// while a job runs.
#include <QDialog>

class QLabel;

namespace richprint {

class TRichPrntProgDlg : public QDialog {
    Q_OBJECT
public:
    explicit TRichPrntProgDlg(QWidget* parent = nullptr);

    // Shows the window if hidden; an empty status keeps the previous one.
    void ShowStatus(const QString& status, const QString& title, int pageNumber);

    QString StatusText() const;
    QString TitleText() const;
    QString PageNumberText() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    QLabel* lblStatus_;
    QLabel* lblTitle_;
    QLabel* lblPageNumber_;
    QPoint dragOffset_;
};

} // namespace richprint
