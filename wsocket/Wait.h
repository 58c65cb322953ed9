#pragma once
// TCustomWait / TWait: a small countdown control that turns a timeout into a wait the user can
// watch. The count is the Caption text itself: every tick of the timer (Interval ms, one second
// by default) takes one off it. A socket uses it as its WaitCtrl when not MultiThreaded.
// Invariants: Caption shows the initial count whenever the control is idle after a Stop or a
// timeout; Running is true exactly while the timer is enabled.
#include "wsocket/WaitControl.h"

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

class TCustomWait;

using TWaitEvent = std::function<void(TCustomWait* Sender, int Count)>;
using TWaitNotify = std::function<void(TCustomWait* Sender)>;

class TCustomWait : public QWidget, public TWaitControl {
    Q_OBJECT
public:
    explicit TCustomWait(QWidget* owner = nullptr);
    ~TCustomWait() override;

    std::string Caption() const override { return caption_; }
    void SetCaption(const std::string& caption) override;
    // 0 while a modal wait runs, 1 after Stop, 2 after a timeout.
    int ModalResult() const { return modalResult_; }
    std::uint16_t Interval() const { return static_cast<std::uint16_t>(timer_.interval()); }
    void SetInterval(std::uint16_t milliseconds) { timer_.setInterval(milliseconds); }
    bool Running() const override { return timer_.isActive(); }
    void SetVisible(bool visible) override { setVisible(visible); }
    QObject* WaitObject() override { return this; }

    TWaitEvent OnWait;      // each tick, with the count after the decrement
    TWaitNotify OnWaiting;  // each turn of the modal loop
    TWaitNotify OnWaitStart;
    TWaitNotify OnWaitStop;
    TWaitNotify OnTimeout;

    // Counts down from Caption (0 or no number: 15).
    void Start() override;
    // Ends the countdown (also an idle one): ModalResult 1, Caption back to the initial count.
    void Stop() override;
    // Modal wait: Start, then turn the event loop until the countdown is stopped or runs out.
    // Meanwhile key presses and left/right mouse clicks anywhere in the application beep and
    // are dropped; mouse moves, paints and timers go through.
    void Run() override;
    void ResetCaption();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Tick();

    std::string caption_ = "60";
    QTimer timer_;
    int modalResult_ = 0;
    int initialCount_ = 60;
};

class TWait : public TCustomWait {
    Q_OBJECT
public:
    explicit TWait(QWidget* owner = nullptr) : TCustomWait(owner) {}
};
