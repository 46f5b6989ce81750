// The Win32 countdown timer's schedule: each tick's lateness against start +
// k intervals, beside a plain SetTimer of the same interval counted tick by
// tick, both running in the same message loop of one window, half an
// interval apart. Under Wine the timers underneath are Linux's: this shows
// the schedule's logic, not Windows' own timer granularity.
//   bench_win32_ticks [TICKS] [INTERVAL_MS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/win32/Timer.h"
#include "platform/win32/Win32Window.h"

namespace {

std::int64_t gStart = 0;
std::int64_t gPlainStart = 0;
std::vector<double> gPlain;

double Milliseconds(std::int64_t counter) {
    return static_cast<double>(counter) * 1000.0 / static_cast<double>(platform::CounterFrequency());
}

// The window's work at each tick, for both timers alike: a relayout's worth of busy time.
void Work() {
    const std::int64_t busy = platform::CounterNow() + platform::CounterFrequency() / 500;
    while (platform::CounterNow() < busy) {
    }
}

void CALLBACK PlainTick(HWND, UINT, UINT_PTR, DWORD) {
    gPlain.push_back(Milliseconds(platform::CounterNow() - gPlainStart));
    Work();
}

void Report(const char* name, const std::vector<double>& at, int interval) {
    std::vector<double> late;
    for (std::size_t k = 0; k < at.size(); ++k) late.push_back(at[k] - static_cast<double>((k + 1) * interval));
    if (late.empty()) return;
    std::vector<double> sorted = late;
    std::sort(sorted.begin(), sorted.end());
    const auto within = std::count_if(late.begin(), late.end(), [](double l) { return l >= 0 && l <= 3; });
    std::printf("%-32s %3zu ticks, the last %+7.2f ms late; lateness p50 %6.2f p99 %6.2f max %6.2f ms; %3.0f %% within 3 ms\n",
                name, late.size(), late.back(), sorted[sorted.size() / 2],
                sorted[std::min(sorted.size() - 1, sorted.size() * 99 / 100)], sorted.back(),
                100.0 * static_cast<double>(within) / static_cast<double>(late.size()));
}

}  // namespace

int main(int argc, char** argv) {
    const int ticks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    const int interval = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;
    platform::Win32Window window(".");
    platform::Win32Timer timer(window, interval, platform::TimerState::Stopped, platform::TimerPrecision::Precise);
    std::vector<double> scheduled;
    timer.onTick = [&] {
        scheduled.push_back(Milliseconds(platform::CounterNow() - gStart));
        Work();
    };
    gStart = platform::CounterNow();
    timer.SetEnabled(true);
    // Half an interval apart, so neither timer's tick waits on the other's work.
    ::Sleep(static_cast<DWORD>(interval / 2));
    gPlainStart = platform::CounterNow();
    const UINT_PTR plain = ::SetTimer(nullptr, 0, static_cast<UINT>(interval), &PlainTick);
    MSG message{};
    const auto done = [&] { return static_cast<int>(std::min(scheduled.size(), gPlain.size())) >= ticks; };
    while (!done() && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::DispatchMessageW(&message);
    }
    ::KillTimer(nullptr, plain);
    std::printf("Win32 timer under Wine, %d ticks of %d ms (%s waitable timer)\n", ticks, interval,
                timer.HighResolution() ? "high-resolution" : "plain");
    Report("absolute schedule (Win32Timer)", scheduled, interval);
    Report("plain SetTimer, ticks counted", gPlain, interval);
    return 0;
}
