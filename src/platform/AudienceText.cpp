#include "platform/AudienceText.h"

#include <algorithm>

namespace platform {

std::string MinutesAndSeconds(int seconds) {
    const auto two = [](int n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    seconds = std::max(0, seconds);
    return two(seconds / 60) + ":" + two(seconds % 60);
}

std::string OneLine(const std::string& text) {
    std::string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            line += ' ';
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += text[i];
        }
    }
    return line;
}

ShownCountdowns CountdownsShown(const AudienceFrame& frame) {
    ShownCountdowns result;
    bool anyRunning = false;
    for (const AudienceCountdown& countdown : frame.countdowns) {
        if (!countdown.shown) continue;
        result.shown.push_back({&countdown, false});
        anyRunning = anyRunning || countdown.running;
        if (countdown.text.size() > result.widest.size()) result.widest = countdown.text;
    }
    for (ShownCountdown& entry : result.shown) entry.waiting = anyRunning && !entry.countdown->running;
    return result;
}

std::string AudienceNameText(const AudienceFrame& frame) {
    if (!frame.home || frame.caption.empty()) return OneLine(frame.home ? frame.title : frame.caption);
    return OneLine(frame.title) + "，" + OneLine(frame.caption);
}

std::string AudienceDescriptionText(const AudienceFrame& frame) {
    std::string description;
    if (frame.home) return description;
    for (const AudienceCountdown& countdown : frame.countdowns) {
        if (!countdown.shown) continue;
        if (!description.empty()) description += "；";
        description += countdown.side + " " + countdown.text;
        if (countdown.timeUp) description += "，超时 " + MinutesAndSeconds(countdown.overtimeSeconds);
    }
    return description;
}

}  // namespace platform
