#include "platform/qt/QtForm.h"

#include "platform/FormDesign.h"

namespace platform {

QtForm::QtForm(const std::string& executableFolder)
    : window(executableFolder),
      tmrTimer2(design::kTickMilliseconds, TimerState::Stopped),
      tmrTimer1(design::kTickMilliseconds, TimerState::Stopped),
      tmrTime(design::kTickMilliseconds, TimerState::Running),
      cmdTime(window, design::kClock.caption, design::kClock.geometry),
      cmdCommand(window, design::kBar.caption, design::kBar.geometry),
      lblTimer1Desc(window, design::kTimer1Desc),
      lblTimer2Desc(window, design::kTimer2Desc),
      lblTimer2(window, design::kTimer2),
      lblTimer1(window, design::kTimer1),
      lblCaption(window, design::kCaption),
      errors(window) {
    window.SetTitle(design::kProductTitle);
    window.CentreOnScreen();
    design::ApplyDesignFonts(lblCaption, {&lblTimer1, &lblTimer2, &lblTimer1Desc, &lblTimer2Desc});
    // The wall clock is read, never pressed: it stays out of the keyboard's way.
    cmdTime.Widget()->setFocusPolicy(Qt::NoFocus);
}

void QtForm::StopTimers() {
    tmrTime.SetEnabled(false);
    tmrTimer1.SetEnabled(false);
    tmrTimer2.SetEnabled(false);
}

}  // namespace platform
