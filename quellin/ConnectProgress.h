#pragma once
// ConnectProgress: the small box shown while a connect is under way. It is application modal,
// so while the connect turns the event loop only the box takes input; Cancel, Escape and the
// box's close button stop the connect. Logic in ConnectAttempt.
#include "quellin/ConnectAttempt.h"
#include "remote/RemoteFiles.h"

#include <QDialog>
#include <functional>

class QLabel;

namespace quellin {

class ConnectProgress : public QDialog {
public:
    // Shows the box over parent and runs connect(box); cancelSession is called on a cancel.
    // True when connected, false when cancelled; other failures are raised once the box is gone.
    static bool run(QWidget* parent, const QString& host, const std::function<void(ConnectProgress&)>& connect,
                    const std::function<void()>& cancelSession);

    // run() for a remote session: its Connect, its Cancel, its log-in step shown.
    static bool run(QWidget* parent, const QString& host, remote::RemoteFiles& files);

    void loggingIn() { attempt_.loggingIn(); }

protected:
    void reject() override;

private:
    ConnectProgress(QWidget* parent, const QString& host, const std::function<void()>& cancelSession);

    ConnectAttempt attempt_;
    QLabel* label_;
};

} // namespace quellin
