#include "window/Countdown.h"

#include <limits>

#include "window/basConvert.h"

namespace {
constexpr std::int16_t kCueSeconds = 30;
}

Countdown::Countdown(Controls controls, Cues cues, std::function<void()> layout, std::function<void()> afterZero)
    : mControls(controls), mCues(cues), mLayout(std::move(layout)), mAfterZero(std::move(afterZero)) {}

void Countdown::Setup(std::int16_t seconds, const std::string& description) {
    mControls.display.SetVisible(true);
    mControls.description.SetCaption(description);
    mControls.description.SetVisible(true);
    mRemaining = seconds;
    mLoaded = seconds;
    Refresh();
}

void Countdown::Refresh() {
    mControls.display.SetCaption(basConvert::FormatTime(mRemaining));
    // The last half minute, the end and any overtime are shown in red.
    mControls.display.SetForeColor(mRemaining <= kCueSeconds ? platform::kRed : platform::kBlack);
    mControls.description.SetForeColor(Running() ? platform::kRed : platform::kBlack);
    if (mLayout) mLayout();
}

void Countdown::Start() {
    mControls.timer.SetEnabled(true);
    Refresh();
}

void Countdown::Stop() {
    mControls.timer.SetEnabled(false);
    Refresh();
}

void Countdown::Reset() {
    mRemaining = mLoaded;
    Refresh();
}

void Countdown::Tick() {
    const std::int16_t count = mRemaining;
    if (count == 0) {
        // Stopped before the cue, so the countdown is already still while it sounds.
        Stop();
        mCues.sound.Play(mCues.zero);
        if (onMilestone) onMilestone(Milestone::TimeUp);
        if (mAfterZero) mAfterZero();
        return;
    }
    // Decided by the count found, not by passing a threshold: a reset to 30 or
    // more sounds the cue again.
    if (count == kCueSeconds) {
        mCues.sound.Play(mCues.thirty);
        if (onMilestone) onMilestone(Milestone::ThirtySeconds);
    }
    // An overtime count that has reached the bottom of its range stays there
    // rather than wrapping round to a large positive time.
    if (count != std::numeric_limits<std::int16_t>::min()) mRemaining = static_cast<std::int16_t>(count - 1);
    Refresh();
}
