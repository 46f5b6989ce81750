// What the hall sees on the audience view: one plain value, published by the
// window's logic after every change, and painted by the platform to fill the
// screen it is on. The logic never learns whether the view is open.
#pragma once

#include <array>
#include <string>

namespace platform {

struct AudienceCountdown {
    bool shown = false;
    std::string text;          // as the main window shows it, "02:15"
    std::string side;          // "正方" or "反方"
    int secondsLeft = 0;
    int allowance = 0;         // the stage's seconds for this countdown
    bool running = false;
    bool red = false;          // 30 seconds or fewer left
    bool timeUp = false;       // stopped by its time running out, until the time-keeper's next action
    int overtimeSeconds = 0;   // whole seconds since time up, while timeUp holds

    bool operator==(const AudienceCountdown&) const = default;
};

struct AudienceFrame {
    bool home = true;
    std::string title;    // the configured application title
    std::string caption;  // the stage's caption as the main window shows it; on the home page the
                          // configured home caption, or empty (never the built-in "主页")
    std::array<AudienceCountdown, 2> countdowns;
    std::string clock;    // the wall clock's text

    bool operator==(const AudienceFrame&) const = default;
};

class AudienceView {
public:
    virtual ~AudienceView() = default;
    // The latest frame; the view keeps it and repaints only what changed.
    virtual void Publish(const AudienceFrame& frame) = 0;
};

// For a front end or a test that has no audience view.
class NoAudienceView final : public AudienceView {
public:
    void Publish(const AudienceFrame& /*frame*/) override {}
};

}  // namespace platform
