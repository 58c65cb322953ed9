#include "platform/keyring/SecretServiceStore.h"

#include <qt6keychain/keychain.h>

#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace platform::keyring {
namespace {

// Site keys are ours, but they hold user names and hosts: keep them short and printable.
constexpr std::size_t kMaxSiteLength = 1024;

bool printable(const std::string& text)
{
    return std::none_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

// No Secret Service on the bus, or no bus at all: the keyring is missing, not failing.
bool meansNoKeyring(QKeychain::Error error, const QString& text)
{
    if (error == QKeychain::NoBackendAvailable || error == QKeychain::NotImplemented)
        return true;
    if (error != QKeychain::OtherError)
        return false;
    static const char* const kSigns[] = { "org.freedesktop.secrets", "D-Bus", "DBus", "dbus", "ServiceUnknown",
                                          "No such interface", "not provided by any", "Could not connect" };
    return std::any_of(std::begin(kSigns), std::end(kSigns),
                       [&](const char* sign) { return text.contains(QLatin1String(sign)); });
}

} // namespace

SecretServiceStore::SecretServiceStore(QString service, std::chrono::milliseconds waitLimit)
    : service_(std::move(service))
    , waitLimit_(waitLimit)
{
}

KeyringResult SecretServiceStore::checkSite(const std::string& site) const
{
    if (site.empty() || site.size() > kMaxSiteLength || !printable(site))
        return { KeyringStatus::Failed, {}, "not a usable site name" };
    if (missing_)
        return { KeyringStatus::NoKeyring, {}, missingReason_ };
    return { KeyringStatus::Ok, {}, {} };
}

template <typename Job, typename Prepare>
KeyringResult SecretServiceStore::run(const std::string& site, Prepare&& prepare)
{
    if (auto check = checkSite(site); check.status != KeyringStatus::Ok)
        return check;
    Job job(service_);
    job.setAutoDelete(false);
    job.setInsecureFallback(false); // never a clear-text file behind the user's back
    job.setKey(QString::fromUtf8(site.data(), static_cast<qsizetype>(site.size())));
    prepare(job);

    QEventLoop loop;
    bool finished = false;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QTimer limit;
    limit.setSingleShot(true);
    limit.setTimerType(Qt::PreciseTimer);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    limit.start(waitLimit_);
    job.start();
    if (!finished)
        loop.exec();
    if (!finished)
        return { KeyringStatus::Failed, {}, "the keyring did not answer in time" };

    const QKeychain::Error error = job.error();
    const QString text = job.errorString();
    KeyringResult result;
    if (error == QKeychain::NoError) {
        result.status = KeyringStatus::Ok;
        if constexpr (std::is_same_v<Job, QKeychain::ReadPasswordJob>)
            result.password = job.textData().toStdString();
    } else if (error == QKeychain::EntryNotFound) {
        result = { KeyringStatus::NotFound, {}, text.toStdString() };
    } else if (meansNoKeyring(error, text)) {
        missing_ = true;
        missingReason_ = "No keyring is running (" + text.toStdString() + "); passwords are not remembered.";
        base::raise(OnNoKeyring, missingReason_);
        result = { KeyringStatus::NoKeyring, {}, missingReason_ };
    } else {
        result = { KeyringStatus::Failed, {}, text.toStdString() };
    }
    return result;
}

KeyringResult SecretServiceStore::Read(const std::string& site)
{
    return run<QKeychain::ReadPasswordJob>(site, [](QKeychain::ReadPasswordJob&) {});
}

KeyringResult SecretServiceStore::Write(const std::string& site, const std::string& password)
{
    return run<QKeychain::WritePasswordJob>(site, [&](QKeychain::WritePasswordJob& job) {
        job.setTextData(QString::fromUtf8(password.data(), static_cast<qsizetype>(password.size())));
    });
}

KeyringResult SecretServiceStore::Delete(const std::string& site)
{
    return run<QKeychain::DeletePasswordJob>(site, [](QKeychain::DeletePasswordJob&) {});
}

} // namespace platform::keyring
