// What the configuration says about the audience view, read once at start-up
// and handed to the view; the view never writes a setting.
#pragma once

#include <string>

#include "platform/Controls.h"

namespace platform {

struct AudienceSettings {
    int screen = 0;              // AudienceScreen: 0 automatic, N the Nth screen left to right, then top to bottom
    std::string background;      // AudienceBackground as written; empty for none
    FontAttributes timerFont;    // face and style of the countdowns (TimerFont...); the view sets the size
    FontAttributes captionFont;  // ... and of the captions (CaptionFont...)
};

// Why a background picture is not shown.
enum class PictureFault {
    None,
    Missing,     // No file by that name, or a folder.
    NotRegular,  // A pipe or a device: never opened, since opening it may wait for good.
    TooLarge,    // Either side past kLargestPictureSide.
    Unreadable,
};

// The largest picture either side of which is read: a larger one would take
// hundreds of megabytes to decode for a screen that shows a fraction of it.
inline constexpr int kLargestPictureSide = 8192;

// What the main window's Background tells when it names a pipe or a device.
inline std::string BackgroundNotRegularMessage(const std::string& written) {
    return "背景图片“" + written + "”不是普通文件（而是管道、设备之类），程序没有打开它。";
}

}  // namespace platform
