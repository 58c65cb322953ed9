#pragma once
// ConnectAttempt: what a connect progress box does, without the box. It runs the connect, says
// where it has got to ("Connecting to HOST…", then "Logging in…") and takes the user's cancel.
// Once cancelled, the failure the session raises on its way out is no error for the user: run()
// returns false instead. A cancel reaches the session once, however often it is asked for.
#include "base/Event.h"

#include <QString>
#include <functional>

namespace quellin {

class ConnectAttempt {
public:
    ConnectAttempt(QString host, std::function<void()> cancelSession);

    QString text() const;
    // The connection is open and the log-in has begun.
    void loggingIn();
    void cancel();
    bool cancelled() const { return cancelled_; }
    // True when connect returned; false when it failed after a cancel; any other failure is
    // raised as it came.
    bool run(const std::function<void()>& connect);

    // The text has changed.
    base::Event<> OnChanged;

private:
    QString host_;
    std::function<void()> cancelSession_;
    bool loggingIn_ = false;
    bool cancelled_ = false;
};

} // namespace quellin
