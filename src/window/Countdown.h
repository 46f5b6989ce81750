// One countdown of the window: its seconds left and loaded, its display and
// description labels, its one-second timer and its two sound cues. The window
// has two of these, identical but for what happens after countdown 2 runs out.
//
// A countdown counts the time it really ran, on the monotonic clock: a pause
// or a side switch keeps the part of the second in progress, and the next run
// ticks after the rest of that second. Only when ticks come depends on this;
// what a tick does is the same whatever its timing.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/Controls.h"
#include "platform/CueQueue.h"
#include "platform/Window.h"

class Countdown final {
public:
    struct Controls {
        platform::Timer& timer;
        platform::Label& display;
        platform::Label& description;
        const platform::Clock& clock;
    };
    // The cue names are read at each cue, so they may be set after construction.
    struct Cues {
        platform::CueQueue& sound;
        const std::string& zero;
        const std::string& thirty;
    };

    // The moments of a tick worth telling the debate record and the audience view.
    enum class Milestone { ThirtySeconds, TimeUp };

    // The count at and below which the display is red and the first cue sounds.
    static constexpr std::int16_t kWarningSeconds = 30;
    // One tick of a countdown.
    static constexpr std::int64_t kSecondMilliseconds = 1000;

    // `layout` lays the window out after every refresh; `afterZero` runs after
    // the zero cue of a tick that found no time left (empty: nothing more).
    Countdown(Controls controls, Cues cues, std::function<void()> layout, std::function<void()> afterZero = {});

    // Told after the cue of each milestone is asked for, before `afterZero`.
    std::function<void(Milestone)> onMilestone;

    void Setup(std::int16_t seconds, const std::string& description);
    void Refresh();
    // Runs the countdown and draws it; Run alone leaves the display as it is
    // until the first tick.
    void Start();
    void Run();
    void Stop();
    void Reset();
    void Tick();
    // Shows the overtime beside the side's name, or only the name (nullopt).
    void ShowOvertime(std::optional<int> seconds);

    std::int16_t Remaining() const { return mRemaining; }
    std::int16_t Loaded() const { return mLoaded; }
    bool Running() const { return mControls.timer.Enabled(); }
    // Whether a tick has found no time left since the countdown was loaded:
    // the bell has rung for it.
    bool TimeIsUp() const { return mTimeIsUp; }
    // The side or debater the countdown belongs to, as the stage names it.
    const std::string& Description() const { return mDescription; }
    // Milliseconds run since the last tick, kept across pauses.
    std::int64_t CarriedMilliseconds() const;
    // When the tick being acted on fell due, on the steady clock: after a
    // hold-up, earlier than the moment it is acted on.
    std::int64_t StepDue() const;

private:
    // What a tick does to the count, the display and the cues.
    void Step();
    // One second made up: a plain one only lowers the count, without a redraw.
    void CountOneSecond();
    // Seconds already run whose ticks have not come when the countdown stops
    // (the machine was held up) are counted then, so what a pause shows and
    // records is true. The tick that finds no time left is left to the next
    // run: a stop never rings the bell.
    void CountOverdue();
    std::int64_t Now() const { return mControls.clock.SteadyMilliseconds(); }

    Controls mControls;
    Cues mCues;
    std::function<void()> mLayout;
    std::function<void()> mAfterZero;
    std::int16_t mRemaining = 0;
    std::int16_t mLoaded = 0;
    bool mTimeIsUp = false;
    std::string mDescription;
    // While stopped: the running time since the last tick. While running: when
    // the last tick fell due, as if the runs since it had been one.
    std::int64_t mCarried = 0;
    std::int64_t mLastTickDue = 0;
    std::int64_t mStepDue = 0;
};
