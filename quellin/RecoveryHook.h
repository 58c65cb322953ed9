#pragma once
// The main window's side of recovery copies (RecoveryStore.h): after a few seconds without
// typing, a modified text is copied (with where a write-back of it would go and its file's
// shape); the copy goes as soon as the text is unmodified again (a write-back, a Save, an open,
// New). At start-up the copies a crashed or killed Quellin left are offered, newest first, one
// question each through the dialog seam: Yes puts the text in the editor as it was, modified,
// with its name, site and folder, so that a write-back goes to the same place; No discards it.
//
// Typing only restarts a timer; the text is read once, when the timer fires.
#include "quellin/RecoveryStore.h"

#include <QObject>
#include <QTimer>
#include <chrono>

namespace quellin {

class Tmainform;

class RecoveryHook : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kIdleTime{3000};

    RecoveryHook(Tmainform& form, RecoverySession& session, std::chrono::milliseconds idle = kIdleTime);

    void offerRestore();
    // Copies the text now when it is modified (else removes the copy). A copy that cannot be
    // written is reported in the status bar; editing goes on.
    void saveNow();

private:
    RecoveryCopy capture() const;
    void restore(const RecoveryCopy& copy);

    Tmainform& form_;
    RecoverySession& session_;
    QTimer idle_;
};

// "index.htm (joe@example.org:21, folder /www)": a copy as the question names it.
QString DescribeRecoveryOrigin(const RecoveryOrigin& origin);

} // namespace quellin
