#include "platform/qt/QtTimer.h"

#include <algorithm>
#include <chrono>

namespace platform {
namespace {
constexpr std::int64_t kNanosecondsPerMillisecond = 1'000'000;
}

std::int64_t MonotonicNanoseconds() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QtTimer::QtTimer(int milliseconds, TimerState state) : interval_(std::max(1, milliseconds)) {
    // A coarse timer moves each tick by up to 5 % to line it up with the system
    // clock's half seconds, putting a countdown out of step by up to a quarter second.
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] { Fire(); });
    SetEnabled(state == TimerState::Running);
}

void QtTimer::SetEnabled(bool enabled) {
    if (!enabled) {
        timer_.stop();
        schedule_.reset();
        ++plan_;
    } else if (!schedule_) {
        Arm(interval_);
    }
}

void QtTimer::Arm(int firstMilliseconds) {
    const std::int64_t first = std::max(0, firstMilliseconds) * kNanosecondsPerMillisecond;
    schedule_ = TickSchedule::FirstAt(MonotonicNanoseconds() + first, interval_ * kNanosecondsPerMillisecond);
    delivered_ = 0;
    ++plan_;
    WaitForNext();
}

void QtTimer::SetInterval(int milliseconds) {
    interval_ = std::max(1, milliseconds);
    // A running timer starts its new rhythm from now.
    if (schedule_) Arm(interval_);
}

void QtTimer::WaitForNext() {
    const std::int64_t wait = schedule_->Due(delivered_ + 1) - MonotonicNanoseconds();
    // Rounded up: a wakeup a fraction of a millisecond early would only wait again.
    timer_.start(static_cast<int>(std::max<std::int64_t>(0, (wait + kNanosecondsPerMillisecond - 1) / kNanosecondsPerMillisecond)));
}

// One tick for all those due since the last: ticks missed while the event loop
// was held up are not replayed, and the next wait is for the next due time.
void QtTimer::Fire() {
    if (!schedule_) return;
    const std::uint64_t due = schedule_->DueBy(MonotonicNanoseconds());
    if (due <= delivered_) return WaitForNext();
    delivered_ = due;
    const unsigned plan = plan_;
    if (onTick) onTick();
    // The tick may have stopped the timer or planned it afresh.
    if (plan == plan_) WaitForNext();
}

}  // namespace platform
