// The timer window with its controls as designed, created in the design's
// order: the periodic timers, the clock button, member 0 of the bar, the
// timer labels and the caption. The window's logic drives them afterwards.
#pragma once

#include <string>

#include "platform/qt/QtButton.h"
#include "platform/qt/QtDesktop.h"
#include "platform/qt/QtErrorSink.h"
#include "platform/qt/QtLabel.h"
#include "platform/qt/QtTimer.h"
#include "platform/qt/QtWindow.h"

namespace platform {

struct QtForm final {
    explicit QtForm(const std::string& executableFolder);
    // Stops all three timers, so no tick reaches the logic (start-up failed, or the window has closed).
    void StopTimers();

    QtWindow window;
    QtTimer tmrTimer2;
    QtTimer tmrTimer1;
    QtTimer tmrTime;
    QtButton cmdTime;
    QtButtonArray cmdCommand;
    QtLabel lblTimer1Desc;
    QtLabel lblTimer2Desc;
    QtLabel lblTimer2;
    QtLabel lblTimer1;
    QtLabel lblCaption;
    QtClock clock;
    QtBrowser browser;
    QtDisplaySleep displaySleep;
    QtErrorSink errors;
};

}  // namespace platform
