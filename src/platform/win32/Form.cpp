#include "platform/win32/Form.h"

#include <algorithm>

namespace platform {
namespace {

constexpr int kTickMilliseconds = 1000;
constexpr const char* kDesignFace = "黑体";
constexpr double kCaptionPoints = 60;
constexpr double kTimerPoints = 72;

void SetDesignFont(Win32Label& label, double points) {
    label.SetFontName(kDesignFace);
    label.SetFontSize(points);
}

}  // namespace

Win32Form::Win32Form(const std::string& executableFolder)
    : window(executableFolder),
      tmrTimer2(window, kTickMilliseconds, TimerState::Stopped, TimerPrecision::Precise),
      tmrTimer1(window, kTickMilliseconds, TimerState::Stopped, TimerPrecision::Precise),
      tmrTime(window, kTickMilliseconds, TimerState::Running, TimerPrecision::Coarse),
      cmdTime(window, "XX:XX:XX", {8280, 4440, 1215, 495}, Pressable::No),
      cmdCommand(window, "Command1", {0, 4560, 1095, 375}),
      lblTimer1Desc(window, "timer1", 360, 2520, TextAlignment::Left),
      lblTimer2Desc(window, "timer2", 480, 3960, TextAlignment::Left),
      lblTimer2(window, "00:00", 4320, 3960, TextAlignment::Centre),
      lblTimer1(window, "00:00", 4200, 2520, TextAlignment::Centre),
      lblCaption(window, "Caption", 480, 480, TextAlignment::Left),
      errors(window) {
    window.SetTitle(kProductTitle);
    SetDesignFont(lblCaption, kCaptionPoints);
    for (Win32Label* label : {&lblTimer1, &lblTimer2, &lblTimer1Desc, &lblTimer2Desc}) {
        SetDesignFont(*label, kTimerPoints);
    }
}

void Win32Form::StopTimers() {
    tmrTime.SetEnabled(false);
    tmrTimer1.SetEnabled(false);
    tmrTimer2.SetEnabled(false);
}

int Win32Form::RunMessageLoop() {
    MSG message{};
    BOOL got = 0;
    while ((got = ::GetMessageW(&message, nullptr, 0, 0)) > 0) {
        if (errors.RouteDialogMessage(message)) continue;
        const auto takes = [&message](const auto& route) { return route(message); };
        if (std::any_of(messageRoutes.begin(), messageRoutes.end(), takes)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return got < 0 ? 1 : static_cast<int>(message.wParam);
}

}  // namespace platform
