#pragma once
// The about box "Infos": the program's icon and name, its version and two lines about it.
#include <QDialog>

class QLabel;

namespace quellin {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* Version;   // "Version " and the program's four-part file version
    QLabel* Comments;
    QLabel* Copyright;

protected:
    void showEvent(QShowEvent* event) override;
};

} // namespace quellin
