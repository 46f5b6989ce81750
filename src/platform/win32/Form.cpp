#include "platform/win32/Form.h"

#include <algorithm>

#include "platform/FormDesign.h"

namespace platform {

Win32Form::Win32Form(const std::string& executableFolder)
    : window(executableFolder),
      tmrTimer2(window, design::kTickMilliseconds, TimerState::Stopped, TimerPrecision::Precise),
      tmrTimer1(window, design::kTickMilliseconds, TimerState::Stopped, TimerPrecision::Precise),
      tmrTime(window, design::kTickMilliseconds, TimerState::Running, TimerPrecision::Coarse),
      cmdTime(window, design::kClock.caption, design::kClock.geometry, Pressable::No),
      cmdCommand(window, design::kBar.caption, design::kBar.geometry),
      lblTimer1Desc(window, design::kTimer1Desc),
      lblTimer2Desc(window, design::kTimer2Desc),
      lblTimer2(window, design::kTimer2),
      lblTimer1(window, design::kTimer1),
      lblCaption(window, design::kCaption),
      errors(window) {
    window.SetTitle(design::kProductTitle);
    design::ApplyDesignFonts(lblCaption, {&lblTimer1, &lblTimer2, &lblTimer1Desc, &lblTimer2Desc});
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
        if (window.MoveFocus(message)) continue;
        const auto takes = [&message](const auto& route) { return route(message); };
        if (std::any_of(messageRoutes.begin(), messageRoutes.end(), takes)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return got < 0 ? 1 : static_cast<int>(message.wParam);
}

}  // namespace platform
