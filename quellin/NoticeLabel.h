#pragma once
// NoticeLabel: what must stay in sight while the connection trace runs (the settings file open
// to other users, no keyring running). It sits at the right end of the status bar, where the
// trace never writes. A notice added again is not repeated; the label hides while it has none.
// A long notice never widens the window past the screen: the label may shrink to a few
// characters, showing the text cut with "…", and its tooltip holds every notice whole.
#include <QLabel>
#include <QStringList>

namespace quellin {

class NoticeLabel : public QLabel {
    Q_OBJECT
public:
    explicit NoticeLabel(QWidget* parent = nullptr);

    void add(const QString& notice);
    const QStringList& notices() const { return notices_; }

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QStringList notices_;
};

} // namespace quellin
