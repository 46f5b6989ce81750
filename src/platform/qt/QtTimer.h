// A periodic timer of the window: ticks come as events on the window's thread,
// on an absolute schedule of the monotonic clock.
#pragma once

#include <QTimer>

#include <cstdint>
#include <optional>

#include "platform/TickSchedule.h"
#include "platform/Window.h"

namespace platform {

enum class TimerState { Stopped, Running };

class QtTimer final : public Timer {
public:
    QtTimer(int milliseconds, TimerState state);

    bool Enabled() const override { return schedule_.has_value(); }
    // Enabling a timer that already runs keeps its rhythm: restarting it would
    // stretch the current second of a running countdown.
    void SetEnabled(bool enabled) override;
    void Arm(int firstMilliseconds) override;
    int Interval() const override { return interval_; }
    void SetInterval(int milliseconds) override;

    Qt::TimerType Type() const { return timer_.timerType(); }

private:
    void Fire();
    void WaitForNext();

    int interval_;
    // Each wait is a single shot to the next tick's due time on the schedule,
    // so neither a late delivery nor a long hold-up moves the ticks after it.
    QTimer timer_;
    std::optional<TickSchedule> schedule_;  // none while stopped
    std::uint64_t delivered_ = 0;
    unsigned plan_ = 0;  // counts stops and plans, so a tick knows whether it changed the plan
};

// The monotonic clock the timers keep their schedules on, in nanoseconds.
std::int64_t MonotonicNanoseconds();

}  // namespace platform
