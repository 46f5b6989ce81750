// Fakes of the window's platform: controls that remember, timers ticked by hand, a set clock, recorders.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/AudienceView.h"
#include "platform/ControlRules.h"
#include "platform/CueQueue.h"
#include "platform/DebateRecord.h"
#include "platform/Window.h"

namespace testsupport {

// What labels and buttons share. Labels keep their design sizes whatever their text.
template <class Control>
struct FakeControl : Control {
    FakeControl(std::string text, double x, double y, double w, double h)
        : caption(std::move(text)), left(x), top(y), width(w), height(h) {}
    std::string Caption() const override { return caption; }
    void SetCaption(const std::string& value) override { caption = value; }
    bool Visible() const override { return visible; } void SetVisible(bool value) override { visible = value; }
    double Left() const override { return left; } double Top() const override { return top; }
    double Width() const override { return width; } double Height() const override { return height; }
    void Move(double x, double y) override { left = x, top = y; }

    std::string caption;
    double left, top, width, height;
    bool visible = true;
};

// The font's rules are the real labels' own (FontedLabel).
struct FakeLabel final : FakeControl<platform::FontedLabel> {
    FakeLabel(std::string text, double points, double x, double y, double w, double h)
        : FakeControl(std::move(text), x, y, w, h) {
        font_ = {"黑体", points};
    }
    platform::Colour ForeColor() const override { return colour; }
    void SetForeColor(platform::Colour value) override { colour = value; }
    // The font the form was drawn with, before any setting.
    void SetDesignFont(const platform::FontAttributes& font) { font_ = font; }

    platform::Colour colour = platform::kBlack;

private:
    void ApplyFont() override {}
};

struct FakeButton final : FakeControl<platform::Button> {
    using FakeControl::FakeControl;
    bool Enabled() const override { return enabled; } void SetEnabled(bool value) override { enabled = value; }
    void SetLeft(double value) override { left = value; } void SetTop(double value) override { top = value; }
    void SetWidth(double value) override { width = value; } void SetHeight(double value) override { height = value; }
    void BringToFront() override {}
    bool enabled = true;
};

// What it loads, unloads and refuses is the real arrays' own (ButtonArrayOf).
struct FakeButtonArray final : platform::ButtonArrayOf<FakeButton> {
    FakeButtonArray() { Adopt(std::make_unique<FakeButton>("Command1", 0, 0, 1095, 375)); }
    // Every member's caption from 0 up, "|" between them: the list the bar shows.
    std::string Captions() const {
        std::string list;
        for (const auto& [index, button] : Members()) list += (index == 0 ? "" : "|") + button->caption;
        return list;
    }
    void Click(int index) { Member(index); onClick(index); }  // only a member that is there

private:
    // A copy of member 0; Click tells onClick itself.
    std::unique_ptr<FakeButton> NewMember() override { return std::make_unique<FakeButton>(Member(0)); }
    void Connect(int /*index*/, FakeButton& /*member*/) override {}
};

// Text in the window's font measures 75 twips a byte and 240 twips high.
struct FakeWindow final : platform::Window {
    double ScaleWidth() const override { return width; } double ScaleHeight() const override { return height; }
    double TextWidth(const std::string& text) const override { return 75.0 * static_cast<double>(text.size()); }
    double TextHeight(const std::string&) const override { return 240; }
    std::string Title() const override { return title; }
    void SetTitle(const std::string& value) override { title = value; }
    platform::PictureFault LoadPicture(const std::string& path) override {
        pictures.push_back(path);
        return pictureFault;
    }
    void ClearPicture() override {}
    void Close() override { ++closes; }
    void ShowHint(const std::string& text) override { hints.push_back(text); }
    bool Confirm(const std::string& question) override { questions.push_back(question); return answer; }
    void Resize(double w, double h) { width = w, height = h; onResize(); }

    double width = 15000, height = 10515;
    std::string title;
    int closes = 0;
    std::vector<std::string> hints, questions;
    bool answer = true;  // to every question
    std::vector<std::string> pictures;  // every path LoadPicture was given
    platform::PictureFault pictureFault = platform::PictureFault::None;  // what LoadPicture answers
};

// A timer whose ticks a test delivers by hand (Tick), or on its schedule as a
// fake steady clock moves (AdvanceTimers, once `steady` points at the clock).
struct FakeTimer final : platform::Timer {
    bool Enabled() const override { return enabled; }
    void SetEnabled(bool value) override { if (value && !enabled) Arm(1000); enabled = value; }
    void Arm(int first) override { enabled = true, firstDue = first, ++arms, due = (steady ? *steady : 0) + first; }
    int Interval() const override { return 1000; } void SetInterval(int) override {}
    // Delivers `count` ticks, each only while enabled, as the platform would.
    void Tick(int count = 1) { for (int i = 0; i < count && enabled; ++i) onTick(); }
    bool enabled = false;
    int firstDue = 1000;  // milliseconds from the last start or plan to its first tick
    int arms = 0;
    const std::int64_t* steady = nullptr;
    std::int64_t due = 0;  // the next tick's due time on `steady`
};

struct FakeClock final : platform::Clock {
    platform::LocalTime Now() const override { return now; }
    std::int64_t SteadyMilliseconds() const override { return steady; }
    platform::LocalTime now;  // 2000-01-01 midnight unless the test says otherwise
    std::int64_t steady = 0;  // moved by the test
};

// Moves the clock on by `milliseconds`, delivering each timer's ticks at
// their due times on an absolute schedule, as the platform's timers would.
inline void AdvanceTimers(FakeClock& clock, std::int64_t milliseconds, std::initializer_list<FakeTimer*> timers) {
    const std::int64_t end = clock.steady + milliseconds;
    for (;;) {
        FakeTimer* next = nullptr;
        for (FakeTimer* timer : timers)
            if (timer->enabled && timer->due <= end && (!next || timer->due < next->due)) next = timer;
        if (!next) break;
        clock.steady = std::max(clock.steady, next->due);
        const int arms = next->arms;
        next->onTick();
        if (next->arms == arms) next->due += 1000;  // not planned afresh by its tick
    }
    clock.steady = end;
}

// Records each cue asked for, with what the watched labels showed at that moment.
struct FakeSound final : platform::CueQueue {
    struct Played { std::string name; std::vector<std::string> captions; };
    void Play(const std::string& name) override {
        played.push_back({name, {}});
        for (const platform::Label* label : watched) played.back().captions.push_back(label->Caption());
    }
    void DropWaiting() override { ++drops; }
    void StopAll() override { ++stops; }
    platform::CueCheck Check(const std::string& name) override {
        const auto found = checks.find(name);
        return found == checks.end() ? platform::CueCheck{} : found->second;
    }
    std::vector<const platform::Label*> watched;
    std::vector<Played> played;
    std::map<std::string, platform::CueCheck> checks;  // what Check answers; a plain cue otherwise
    int drops = 0, stops = 0;
};

struct FakeAudienceView final : platform::AudienceView {
    void Publish(const platform::AudienceFrame& value) override { frame = value; ++published; }
    platform::AudienceFrame frame;
    int published = 0;
};

struct FakeRecorder final : platform::DebateRecorder {
    void Record(const platform::DebateEvent& event) override { events.push_back(event); }
    std::vector<platform::DebateEvent> events;
};

struct FakeBrowser final : platform::Browser {
    bool Open(const std::string& target) override { return opened.push_back(target), opens; }
    std::vector<std::string> opened;
    bool opens = true;  // what every Open answers
};

struct FakeDisplaySleep final : platform::DisplaySleep {
    void SetInhibited(bool inhibited) override { calls.push_back(inhibited); }
    std::vector<bool> calls;
};

struct FakeErrorSink final : platform::ErrorSink {
    void Show(const std::string& message) override { messages.push_back(message); }
    std::vector<std::string> messages;
};

}  // namespace testsupport
