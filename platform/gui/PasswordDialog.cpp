#include "platform/gui/PasswordDialog.h"

#include "platform/gui/Accessibility.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace platform::gui {

PasswordDialog::PasswordDialog(const PasswordRequest& request, QWidget* parent)
    : QDialog(parent)
    , offerRemember_(request.offerRemember)
{
    setWindowTitle(request.caption);
    auto* column = new QVBoxLayout(this);
    auto* text = new QLabel(request.text, this);
    text->setTextFormat(Qt::PlainText); // user and host names are the user's bytes, not markup
    text->setWordWrap(true);
    column->addWidget(text);

    password_ = new QLineEdit(this);
    password_->setObjectName(QStringLiteral("Password"));
    password_->setEchoMode(QLineEdit::Password);
    password_->setAccessibleName(QStringLiteral("Password"));
    password_->setAccessibleDescription(request.text);
    text->setBuddy(password_);
    column->addWidget(password_);

    remember_ = new QCheckBox(QStringLiteral("&Remember in the keyring"), this);
    remember_->setObjectName(QStringLiteral("Remember"));
    remember_->setChecked(request.offerRemember && request.remember);
    remember_->setVisible(request.offerRemember);
    column->addWidget(remember_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    column->addWidget(buttons);
    NameForAccessibility(this);
    setMinimumWidth(360);
}

PasswordResult PasswordDialog::answer() const
{
    return { password_->text(), offerRemember_ && remember_->isChecked() };
}

} // namespace platform::gui
