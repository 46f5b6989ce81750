#include "platform/win32/Timer.h"

#include <mmsystem.h>

#include <stdexcept>

namespace platform {
namespace {

// Not in every SDK's headers; Windows 10 1803 and later know it.
constexpr DWORD kHighResolutionTimer = 0x00000002;

}  // namespace

std::int64_t CounterNow() {
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

std::int64_t CounterFrequency() {
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

Win32Timer::Win32Timer(Win32Window& window, int milliseconds, TimerState state, TimerPrecision precision)
    : window_(window), ticksId_(0), interval_(milliseconds), precision_(precision) {
    wake_ = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    waitable_ = ::CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
    highResolution_ = waitable_ != nullptr;
    if (waitable_ == nullptr) waitable_ = ::CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
    if (wake_ == nullptr || waitable_ == nullptr) throw std::runtime_error("无法创建计时器");
    ticksId_ = window_.RegisterTicks([this](unsigned generation) { Deliver(generation); });
    thread_ = std::thread([this] { Run(); });
    SetEnabled(state == TimerState::Running);
}

Win32Timer::~Win32Timer() {
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
    }
    ::SetEvent(wake_);
    thread_.join();
    window_.UnregisterTicks(ticksId_);
    HoldResolution(false);
    ::CloseHandle(waitable_);
    ::CloseHandle(wake_);
}

void Win32Timer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    if (enabled) {
        Arm(interval_);
    } else {
        enabled_ = false;
        Stop();
    }
}

void Win32Timer::Arm(int firstMilliseconds) {
    enabled_ = true;
    Start(std::max(0, firstMilliseconds));
}

void Win32Timer::SetInterval(int milliseconds) {
    interval_ = milliseconds;
    // A running timer starts its new rhythm from now.
    if (enabled_) Start(interval_);
}

void Win32Timer::Start(int firstMilliseconds) {
    HoldResolution(precision_ == TimerPrecision::Precise && !highResolution_);
    const std::int64_t frequency = CounterFrequency();
    const std::int64_t interval = std::max<std::int64_t>(1, frequency * interval_ / 1000);
    const std::int64_t first = frequency * firstMilliseconds / 1000;
    {
        const std::lock_guard lock(mutex_);
        ++plan_.generation;
        plan_.schedule = TickSchedule::FirstAt(CounterNow() + first, interval);
        posted_ = 0;
        delivered_ = 0;
    }
    ::SetEvent(wake_);
}

void Win32Timer::Stop() {
    {
        const std::lock_guard lock(mutex_);
        ++plan_.generation;
        plan_.schedule.reset();
    }
    ::SetEvent(wake_);
    HoldResolution(false);
}

// The timer's thread: waits for the next tick's due time, or for a change of plan.
void Win32Timer::Run() {
    const std::int64_t frequency = CounterFrequency();
    for (;;) {
        Plan plan;
        std::uint64_t counted = 0;
        {
            const std::lock_guard lock(mutex_);
            if (quit_) return;
            plan = plan_;
            counted = posted_;
        }
        if (!plan.schedule) {
            ::WaitForSingleObject(wake_, INFINITE);
            continue;
        }
        const std::int64_t wait = plan.schedule->Due(counted + 1) - CounterNow();
        if (wait > 0) {
            // Relative, in 100 ns units: the counter, not the adjustable system clock, sets the time.
            LARGE_INTEGER due{};
            due.QuadPart = -std::max<std::int64_t>(1, wait * 10'000'000 / frequency);
            ::SetWaitableTimer(waitable_, &due, 0, nullptr, nullptr, FALSE);
            const HANDLE handles[] = {wake_, waitable_};
            if (::WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0) {
                ::CancelWaitableTimer(waitable_);
                continue;  // the plan changed
            }
        }
        const std::uint64_t due = plan.schedule->DueBy(CounterNow());
        {
            const std::lock_guard lock(mutex_);
            if (plan_.generation != plan.generation || due <= posted_) continue;
            posted_ = due;
        }
        window_.PostTick(ticksId_, plan.generation);
    }
}

// On the window's thread: one tick for all those due since the last delivery.
// Ticks that piled up while the window's thread was held up are not replayed
// one by one: the countdown reads its own clock and makes up what it missed.
void Win32Timer::Deliver(unsigned generation) {
    {
        const std::lock_guard lock(mutex_);
        if (generation != plan_.generation || delivered_ >= posted_) return;
        delivered_ = posted_;
    }
    if (enabled_ && onTick) onTick();
}

void Win32Timer::HoldResolution(bool hold) {
    if (hold == resolutionHeld_) return;
    resolutionHeld_ = hold;
    if (hold) {
        ::timeBeginPeriod(1);
    } else {
        ::timeEndPeriod(1);
    }
}

}  // namespace platform
