#pragma once
// The real password question behind Dialogs::password: the request's text, a masked password
// field, the box "Remember in the keyring" (only when offered), OK and Cancel. Every control
// carries an accessible name.
#include "platform/gui/Dialogs.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;

namespace platform::gui {

class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    PasswordDialog(const PasswordRequest& request, QWidget* parent);

    // What the controls hold now.
    PasswordResult answer() const;

private:
    bool offerRemember_;
    QLineEdit* password_;
    QCheckBox* remember_;
};

} // namespace platform::gui
