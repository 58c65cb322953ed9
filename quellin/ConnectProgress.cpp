#include "quellin/ConnectProgress.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace quellin {

ConnectProgress::ConnectProgress(QWidget* parent, const QString& host, const std::function<void()>& cancelSession)
    : QDialog(parent), attempt_(host, cancelSession), label_(new QLabel(attempt_.text(), this))
{
    setWindowTitle(QStringLiteral("Connect"));
    setWindowModality(Qt::ApplicationModal);
    setAccessibleName(QStringLiteral("Connect progress"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::rejected, this, &ConnectProgress::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_);
    layout->addWidget(buttons);
    label_->setMinimumWidth(label_->fontMetrics().averageCharWidth() * 40);
    attempt_.OnChanged = [this] { label_->setText(attempt_.text()); };
}

void ConnectProgress::reject()
{
    // The box stays until the session has ended its connect; run() closes it.
    attempt_.cancel();
}

bool ConnectProgress::run(QWidget* parent, const QString& host, const std::function<void(ConnectProgress&)>& connect,
                          const std::function<void()>& cancelSession)
{
    ConnectProgress box(parent, host, cancelSession);
    box.show();
    return box.attempt_.run([&] { connect(box); });
}

bool ConnectProgress::run(QWidget* parent, const QString& host, remote::RemoteFiles& files)
{
    const auto connect = [&files](ConnectProgress& box) {
        files.OnLoggingIn = [&box] { box.loggingIn(); };
        // The box is gone after this call: the session must not call it later.
        struct Unhook {
            remote::RemoteFiles& files;
            ~Unhook() { files.OnLoggingIn = nullptr; }
        } unhook{ files };
        files.Connect();
    };
    return run(parent, host, connect, [&files] { files.Cancel(); });
}

} // namespace quellin
