#pragma once
// NoticeLabel: what must stay in sight while the connection trace runs (the settings file open
// to other users, no keyring running). It sits at the right end of the status bar, where the
// trace never writes. A notice added again is not repeated; the label hides while it has none.
#include <QLabel>
#include <QStringList>

namespace quellin {

class NoticeLabel : public QLabel {
    Q_OBJECT
public:
    explicit NoticeLabel(QWidget* parent = nullptr);

    void add(const QString& notice);
    const QStringList& notices() const { return notices_; }

private:
    QStringList notices_;
};

} // namespace quellin
