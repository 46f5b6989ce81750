#include "platform/qt/QtTimer.h"

namespace platform {

QtTimer::QtTimer(int milliseconds, TimerState state) {
    // A coarse timer may fire up to 5 % late, which adds up over a speech.
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
