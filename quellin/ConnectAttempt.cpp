#include "quellin/ConnectAttempt.h"

namespace quellin {

ConnectAttempt::ConnectAttempt(QString host, std::function<void()> cancelSession)
    : host_(std::move(host)), cancelSession_(std::move(cancelSession))
{
}

QString ConnectAttempt::text() const
{
    // A host name from a settings file may hold anything: control characters would break the
    // box's line, and a huge one its size.
    constexpr qsizetype kShownLength = 80;
    QString shown;
    for (const QChar c : host_.left(kShownLength))
        shown += c.isPrint() ? c : QChar(u'?');
    if (host_.size() > kShownLength)
        shown += u'…';
    return loggingIn_ ? QStringLiteral("Logging in to %1…").arg(shown) : QStringLiteral("Connecting to %1…").arg(shown);
}

void ConnectAttempt::loggingIn()
{
    loggingIn_ = true;
    base::raise(OnChanged);
}

void ConnectAttempt::cancel()
{
    if (std::exchange(cancelled_, true))
        return;
    if (cancelSession_)
        cancelSession_();
}

bool ConnectAttempt::run(const std::function<void()>& connect)
{
    try {
        connect();
        return true;
    } catch (...) {
        if (cancelled_)
            return false;
        throw;
    }
}

} // namespace quellin
