// The one place that joins a form's controls to the window's logic, whichever
// front end built them (every form names its controls alike). The program
// uses it with the real sound, browser and display adapters; tests and
// measurements put their own in.
#pragma once

#include "window/frmMain.h"

template <class Form>
FormControls WireForm(Form& form, platform::CueQueue& sound, platform::Browser& browser,
                      platform::DisplaySleep& displaySleep, platform::FileSystem& files,
                      const platform::TextCodec& codec, platform::AudienceView& audience,
                      platform::DebateRecorder& recorder) {
    return FormControls{form.window,     form.tmrTimer2,     form.tmrTimer1,     form.tmrTime,   form.cmdTime,
                        form.cmdCommand, form.lblTimer1Desc, form.lblTimer2Desc, form.lblTimer2, form.lblTimer1,
                        form.lblCaption, form.clock,         sound,              browser,        displaySleep,
                        form.errors,     files,              codec,              audience,       recorder};
}
