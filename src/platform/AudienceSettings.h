// What the configuration says about the audience view, read once at start-up
// and handed to the view; the view never writes a setting.
#pragma once

#include <string>

#include "platform/Controls.h"
#include "platform/PicturePlan.h"

namespace platform {

struct AudienceSettings {
    int screen = 0;              // AudienceScreen: 0 automatic, N the Nth screen left to right, then top to bottom
    std::string background;      // AudienceBackground as written; empty for none
    FontAttributes timerFont;    // face and style of the countdowns (TimerFont...); the view sets the size
    FontAttributes captionFont;  // ... and of the captions (CaptionFont...)
};

}  // namespace platform
