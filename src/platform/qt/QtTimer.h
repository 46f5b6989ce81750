// A periodic timer of the window: ticks come as events on the window's thread.
#pragma once

#include <QTimer>

#include "platform/Window.h"

namespace platform {

enum class TimerState { Stopped, Running };

class QtTimer final : public Timer {
public:
    QtTimer(int milliseconds, TimerState state);

    bool Enabled() const override { return timer_.isActive(); }
    // Enabling a timer that already runs keeps its rhythm: restarting it would
    // stretch the current second of a running countdown.
    void SetEnabled(bool enabled) override;
    int Interval() const override { return timer_.interval(); }
    void SetInterval(int milliseconds) override { timer_.setInterval(milliseconds); }

    Qt::TimerType Type() const { return timer_.timerType(); }

private:
    QTimer timer_;
};

}  // namespace platform
