#include "quellin/RecoveryHook.h"

#include "platform/gui/Application.h"
#include "platform/gui/Dialogs.h"
#include "platform/gui/StatusPanels.h"
#include "quellin/ftp_main.h"
#include "richprint/TRECode.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QSpinBox>

namespace quellin {

namespace {

QString Shown(const std::string& bytes)
{
    return platform::core::DecodeText(bytes).text;
}

std::string Typed(const QLineEdit* field)
{
    return field->text().toStdString();
}

} // namespace

QString DescribeRecoveryOrigin(const RecoveryOrigin& origin)
{
    QString text = QLatin1Char('"') + Shown(origin.name) + QLatin1Char('"');
    if (!origin.host.empty())
        text += QStringLiteral(" (%1@%2:%3, folder %4)")
                    .arg(Shown(origin.user), Shown(origin.host))
                    .arg(origin.port)
                    .arg(Shown(origin.folder));
    return text;
}

RecoveryHook::RecoveryHook(Tmainform& form, RecoverySession& session, std::chrono::milliseconds idle)
    : form_(form), session_(session)
{
    worker_.setMaxThreadCount(1);
    idle_.setSingleShot(true);
    idle_.setInterval(idle);
    connect(&idle_, &QTimer::timeout, this, &RecoveryHook::saveNow);
    connect(form_.Memo, &QPlainTextEdit::textChanged, &idle_, qOverload<>(&QTimer::start));
    connect(form_.Memo, &QPlainTextEdit::modificationChanged, this, [this](bool modified) {
        if (!modified) {
            idle_.stop();
            capture_.cancel();
            queue([this] { session_.remove(); });
        }
    });
}

void RecoveryHook::queue(std::function<void()> job)
{
    worker_.start([this, job = std::move(job)] {
        try {
            job();
        } catch (const base::Exception& e) {
            const QString message = QStringLiteral("No recovery copy: ") + Shown(e.message());
            QMetaObject::invokeMethod(this, [this, message] { report(message); }, Qt::QueuedConnection);
        }
    });
}

void RecoveryHook::report(const QString& message)
{
    form_.Status->setPanelText(0, message);
}

void RecoveryHook::saveNow()
{
    if (!form_.Memo->modified()) {
        queue([this] { session_.remove(); });
        return;
    }
    // Taken on this thread, cheaply: the characters and where a write-back would go.
    RecoveryCopy copy;
    const remote::RemoteFiles& files = form_.remote();
    if (files.State() != remote::ConnectionState::LoggedOut) {
        const std::uint16_t port = files.Site.port != 0 ? files.Site.port : DefaultPort(ProtocolOf(files));
        copy.origin = {files.Site.user, files.Site.host, port, files.CurrentFolder(), {}};
    } else if (!form_.EditHostname->text().isEmpty()) {
        copy.origin = {Typed(form_.EditName), Typed(form_.EditHostname),
                       static_cast<std::uint16_t>(form_.EditPort->value()), Typed(form_.EditPfad), {}};
    }
    copy.origin.name = Typed(form_.EditTempName);
    copy.shape = form_.Files->shape();
    copy.encoding = form_.Memo->encoding();
    capture_.start(form_.Memo->document(), [this, copy = std::move(copy)](QString text) mutable {
        queue([this, copy = std::move(copy), text = std::move(text)]() mutable {
            copy.bytes = ApplyShape(platform::core::EncodeText(text, copy.encoding), copy.shape);
            session_.save(copy);
        });
    });
}

void RecoveryHook::finishWork()
{
    while (capture_.running())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    worker_.waitForDone();
}

void RecoveryHook::endCleanly()
{
    idle_.stop();
    capture_.cancel();
    worker_.waitForDone();
    session_.endCleanly();
}

void RecoveryHook::offerRestore()
{
    std::vector<OrphanCopy> orphans = session_.orphans();
    for (auto orphan = orphans.rbegin(); orphan != orphans.rend(); ++orphan) {
        const QString question = QStringLiteral("Quellin ended without saving the changes to %1. Restore them?")
                                     .arg(DescribeRecoveryOrigin(orphan->copy.origin));
        const bool yes = platform::gui::ShowMessage(platform::gui::Application::title(), question,
                                                    platform::gui::MessageIcon::Question,
                                                    platform::gui::Yes | platform::gui::No)
                         == platform::gui::Yes;
        if (yes)
            restore(orphan->copy);
        session_.removeOrphan(orphan->session);
        if (yes)
            return; // the editor holds one text: later copies wait for the next start
    }
}

void RecoveryHook::restore(const RecoveryCopy& copy)
{
    form_.Memo->setText(copy.bytes);
    form_.Files->adoptShape(copy.shape);
    form_.Edit->AdoptShape(copy.shape);
    form_.EditTempName->setText(Shown(copy.origin.name));
    if (!copy.origin.host.empty()) {
        form_.EditName->setText(Shown(copy.origin.user));
        form_.EditHostname->setText(Shown(copy.origin.host));
        form_.EditPfad->setText(Shown(copy.origin.folder));
        if (copy.origin.port != 0)
            form_.EditPort->setValue(copy.origin.port);
    }
    form_.Memo->setModified(true);
    saveNow(); // the copy is this session's now
    form_.Status->setPanelText(0, QStringLiteral("Restored ") + DescribeRecoveryOrigin(copy.origin));
}

} // namespace quellin
