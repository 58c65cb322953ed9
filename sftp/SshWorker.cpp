#include "sftp/SshWorker.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace sftp {

SshWorker::SshWorker()
    : thread_([this] { loop(); })
{
}

SshWorker::~SshWorker()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void SshWorker::loop()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || job_ != nullptr; });
        if (job_ == nullptr)
            return;
        const auto* job = job_;
        lock.unlock();
        std::exception_ptr failure;
        try {
            (*job)();
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        job_ = nullptr;
        failure_ = failure;
        jobDone_ = true;
        changed_.notify_all();
        if (wakeCaller_)
            wakeLater();
    }
}

void SshWorker::wakeLater()
{
    // The call looks up the current wait when it runs: one queued from an earlier wait must
    // not reach into that wait's finished stack frame.
    QMetaObject::invokeMethod(
        &caller_,
        [this] {
            std::function<void()> wake;
            {
                std::lock_guard lock(mutex_);
                wake = wakeCaller_;
            }
            if (wake)
                wake();
        },
        Qt::QueuedConnection);
}

void SshWorker::run(const std::function<void()>& job, const Wait& wait)
{
    {
        std::lock_guard lock(mutex_);
        job_ = &job;
        jobDone_ = false;
        failure_ = nullptr;
        progressPending_ = false;
        lastActivity_ = std::chrono::steady_clock::now();
    }
    wake_.notify_all();
    if (wait.turnEventLoop)
        waitInEventLoop(wait);
    else
        waitSleeping(wait);
    deliverProgress(wait);
    std::exception_ptr failure;
    {
        std::lock_guard lock(mutex_);
        failure = failure_;
        failure_ = nullptr;
    }
    if (handlerFailure_)
        failure = std::exchange(handlerFailure_, nullptr);
    if (failure)
        std::rethrow_exception(failure);
}

void SshWorker::noteActivity()
{
    std::lock_guard lock(mutex_);
    lastActivity_ = std::chrono::steady_clock::now();
}

void SshWorker::postProgress(std::int64_t done, std::int64_t total)
{
    // The caller hears of progress at most every kProgressInterval: waking it for every block
    // would cost more than the transfer. The last values reach it when the job ends anyway.
    constexpr auto kProgressInterval = std::chrono::milliseconds(25);
    std::lock_guard lock(mutex_);
    const auto now = std::chrono::steady_clock::now();
    lastActivity_ = now;
    progressPending_ = true;
    progressDone_ = done;
    progressTotal_ = total;
    if (now - lastProgressWake_ < kProgressInterval)
        return;
    lastProgressWake_ = now;
    changed_.notify_all();
    if (wakeCaller_)
        wakeLater();
}

void SshWorker::deliverProgress(const Wait& wait)
{
    std::int64_t done = 0;
    std::int64_t total = 0;
    {
        std::lock_guard lock(mutex_);
        if (!progressPending_)
            return;
        progressPending_ = false;
        done = progressDone_;
        total = progressTotal_;
    }
    if (!wait.progress || handlerFailure_)
        return;
    try {
        wait.progress(done, total);
    } catch (...) {
        handlerFailure_ = std::current_exception();
        if (wait.cancel)
            wait.cancel();
    }
}

std::chrono::steady_clock::time_point SshWorker::dropTime(const Wait& wait) const
{
    return std::min(lastActivity_ + wait.silence, wait.deadline);
}

bool SshWorker::expired(const Wait& wait) const
{
    return std::chrono::steady_clock::now() >= dropTime(wait);
}

void SshWorker::waitSleeping(const Wait& wait)
{
    bool dropped = false;
    std::unique_lock lock(mutex_);
    while (!jobDone_) {
        // Once dropped, only the job's end (or progress) is left to wait for.
        if (dropped)
            changed_.wait(lock);
        else
            changed_.wait_until(lock, dropTime(wait));
        if (progressPending_) {
            lock.unlock();
            deliverProgress(wait);
            lock.lock();
        }
        if (!jobDone_ && !dropped && expired(wait)) {
            dropped = true;
            lock.unlock();
            if (wait.drop)
                wait.drop();
            lock.lock();
        }
    }
}

void SshWorker::waitInEventLoop(const Wait& wait)
{
    QEventLoop loop;
    QTimer watchdog;
    watchdog.setTimerType(Qt::PreciseTimer);
    watchdog.setSingleShot(true);
    bool dropped = false;
    bool finished = false;
    const auto check = [&] {
        deliverProgress(wait);
        std::unique_lock lock(mutex_);
        if (jobDone_) {
            finished = true;
            loop.quit();
            return;
        }
        if (!dropped && expired(wait)) {
            dropped = true;
            lock.unlock();
            if (wait.drop)
                wait.drop();
            lock.lock();
        }
        // Once dropped, the job's end wakes the loop. Until then the timer is re-armed on every
        // pass: a coarse or early timer must never leave the loop waiting for ever.
        if (dropped)
            return;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            dropTime(wait) - std::chrono::steady_clock::now());
        watchdog.start(std::max(left, std::chrono::milliseconds(10)));
    };
    QObject::connect(&watchdog, &QTimer::timeout, &loop, check);
    {
        std::lock_guard lock(mutex_);
        wakeCaller_ = check;
    }
    check();
    if (!finished)
        loop.exec();
    watchdog.stop();
    std::lock_guard lock(mutex_);
    wakeCaller_ = nullptr;
}

} // namespace sftp
