// The timer window as designed, the same for every front end: where each
// control starts (twips at the design size) with its first caption, the
// design's face and sizes, the ticks' period, and the title shown until the
// home page gives the configured one.
#pragma once

#include <initializer_list>

#include "platform/Controls.h"

namespace platform::design {

inline constexpr const char* kProductTitle = "Tolvanexa 辩论赛计时器";
inline constexpr int kTickMilliseconds = 1000;

struct ButtonStart {
    const char* caption;
    TwipRect geometry;
};
inline constexpr ButtonStart kClock{"XX:XX:XX", {8280, 4440, 1215, 495}};
inline constexpr ButtonStart kBar{"Command1", {0, 4560, 1095, 375}};  // member 0 of the bar

inline constexpr LabelStart kTimer1Desc{"timer1", 360, 2520, TextAlignment::Left};
inline constexpr LabelStart kTimer2Desc{"timer2", 480, 3960, TextAlignment::Left};
inline constexpr LabelStart kTimer2{"00:00", 4320, 3960, TextAlignment::Centre};
inline constexpr LabelStart kTimer1{"00:00", 4200, 2520, TextAlignment::Centre};
inline constexpr LabelStart kCaption{"Caption", 480, 480, TextAlignment::Left};

// The design's face for the caption and the countdowns with their sides, at
// their sizes, until the configuration's fonts are applied.
template <class Label>
void ApplyDesignFonts(Label& caption, std::initializer_list<Label*> countdowns) {
    constexpr const char* kFace = "黑体";
    caption.SetFontName(kFace);
    caption.SetFontSize(60);
    for (Label* label : countdowns) {
        label->SetFontName(kFace);
        label->SetFontSize(72);
    }
}

}  // namespace platform::design
