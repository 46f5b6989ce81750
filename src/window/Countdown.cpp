#include "window/Countdown.h"

#include <algorithm>
#include <limits>

#include "platform/AudienceText.h"
#include "window/basConvert.h"

namespace {
// A tick is counted as due from a little before its time: platform timers and
// the steady clock round differently, and a tick a hair early must not be
// taken for none (the next would then make up two seconds at once).
constexpr std::int64_t kEarlyTolerance = 20;
}  // namespace

Countdown::Countdown(Controls controls, Cues cues, std::function<void()> layout, std::function<void()> afterZero)
    : mControls(controls), mCues(cues), mLayout(std::move(layout)), mAfterZero(std::move(afterZero)) {}

void Countdown::Setup(std::int16_t seconds, const std::string& description) {
    mControls.display.SetVisible(true);
    mDescription = description;
    mControls.description.SetCaption(description);
    mControls.description.SetVisible(true);
    mRemaining = seconds;
    mLoaded = seconds;
    mTimeIsUp = false;
    mCarried = 0;
    Refresh();
}

void Countdown::Refresh() {
    mControls.display.SetCaption(basConvert::FormatTime(mRemaining));
    // The last half minute, the end and any overtime are shown in red.
    mControls.display.SetForeColor(mRemaining <= kWarningSeconds ? platform::kRed : platform::kBlack);
    mControls.description.SetForeColor(Running() ? platform::kRed : platform::kBlack);
    if (mLayout) mLayout();
}

void Countdown::Run() {
    // Running already: its rhythm goes on, so the second in progress is not stretched.
    if (Running()) return;
    mLastTickDue = Now() - mCarried;
    mControls.timer.Arm(static_cast<int>(std::max<std::int64_t>(0, kSecondMilliseconds - mCarried)));
}

void Countdown::Start() {
    Run();
    Refresh();
}

std::int64_t Countdown::CarriedMilliseconds() const {
    // A clock read a hair before the tick that was just counted gives less than nothing.
    return Running() ? std::max<std::int64_t>(0, Now() - mLastTickDue) : mCarried;
}

void Countdown::Stop() {
    if (Running()) {
        CountOverdue();
        mCarried = CarriedMilliseconds();
        mControls.timer.SetEnabled(false);
    }
    Refresh();
}

void Countdown::Reset() {
    mRemaining = mLoaded;
    mTimeIsUp = false;
    mCarried = 0;
    // A running countdown starts a whole second afresh with its full count.
    if (Running()) {
        mLastTickDue = Now();
        mControls.timer.Arm(static_cast<int>(kSecondMilliseconds));
    }
    Refresh();
}

void Countdown::ShowOvertime(std::optional<int> seconds) {
    std::string caption = mDescription;
    // Worded as the audience view words it.
    if (seconds) caption += "  超时 " + platform::MinutesAndSeconds(*seconds);
    if (mControls.description.Caption() == caption) return;
    mControls.description.SetCaption(caption);
    if (mLayout) mLayout();
}

void Countdown::Tick() {
    // Seconds of running the timer could not deliver (the machine was held up)
    // are made up at once, so the count again equals the allowance less the
    // time really run; a plain tick is one second.
    const std::int64_t elapsed = Now() - mLastTickDue;
    const std::int64_t due = std::max<std::int64_t>(1, (elapsed + kEarlyTolerance) / kSecondMilliseconds);
    const std::int64_t firstDue = mLastTickDue + kSecondMilliseconds;
    mLastTickDue += due * kSecondMilliseconds;
    if (due > 1) {
        // Back on the grid of this run's seconds, whatever the platform's timer made of the hold-up.
        const std::int64_t next = mLastTickDue + kSecondMilliseconds - Now();
        mControls.timer.Arm(static_cast<int>(std::clamp<std::int64_t>(next, 0, kSecondMilliseconds + kEarlyTolerance)));
        // The seconds made up in between are counted off without a redraw,
        // stopping at the two counts a tick acts on, so their cues still sound.
        for (std::int64_t k = 0; k < due - 1 && Running(); ++k) {
            mStepDue = firstDue + k * kSecondMilliseconds;
            CountOneSecond();
        }
    }
    mStepDue = mLastTickDue;
    if (Running()) Step();
}

void Countdown::CountOverdue() {
    while (Now() - mLastTickDue >= kSecondMilliseconds && mRemaining != 0) {
        mLastTickDue += kSecondMilliseconds;
        mStepDue = mLastTickDue;
        CountOneSecond();
    }
}

void Countdown::CountOneSecond() {
    if (mRemaining == 0 || mRemaining == kWarningSeconds) {
        Step();
    } else if (mRemaining != std::numeric_limits<std::int16_t>::min()) {
        mRemaining = static_cast<std::int16_t>(mRemaining - 1);
    }
}

std::int64_t Countdown::StepDue() const { return std::min(mStepDue, Now()); }

void Countdown::Step() {
    const std::int16_t count = mRemaining;
    if (count == 0) {
        // Stopped before the cue, so the countdown is already still while it sounds.
        mTimeIsUp = true;
        Stop();
        mCues.sound.Play(mCues.zero);
        if (onMilestone) onMilestone(Milestone::TimeUp);
        if (mAfterZero) mAfterZero();
        return;
    }
    // Decided by the count found, not by passing a threshold: a reset to 30 or
    // more sounds the cue again.
    if (count == kWarningSeconds) {
        mCues.sound.Play(mCues.thirty);
        if (onMilestone) onMilestone(Milestone::ThirtySeconds);
    }
    // An overtime count that has reached the bottom of its range stays there
    // rather than wrapping round to a large positive time.
    if (count != std::numeric_limits<std::int16_t>::min()) mRemaining = static_cast<std::int16_t>(count - 1);
    Refresh();
}
