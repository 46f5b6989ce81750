// One countdown of the window: its seconds left and loaded, its display and
// description labels, its one-second timer and its two sound cues. The window
// has two of these, identical but for what happens after countdown 2 runs out.
#pragma once

#include <cstdint>
#include <functional>
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
    };
    // The cue names are read at each cue, so they may be set after construction.
    struct Cues {
        platform::CueQueue& sound;
        const std::string& zero;
        const std::string& thirty;
    };

    // The moments of a tick worth telling the debate record and the audience view.
    enum class Milestone { ThirtySeconds, TimeUp };

    // `layout` lays the window out after every refresh; `afterZero` runs after
    // the zero cue of a tick that found no time left (empty: nothing more).
    Countdown(Controls controls, Cues cues, std::function<void()> layout, std::function<void()> afterZero = {});

    // Told after the cue of each milestone is asked for, before `afterZero`.
    std::function<void(Milestone)> onMilestone;

    void Setup(std::int16_t seconds, const std::string& description);
    void Refresh();
    void Start();
    void Stop();
    void Reset();
    void Tick();

    std::int16_t Remaining() const { return mRemaining; }
    std::int16_t Loaded() const { return mLoaded; }
    bool Running() const { return mControls.timer.Enabled(); }

private:
    Controls mControls;
    Cues mCues;
    std::function<void()> mLayout;
    std::function<void()> mAfterZero;
    std::int16_t mRemaining = 0;
    std::int16_t mLoaded = 0;
};
