#pragma once
// The main window's side of recovery copies (RecoveryStore.h): after a few seconds without
// typing, a modified text is copied (with where a write-back of it would go and its file's
// shape); the copy goes as soon as the text is unmodified again (a write-back, a Save, an open,
// New). At start-up the copies a crashed or killed Quellin left are offered, newest first, one
// question each through the dialog seam: Yes puts the text in the editor as it was, modified,
// with its name, site and folder, so that a write-back goes to the same place; No discards it.
//
// Typing only restarts a timer. When it fires, the text is taken out of the editor in slices of
// the event loop (SlicedTextCapture.h; typing meanwhile abandons it and the timer starts
// again); encoding, shaping and writing run on a worker thread of their own, so a copy of a big
// text never holds the window. The worker does one job at a time, in order: a removal queued
// after a save always wins.
#include "quellin/RecoveryStore.h"
#include "quellin/SlicedTextCapture.h"

#include <QObject>
#include <QThreadPool>
#include <QTimer>
#include <chrono>
#include <functional>

namespace quellin {

class Tmainform;

class RecoveryHook : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kIdleTime{3000};

    RecoveryHook(Tmainform& form, RecoverySession& session, std::chrono::milliseconds idle = kIdleTime);

    void offerRestore();
    // Starts a copy of the text now when it is modified (else removes the copy). A copy that
    // cannot be written is reported in the status bar; editing goes on.
    void saveNow();
    // Waits (turning the event loop) until a running capture and every job queued so far are done.
    void finishWork();
    const SlicedTextCapture& capture() const { return capture_; }
    // The program ends as it should: the copy and the session's lock go.
    void endCleanly();

private:
    void restore(const RecoveryCopy& copy);
    // Queues a job for the worker; its failure message goes to the status bar.
    void queue(std::function<void()> job);
    void report(const QString& message);

    Tmainform& form_;
    RecoverySession& session_;
    QTimer idle_;
    SlicedTextCapture capture_;
    QThreadPool worker_;
};

// "index.htm (joe@example.org:21, folder /www)": a copy as the question names it.
QString DescribeRecoveryOrigin(const RecoveryOrigin& origin);

} // namespace quellin
