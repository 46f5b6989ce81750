// Quick free-debate turns on the Windows edition's timers: two countdowns
// passing the floor back and forth in one message loop, each a real Win32Timer
// with the countdown's own rule (it keeps the second in progress), set after
// each turn against the time its side really held the floor. Beside them, over
// the same turns, the old way: a Win32Timer per side enabled afresh at every
// turn and counted tick by tick, so each turn throws away its second.
//   bench_win32_turns [TURNS] [SEED]    (TURNS defaults to 60: about 160 s)
#include <windows.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>

#include "platform/win32/Desktop.h"
#include "platform/win32/Win32Label.h"
#include "platform/win32/Timer.h"
#include "platform/win32/Win32Window.h"
#include "window/Countdown.h"

namespace {

constexpr int kAllowance = 600;  // seconds a side: more than any run here uses

class SilentCues final : public platform::CueQueue {
public:
    void Play(const std::string&) override {}
    void DropWaiting() override {}
    void StopAll() override {}
    platform::CueCheck Check(const std::string&) override { return {}; }
};

void Pump(int milliseconds) {
    const std::int64_t end = platform::CounterNow() + platform::CounterFrequency() * milliseconds / 1000;
    MSG message{};
    while (platform::CounterNow() < end) {
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
    }
}

struct Side {
    std::unique_ptr<platform::Win32Timer> timer, restarted;
    std::unique_ptr<platform::Win32Label> display, description;
    std::unique_ptr<Countdown> countdown;
    int restartedTicks = 0;
    double spoken = 0;  // seconds
    double worstNow = 0, worstBefore = 0;
};

void Take(double& worst, double gap) {
    if (std::abs(gap) > std::abs(worst)) worst = gap;
}

}  // namespace

int main(int argc, char** argv) {
    const int turns = argc > 1 ? std::max(2, std::atoi(argv[1])) : 60;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 20261207u;
    platform::Win32Window window(".");
    platform::Win32Clock clock;
    SilentCues cues;
    const std::string zero, thirty;
    std::array<Side, 2> sides;
    for (Side& side : sides) {
        using platform::TimerPrecision, platform::TimerState;
        side.timer = std::make_unique<platform::Win32Timer>(window, 1000, TimerState::Stopped, TimerPrecision::Precise);
        side.restarted = std::make_unique<platform::Win32Timer>(window, 1000, TimerState::Stopped, TimerPrecision::Precise);
        side.display = std::make_unique<platform::Win32Label>(window, "", 0, 0, platform::TextAlignment::Left);
        side.description = std::make_unique<platform::Win32Label>(window, "", 0, 0, platform::TextAlignment::Left);
        side.countdown = std::make_unique<Countdown>(
            Countdown::Controls{*side.timer, *side.display, *side.description, clock}, Countdown::Cues{cues, zero, thirty},
            nullptr);
        side.countdown->Setup(static_cast<std::int16_t>(kAllowance), "");
        side.timer->onTick = [&side] { side.countdown->Tick(); };
        side.restarted->onTick = [&side] { ++side.restartedTicks; };
    }

    std::mt19937 random(seed);
    std::uniform_int_distribution<int> length(300, 5000);
    double total = 0;
    for (int turn = 0; turn < turns; ++turn) {
        Side& speaking = sides[static_cast<std::size_t>(turn % 2)];
        Side& waiting = sides[static_cast<std::size_t>(1 - turn % 2)];
        waiting.countdown->Stop();
        waiting.restarted->SetEnabled(false);
        speaking.countdown->Start();
        speaking.restarted->SetEnabled(true);
        const std::int64_t began = platform::CounterNow();
        const int ms = length(random);
        Pump(ms);
        total += ms;
        speaking.spoken += static_cast<double>(platform::CounterNow() - began) / static_cast<double>(platform::CounterFrequency());
        for (Side& side : sides) {
            Take(side.worstNow, side.spoken - (kAllowance - side.countdown->Remaining()));
            Take(side.worstBefore, side.spoken - side.restartedTicks);
        }
    }
    std::printf("free debate on Win32Timer under Wine: %d turns of 0.3 to 5 s (seed %u), %.1f s in all\n", turns, seed,
                total / 1000);
    std::printf("time spoken less the time used shown, worst over the run, in seconds (positive: the clock shows less)\n");
    const char* names[] = {"affirmative", "negative"};
    for (std::size_t s = 0; s < 2; ++s) {
        const Side& side = sides[s];
        std::printf("%-12s spoke %6.2f s; restarted each turn: worst %+6.2f, end %+6.2f; carried: worst %+5.2f, end %+5.2f\n",
                    names[s], side.spoken, side.worstBefore, side.spoken - side.restartedTicks, side.worstNow,
                    side.spoken - (kAllowance - side.countdown->Remaining()));
    }
    return 0;
}
