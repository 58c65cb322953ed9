#pragma once
// SshWorker: the one helper thread of an SFTP session. libssh's SFTP layer only works on
// blocking sessions, so its calls run here while the caller waits the way the session's Async
// flag asks: turning the event loop (a nested QEventLoop woken by queued calls from the
// worker) or sleeping on a condition variable. Either way the caller never spins.
//
// Bounds: one thread per session, one job at a time. Every libssh call is bounded by the
// session's own timeout; on top, the caller's wait watches the job's activity (noteActivity)
// and, when nothing has moved for the silence timeout, calls the job's drop function once
// (which shuts the socket down, so the blocked call fails at once) and goes on waiting for the
// job to end; a wait with a deadline (a connect's) drops it the same way once that has passed.
// The job's exception is raised in the caller.
//
// A progress handler that throws cancels the job (wait.cancel); its exception leaves run() once
// the job has ended, never through the event loop's dispatch.
//
// Progress: the worker reports with postProgress; the caller's handler runs on the caller's
// thread, inside the wait, with the newest values (intermediate ones are skipped: the caller is
// woken at most every 25 ms for them, and once more at the end).
#include <QObject>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace sftp {

class SshWorker {
public:
    struct Wait {
        bool turnEventLoop = false;
        std::chrono::milliseconds silence{60000};
        std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
        std::function<void()> drop;                              // caller's thread
        std::function<void(std::int64_t, std::int64_t)> progress; // caller's thread
        std::function<void()> cancel;                            // caller's thread
    };

    SshWorker();
    // Waits for a running job, then ends the thread.
    ~SshWorker();
    SshWorker(const SshWorker&) = delete;
    SshWorker& operator=(const SshWorker&) = delete;

    // Runs job on the worker thread and waits for its end; raises what the job raised.
    void run(const std::function<void()>& job, const Wait& wait);

    // Worker side.
    void noteActivity();
    void postProgress(std::int64_t done, std::int64_t total);

private:
    void loop();
    void wakeLater();
    void deliverProgress(const Wait& wait);
    void waitSleeping(const Wait& wait);
    void waitInEventLoop(const Wait& wait);
    // Time to drop the job: silent for too long, or past the deadline (mutex_ held).
    bool expired(const Wait& wait) const;
    std::chrono::steady_clock::time_point dropTime(const Wait& wait) const;

    std::mutex mutex_;
    std::condition_variable wake_;     // worker: a job came, or stop
    std::condition_variable changed_;  // caller: done, progress or activity
    const std::function<void()>* job_ = nullptr;
    bool jobDone_ = false;
    bool stop_ = false;
    std::exception_ptr failure_;
    std::exception_ptr handlerFailure_; // caller's thread only
    std::chrono::steady_clock::time_point lastActivity_;
    std::chrono::steady_clock::time_point lastProgressWake_;
    bool progressPending_ = false;
    std::int64_t progressDone_ = 0;
    std::int64_t progressTotal_ = -1;
    QObject caller_;                   // lives on the caller's thread: target of queued wake-ups
    std::function<void()> wakeCaller_; // set during an event-loop wait
    std::thread thread_;
};

} // namespace sftp
