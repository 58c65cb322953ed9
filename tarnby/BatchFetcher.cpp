#include "tarnby/BatchFetcher.h"

#include "base/Exception.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cstdio>

namespace tarnby {

namespace {

void WriteLog(const std::vector<std::string>& lines)
{
    for (const auto& line : lines)
        std::fprintf(stderr, "%s\n", line.c_str());
}

} // namespace

BatchFetcher::BatchFetcher(const BatchOptions& options) : options_(options), fetch_(client_, DocumentKeeping::Memory)
{
    client_.SetProxy(options.proxy);
    client_.SetCaCertFile(options.caCertFile);
    fetch_.SetMaxRedirects(options.maxRedirects);
    fetch_.OnLog = [this](const std::string& line) { log_.push_back(line); };
    fetch_.OnRequestDone = [this] { requestDone_ = true; };
}

void BatchFetcher::AbortOnUncaught(std::string message)
{
    uncaughtText_ = std::move(message);
    AbortFor(Limit::Uncaught);
}

LoadedPage BatchFetcher::operator()(const std::string& url)
{
    log_.clear();
    limit_ = Limit::None;
    requestDone_ = false;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [this] { AbortFor(Limit::Time); });
    if (options_.timeoutSeconds > 0)
        timer.start(std::chrono::seconds(options_.timeoutSeconds));
    const bool fetched = fetch_.Fetch(url);
    timer.stop();
    const auto failureLines = log_.size() >= 3 ? log_.end() - 3 : log_.begin();
    const std::vector<std::string> failure(failureLines, log_.end());
    AwaitRequestDone();
    if (!fetched) {
        WriteLog(options_.verbose ? log_ : failure);
        throw base::Exception(FailureMessage(url));
    }
    if (options_.verbose)
        WriteLog(log_);
    return {fetch_.TakeDocument(), fetch_.PageUrl(), fetch_.Client().ContentType()};
}

void BatchFetcher::AbortFor(Limit limit)
{
    if (limit_ == Limit::None)
        limit_ = limit;
    client_.Abort();
}

void BatchFetcher::AwaitRequestDone()
{
    QTimer guard;
    guard.setSingleShot(true);
    guard.setTimerType(Qt::PreciseTimer);
    guard.start(std::chrono::seconds(5));
    while (!requestDone_ && guard.isActive())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

std::string BatchFetcher::FailureMessage(const std::string& url) const
{
    if (limit_ == Limit::None && fetch_.RedirectLimitReached())
        return "gave up on " + url + ": more than " + std::to_string(options_.maxRedirects)
            + " redirects (--max-redirects)";
    switch (limit_) {
    case Limit::Time:
        return "gave up on " + url + ": not fetched within " + std::to_string(options_.timeoutSeconds)
            + " seconds (--timeout)";
    case Limit::Uncaught:
        return "gave up on " + url + ": " + uncaughtText_;
    case Limit::None:
        break;
    }
    return "cannot fetch " + url + ": " + client_.ReasonPhrase();
}

} // namespace tarnby
