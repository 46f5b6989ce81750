// Changing page: stop and hide both countdowns, name the stage, build its bar
// and load its countdowns from their configured durations.
#include "window/SettingError.h"
#include "window/StageTable.h"
#include "window/frmMain.h"

void frmMain::ShowPage(std::int16_t page) {
    // Leaving or re-entering the page is the end of its run for the record.
    EndOvertime();
    Record(page == mPage ? platform::DebateEventKind::Reset : platform::DebateEventKind::PageLeft);
    mStartedOnPage = {};
    // A cue asked for on the page left or reset and not yet begun belongs to
    // that page's speech; one already sounding finishes.
    c.sound.DropWaiting();
    // Stopped directly, without a redraw: the labels are hidden anyway.
    c.tmrTimer1.SetEnabled(false);
    c.lblTimer1Desc.SetVisible(false);
    c.lblTimer1.SetVisible(false);
    c.tmrTimer2.SetEnabled(false);
    c.lblTimer2Desc.SetVisible(false);
    c.lblTimer2.SetVisible(false);
    mPage = page;
    if (page < kHomePage || page > mStages.LastPage()) {
        ShowPage(kHomePage);
        return;
    }
    const StagePage& stage = mStages.Page(page);
    SetStageCaption(stage.name);
    BuildButtonBar(stage.buttons);
    // A duration that cannot be used gives way to the stage's built-in one.
    if (stage.timer1) SetupTimer1(WindowSettings::StageSeconds(*mConfig, *stage.timer1), stage.timer1->description);
    if (stage.timer2) SetupTimer2(WindowSettings::StageSeconds(*mConfig, *stage.timer2), stage.timer2->description);
    Record(platform::DebateEventKind::PageEntered);
}
