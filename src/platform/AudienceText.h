// The audience view's texts for assistive technology, the same on every
// front end: a screen reader names the view by the caption (or the title on
// the home page) and reads each countdown, with its side and any overtime,
// as its description.
#pragma once

#include <string>
#include <vector>

#include "platform/AudienceView.h"

namespace platform {

// "mm:ss" for a count of seconds; a negative count reads "00:00".
std::string MinutesAndSeconds(int seconds);

// A setting's text on one line: each line end (CR LF, CR or LF) becomes a space.
std::string OneLine(const std::string& text);

// A stage page's countdowns as the view shows them: in order, each marked
// waiting while the other side's runs (it is drawn dimmed), and the longest
// of their texts, which sets the one size they share.
struct ShownCountdown {
    const AudienceCountdown* countdown = nullptr;
    bool waiting = false;
};
struct ShownCountdowns {
    std::vector<ShownCountdown> shown;
    std::string widest;
};
ShownCountdowns CountdownsShown(const AudienceFrame& frame);

std::string AudienceNameText(const AudienceFrame& frame);
std::string AudienceDescriptionText(const AudienceFrame& frame);

}  // namespace platform
