#pragma once
// The window-name picker ("Window name"): the titles of the top-level windows, top of the
// stacking order first, for the macro window's Window and Wait inserts. The list is filled
// when the dialog is created and again only on "&Refresh"; it keeps its entries and selection
// between showings.
#include "base/Exception.h"
#include "makro/DesktopFactory.h"

#include <QDialog>
#include <string>

class QListWidget;
class QPushButton;

namespace makro {

// The list's error for an index outside it.
class EListError : public base::Exception {
public:
    using Exception::Exception;
};

class TWindNameDlg : public QDialog {
    Q_OBJECT
public:
    explicit TWindNameDlg(DesktopFactory desktop, QWidget* parent = nullptr);

    void FillWindowList();
    // The selected title; throws EListError with index -1 when nothing is selected.
    std::string selectedTitle() const;

    QListWidget* ListBox1;
    QPushButton* btnNew;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;

private:
    DesktopFactory desktop_;
};

} // namespace makro
