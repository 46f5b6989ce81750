#include "platform/qt/QtForm.h"

namespace platform {
namespace {

constexpr int kTickMilliseconds = 1000;
constexpr const char* kDesignFace = "黑体";
constexpr double kCaptionPoints = 60;
constexpr double kTimerPoints = 72;

void SetDesignFont(QtLabel& label, double points) {
    label.SetFontName(kDesignFace);
    label.SetFontSize(points);
}

}  // namespace

QtForm::QtForm(const std::string& executableFolder)
    : window(executableFolder),
      tmrTimer2(kTickMilliseconds, TimerState::Stopped),
      tmrTimer1(kTickMilliseconds, TimerState::Stopped),
      tmrTime(kTickMilliseconds, TimerState::Running),
      cmdTime(window, "XX:XX:XX", {8280, 4440, 1215, 495}),
      cmdCommand(window, "Command1", {0, 4560, 1095, 375}),
      lblTimer1Desc(window, "timer1", 360, 2520, TextAlignment::Left),
      lblTimer2Desc(window, "timer2", 480, 3960, TextAlignment::Left),
      lblTimer2(window, "00:00", 4320, 3960, TextAlignment::Centre),
      lblTimer1(window, "00:00", 4200, 2520, TextAlignment::Centre),
      lblCaption(window, "Caption", 480, 480, TextAlignment::Left),
      errors(window) {
    window.SetTitle(kProductTitle);
    window.CentreOnScreen();
    SetDesignFont(lblCaption, kCaptionPoints);
    for (QtLabel* label : {&lblTimer1, &lblTimer2, &lblTimer1Desc, &lblTimer2Desc}) SetDesignFont(*label, kTimerPoints);
    // The wall clock is read, never pressed: it stays out of the keyboard's way.
    cmdTime.Widget()->setFocusPolicy(Qt::NoFocus);
}

void QtForm::StopTimers() {
    tmrTime.SetEnabled(false);
    tmrTimer1.SetEnabled(false);
    tmrTimer2.SetEnabled(false);
}

}  // namespace platform
