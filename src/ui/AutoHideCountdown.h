#pragma once
// The progress window's auto-hide countdown: seconds left, one timer tick per
// second. It tells its window when to start the timer and when to hide and
// stop it; the window owns the timer and calls this on its own thread only.
namespace ui {

class AutoHideCountdown {
public:
    static constexpr int kSeconds = 3;
    static constexpr unsigned kTimerId = 123;
    static constexpr unsigned kTimerPeriodMs = 1000;

    // Sets the countdown to kSeconds. True when no countdown was running,
    // so the caller starts the timer; a running timer goes on unchanged.
    bool Start();
    // One timer tick. True when the window hides now and stops the timer.
    // A tick that arrives after the countdown ended or was cancelled (one
    // already queued when the timer was stopped) does nothing.
    bool Tick();
    // The operator took hold of the window, or a new run began: the caller
    // stops the timer.
    void Cancel() { remaining_ = 0; }

    bool Running() const { return remaining_ > 0; }
    int Remaining() const { return remaining_; }

private:
    int remaining_ = 0;
};

}  // namespace ui
