#pragma once
// What a socket needs of its wait control (the countdown control TWait implements it), so the
// socket itself needs no widgets. The socket writes the timeout into Caption, shows the
// control, starts it or runs it modally, stops it when the awaited condition arrives and hides
// it again.
#include <QObject>
#include <string>

class TWaitControl {
public:
    virtual ~TWaitControl() = default;

    // The object whose destruction clears the socket's WaitCtrl.
    virtual QObject* WaitObject() = 0;

    virtual std::string Caption() const = 0;
    virtual void SetCaption(const std::string& caption) = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    // Modal wait: returns once the countdown has been stopped or has run out.
    virtual void Run() = 0;
    virtual bool Running() const = 0;
};
