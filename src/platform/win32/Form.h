// The timer window with its controls as designed, created in the design's
// order: the periodic timers, the clock button, member 0 of the bar, the
// timer labels and the caption. The window's logic drives them afterwards.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/Win32Button.h"
#include "platform/win32/Desktop.h"
#include "platform/win32/ErrorSink.h"
#include "platform/win32/Win32Label.h"
#include "platform/win32/Timer.h"
#include "platform/win32/Win32Window.h"

namespace platform {

struct Win32Form final {
    explicit Win32Form(const std::string& executableFolder);
    // Stops all three timers, so no tick reaches the logic (start-up failed, or the window has closed).
    void StopTimers();
    // Runs the window's messages until the window closes; the open message
    // boxes get their keys (Enter, Esc) on the way.
    int RunMessageLoop();

    Win32Window window;
    Win32Timer tmrTimer2;
    Win32Timer tmrTimer1;
    Win32Timer tmrTime;
    Win32Button cmdTime;
    Win32ButtonArray cmdCommand;
    Win32Label lblTimer1Desc;
    Win32Label lblTimer2Desc;
    Win32Label lblTimer2;
    Win32Label lblTimer1;
    Win32Label lblCaption;
    Win32Clock clock;
    Win32Browser browser;
    Win32DisplaySleep displaySleep;
    Win32ErrorSink errors;
    // Windows beside the timer's (the summary) that take their own keys from
    // the message loop first, as a dialog does (Tab, Enter, Esc); each returns
    // true when it took the message.
    std::vector<std::function<bool(MSG&)>> messageRoutes;
};

}  // namespace platform
