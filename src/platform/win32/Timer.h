// A periodic timer of the window, on Windows. A thread of its own waits for
// each tick's due time on an absolute schedule (QueryPerformanceCounter) with
// a high-resolution waitable timer, and posts the tick to the window, whose
// thread runs it. A posted message is not held back the way WM_TIMER is, and
// a late tick does not push the ones after it: a countdown keeps time with
// the wall clock. Where Windows has no high-resolution waitable timer (before
// Windows 10 1803), the system's timer resolution is raised to 1 ms, only
// while a countdown runs.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/Window.h"
#include "platform/TickSchedule.h"
#include "platform/win32/Win32Window.h"

namespace platform {

enum class TimerState { Stopped, Running };

// A countdown's timer asks for the finest timing the system has; the wall
// clock's is content with the system's usual ~16 ms.
enum class TimerPrecision { Precise, Coarse };

class Win32Timer final : public Timer {
public:
    Win32Timer(Win32Window& window, int milliseconds, TimerState state, TimerPrecision precision);
    ~Win32Timer() override;
    Win32Timer(const Win32Timer&) = delete;
    Win32Timer& operator=(const Win32Timer&) = delete;

    bool Enabled() const override { return enabled_; }
    // Enabling a timer that already runs keeps its rhythm: restarting it would
    // stretch the current second of a running countdown.
    void SetEnabled(bool enabled) override;
    void Arm(int firstMilliseconds) override;
    int Interval() const override { return interval_; }
    void SetInterval(int milliseconds) override;

    // Whether the waits are those of a high-resolution waitable timer.
    bool HighResolution() const { return highResolution_; }

private:
    struct Plan {
        unsigned generation = 0;
        std::optional<TickSchedule> schedule;  // none while stopped
    };

    void Start(int firstMilliseconds);
    void Stop();
    void Run();
    void Deliver(unsigned generation);
    void HoldResolution(bool hold);

    Win32Window& window_;
    int ticksId_;
    int interval_;
    TimerPrecision precision_;
    bool enabled_ = false;
    bool resolutionHeld_ = false;
    bool highResolution_ = false;

    std::mutex mutex_;
    Plan plan_;             // guarded by mutex_
    bool quit_ = false;     // guarded by mutex_
    std::atomic<std::uint64_t> posted_{0};  // ticks due, as the thread last counted them
    std::uint64_t delivered_ = 0;           // window thread only
    HANDLE wake_ = nullptr;
    HANDLE waitable_ = nullptr;
    std::thread thread_;
};

// The performance counter now, and its ticks per second.
std::int64_t CounterNow();
std::int64_t CounterFrequency();

}  // namespace platform
