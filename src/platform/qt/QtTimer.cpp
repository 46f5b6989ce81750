#include "platform/qt/QtTimer.h"

namespace platform {

QtTimer::QtTimer(int milliseconds, TimerState state) {
    // A coarse timer moves each tick by up to 5 % to line it up with the system
    // clock's half seconds, putting a countdown out of step by up to a quarter second.
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(milliseconds);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (onTick) onTick();
    });
    SetEnabled(state == TimerState::Running);
}

void QtTimer::SetEnabled(bool enabled) {
    if (!enabled) {
        timer_.stop();
    } else if (!timer_.isActive()) {
        timer_.start();
    }
}

}  // namespace platform
