// What the window tells the debate record and the audience view: each event
// of a stage page as it happens, time up and overtime, and after every event
// the frame the hall sees.
#include <cstdlib>

#include "window/StageTable.h"
#include "window/frmMain.h"

using platform::DebateEventKind;

namespace {

platform::StageKind StageKindOf(PageGroup group) {
    switch (group) {
        case PageGroup::Questioning: return platform::StageKind::Questioning;
        case PageGroup::FreeDebate: return platform::StageKind::Alternating;
        default: return platform::StageKind::Speech;
    }
}

}  // namespace

Countdown& frmMain::CountdownNumber(int countdown) { return countdown == 1 ? mTimer1 : mTimer2; }

const Countdown& frmMain::CountdownNumber(int countdown) const { return countdown == 1 ? mTimer1 : mTimer2; }

frmMain::Running frmMain::RunningNow() const { return {mTimer1.Running(), mTimer2.Running()}; }

void frmMain::Record(DebateEventKind kind, int countdown, int seconds) {
    // The home page is no stage: nothing on it is timed.
    if (mPage <= kHomePage || mPage > mStages.LastPage()) return;
    platform::DebateEvent event;
    event.kind = kind;
    event.wall = c.clock.Now();
    event.steadyMs = c.clock.SteadyMilliseconds();
    event.page = mPage;
    event.caption = c.lblCaption.Caption();
    // A format's page numbers say nothing of the kind of stage; the record says it.
    if (mStages.fromFormat) event.stage = StageKindOf(mStages.Page(mPage).group);
    event.countdown = countdown;
    event.seconds = seconds;
    if (countdown != 0) {
        const Countdown& timer = CountdownNumber(countdown);
        event.side = timer.Description();
        event.remaining = timer.Remaining();
        event.allowance = timer.Loaded();
    }
    c.recorder.Record(event);
}

void frmMain::RecordStarts(const Running& before) {
    const Running now = RunningNow();
    for (int n = 1; n <= 2; ++n) {
        if (before[n - 1] || !now[n - 1]) continue;
        Record(mStartedOnPage[n - 1] ? DebateEventKind::Resumed : DebateEventKind::Started, n);
        mStartedOnPage[n - 1] = true;
    }
}

void frmMain::RecordStops(const Running& before, DebateEventKind kind) {
    const Running now = RunningNow();
    for (int n = 1; n <= 2; ++n) {
        if (before[n - 1] && !now[n - 1]) Record(kind, n);
    }
}

void frmMain::OnMilestone(int countdown, Countdown::Milestone milestone) {
    if (milestone == Countdown::Milestone::ThirtySeconds) {
        Record(DebateEventKind::ThirtySeconds, countdown);
        return;
    }
    Record(DebateEventKind::TimeUp, countdown);
    // An answer that runs out hands the floor back at once: nobody runs over.
    if (countdown == 2 && AnswerHandsBackAtZero()) return;
    // From when the time ran out, which after a hold-up is before this moment.
    mTimeUp[countdown - 1] = TimeUp{CountdownNumber(countdown).StepDue(), std::nullopt};
    CountdownNumber(countdown).ShowOvertime(0);
}

std::optional<int> frmMain::OvertimeSeconds(int countdown) const {
    const std::optional<TimeUp>& timeUp = mTimeUp.at(static_cast<std::size_t>(countdown - 1));
    if (!timeUp) return std::nullopt;
    return static_cast<int>((c.clock.SteadyMilliseconds() - timeUp->at) / 1000);
}

void frmMain::CountOvertimeShown() {
    // The clock's second and the tick that ran out keep no fixed phase: a few
    // milliseconds either way would make the measured count repeat a second
    // or skip one. The hall sees one more each second, measured afresh only
    // when the two part by more than a second (ticks held up).
    for (int n = 1; n <= 2; ++n) {
        std::optional<TimeUp>& timeUp = mTimeUp[static_cast<std::size_t>(n - 1)];
        if (!timeUp) continue;
        const int measured = *OvertimeSeconds(n);
        const bool inStep = timeUp->shown && std::abs(measured - (*timeUp->shown + 1)) <= 1;
        timeUp->shown = inStep ? *timeUp->shown + 1 : measured;
        // The time-keeper, often watching only this window, sees what the hall sees.
        CountdownNumber(n).ShowOvertime(timeUp->shown);
    }
}

void frmMain::EndOvertime() {
    for (int n = 1; n <= 2; ++n) {
        if (const std::optional<int> seconds = OvertimeSeconds(n)) {
            Record(DebateEventKind::OvertimeEnded, n, *seconds);
            mTimeUp[n - 1].reset();
            CountdownNumber(n).ShowOvertime(std::nullopt);
        }
    }
}

platform::AudienceFrame frmMain::AudienceNow() const {
    platform::AudienceFrame frame;
    frame.home = mPage == kHomePage;
    frame.title = mCaption;
    // The home page shows the title; its built-in name means nothing to the hall.
    const std::string homeCaption = mStages.fromFormat ? mStages.homeCaption
                                    : mConfig                ? Item("Stage0Caption")
                                                             : std::string();
    frame.caption = frame.home ? homeCaption : c.lblCaption.Caption();
    const platform::Label* displays[] = {&c.lblTimer1, &c.lblTimer2};
    for (int n = 1; n <= 2; ++n) {
        const Countdown& timer = CountdownNumber(n);
        platform::AudienceCountdown& shown = frame.countdowns[static_cast<std::size_t>(n - 1)];
        shown.shown = !frame.home && displays[n - 1]->Visible();
        if (!shown.shown) continue;
        shown.text = displays[n - 1]->Caption();
        shown.side = timer.Description();
        shown.secondsLeft = timer.Remaining();
        shown.allowance = timer.Loaded();
        shown.running = timer.Running();
        shown.red = displays[n - 1]->ForeColor() == platform::kRed;
        const std::optional<TimeUp>& timeUp = mTimeUp[static_cast<std::size_t>(n - 1)];
        shown.timeUp = timeUp.has_value();
        shown.overtimeSeconds = timeUp ? timeUp->shown.value_or(0) : 0;
    }
    frame.clock = c.cmdTime.Caption();
    return frame;
}

void frmMain::PublishAudience() {
    platform::AudienceFrame frame = AudienceNow();
    if (mPublished && *mPublished == frame) return;
    c.audience.Publish(frame);
    mPublished = std::move(frame);
}
