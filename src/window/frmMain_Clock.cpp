// The wall clock and the name of the page shown.
#include "window/basConvert.h"
#include "window/frmMain.h"

void frmMain::tmrTime_Timer() {
    const platform::LocalTime now = c.clock.Now();
    c.cmdTime.SetCaption(basConvert::FormatClock(now.hour, now.minute, now.second));
    CountOvertimeShown();
    SizeClockButton();
}

void frmMain::SetStageCaption(const std::string& name) {
    // Any page can be renamed in the configuration; a value of blanks counts as a name.
    // A format's names are its own already.
    const std::string replacement = mStages.fromFormat ? std::string() : Item("Stage" + std::to_string(mPage) + "Caption");
    const std::string& shown = replacement.empty() ? name : replacement;
    c.window.SetTitle(mCaption + " - " + shown);
    c.lblCaption.SetCaption(shown);
}
