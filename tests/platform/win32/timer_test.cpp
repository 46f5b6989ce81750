// The timers' absolute schedule, and the real Win32 timer's ticks on the window's thread. Wine's timers run on
// Linux's, so these check the schedule's logic, not Windows' granularity (bench/ prints the figures).
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>

#include "platform/TickSchedule.h"
#include "platform/win32/Timer.h"
#include "platform/win32/TestMessages.h"
#include "platform/win32/Win32Window.h"

namespace {

TEST(TickSchedule, EachTickFallsDueOnTheStartsGridWhateverTheLatenessBefore) {
    const platform::TickSchedule schedule(5000, 1000);
    EXPECT_EQ(schedule.Due(1), 6000);
    EXPECT_EQ(schedule.Due(120), 125000);
    // Delivered late (tick 3 at 8900), the next is still due at 9000, not 9900.
    const std::pair<std::int64_t, std::uint64_t> dueBy[] = {{4000, 0}, {5999, 0}, {6000, 1}, {8900, 3}, {125000, 120}};
    for (const auto& [now, ticks] : dueBy) EXPECT_EQ(schedule.DueBy(now), ticks) << now;
}

using testwin::Pump;

class RealTimer : public testing::Test {
protected:
    platform::Win32Window window{"."};
    platform::Win32Timer timer{window, 20, platform::TimerState::Stopped, platform::TimerPrecision::Precise};
    int ticks = 0;
    DWORD tickThread = 0;
    void SetUp() override {
        timer.onTick = [this] { ++ticks, tickThread = ::GetCurrentThreadId(); };
    }
};

TEST_F(RealTimer, TicksArriveOnTheWindowsThreadAndThoseMissedWhileTheWindowIsBusyComeAsOne) {
    timer.SetEnabled(true);
    Pump(100);
    EXPECT_GT(ticks, 0);
    EXPECT_EQ(tickThread, ::GetCurrentThreadId());
    // The window's thread is busy for ten intervals: the ticks due meanwhile arrive as one, not as a burst
    // (the countdown reads its clock and makes up the time), as on Linux.
    const int before = ticks;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Pump(5);
    EXPECT_GE(ticks - before, 1);
    EXPECT_LE(ticks - before, 2);
}

// A countdown resumed with 0.99 s already run asks for its tick at once, not a whole interval on.
TEST_F(RealTimer, AnArmedTimerTicksFirstAfterTheGivenDelay) {
    platform::Win32Timer minute{window, 60'000, platform::TimerState::Stopped, platform::TimerPrecision::Precise};
    minute.onTick = [this] { ++ticks; };
    minute.Arm(0);
    EXPECT_TRUE(testwin::RunUntil([this] { return ticks == 1; }, 5000));
    minute.Arm(60'000);  // planned afresh: nothing for a minute
    Pump(100);
    EXPECT_EQ(ticks, 1);
}

// Ticks already posted when the timer stops, from outside or from a tick of its own, are never delivered.
TEST_F(RealTimer, AStoppedTimerDeliversNoTickPostedBeforeItStopped) {
    timer.SetEnabled(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    timer.SetEnabled(false);
    Pump(100);
    EXPECT_EQ(ticks, 0);

    timer.onTick = [this] { ++ticks, timer.SetEnabled(false); };
    timer.SetEnabled(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    Pump(50);
    EXPECT_EQ(ticks, 1);
}

}  // namespace
