#pragma once
// CBDrive: the local browser's folder combo. Its items are "level:path" texts (the current one
// with a leading "T"), drawn by DriveComboDelegate in the open list; the closed face shows the
// current item's caption instead of its raw text.
#include <QComboBox>

namespace quellin {

class DriveCombo : public QComboBox {
    Q_OBJECT
public:
    explicit DriveCombo(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace quellin
