#include "quellin/ConnectProgress.h"

#include "tcpip/FtpRemoteFiles.h"

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
        auto* ftp = dynamic_cast<tcpip::FtpRemoteFiles*>(&files);
        if (!ftp) {
            files.Connect();
            return;
        }
        tcpip::T_FTP& session = ftp->session();
        session.OnConnectStep = [&box](tcpip::TConnectStep step) {
            if (step == tcpip::TConnectStep::LogIn)
                box.loggingIn();
        };
        // The box is gone after this call: the session must not call it later.
        struct Unhook {
            tcpip::T_FTP& session;
            ~Unhook() { session.OnConnectStep = nullptr; }
        } unhook{ session };
        files.Connect();
    };
    return run(parent, host, connect, [&files] { files.Cancel(); });
}

} // namespace quellin
