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
#include "platform/Controls.h"
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

struct FakeLabel final : FakeControl<platform::Label> {
    FakeLabel(std::string text, double points, double x, double y, double w, double h)
        : FakeControl(std::move(text), x, y, w, h), font{"黑体", points} {}
    platform::Colour ForeColor() const override { return colour; }
    void SetForeColor(platform::Colour value) override { colour = value; }
    platform::FontAttributes Font() const override { return font; }
    void SetFontName(const std::string& name) override { font.name = name; }
    bool SetFontSize(double points) override { if (points > 0) font.size = points; return points > 0; }
    void SetFontBold(bool on) override { font.bold = on; } void SetFontItalic(bool on) override { font.italic = on; }
    void SetFontUnderline(bool on) override { font.underline = on; }

    platform::FontAttributes font;
    platform::Colour colour = platform::kBlack;
};

struct FakeButton final : FakeControl<platform::Button> {
    using FakeControl::FakeControl;
    bool Enabled() const override { return enabled; } void SetEnabled(bool value) override { enabled = value; }
    void SetLeft(double value) override { left = value; } void SetTop(double value) override { top = value; }
    void SetWidth(double value) override { width = value; } void SetHeight(double value) override { height = value; }
    void BringToFront() override {}
    bool enabled = true;
};

struct FakeButtonArray final : platform::ButtonArray {
    FakeButtonArray() { buttons[0] = std::make_unique<FakeButton>("Command1", 0, 0, 1095, 375); }
    int LBound() const override { return buttons.begin()->first; }
    int UBound() const override { return buttons.rbegin()->first; }
    platform::Button& operator[](int index) override { return At(index); }
    FakeButton& At(int index) { return *buttons.at(index); }
    // A new member is a hidden copy of member 0; any other order is the caller's fault.
    void Load(int index) override {
        if (index != UBound() + 1) throw std::logic_error("Load out of order");
        buttons[index] = std::make_unique<FakeButton>(At(0));
        At(index).visible = false;
    }
    void Unload(int index) override {
        if (index == 0 || buttons.erase(index) == 0) throw std::logic_error("Unload of no member");
    }
    // Every member's caption from 0 up, "|" between them: the list the bar shows.
    std::string Captions() const {
        std::string list;
        for (const auto& [index, button] : buttons) list += (index == 0 ? "" : "|") + button->caption;
        return list;
    }
    void Click(int index) { At(index); onClick(index); }  // only a member that is there

    std::map<int, std::unique_ptr<FakeButton>> buttons;
};

// Text in the window's font measures 75 twips a byte and 240 twips high.
struct FakeWindow final : platform::Window {
    double ScaleWidth() const override { return width; } double ScaleHeight() const override { return height; }
    double TextWidth(const std::string& text) const override { return 75.0 * static_cast<double>(text.size()); }
    double TextHeight(const std::string&) const override { return 240; }
    std::string Title() const override { return title; }
    void SetTitle(const std::string& value) override { title = value; }
    bool LoadPicture(const std::string&) override { return false; } void ClearPicture() override {}
    void Close() override { ++closes; }
    void ShowHint(const std::string& text) override { hints.push_back(text); }
    bool Confirm(const std::string& question) override { questions.push_back(question); return answer; }
    void Resize(double w, double h) { width = w, height = h; onResize(); }

    double width = 15000, height = 10515;
    std::string title;
    int closes = 0;
    std::vector<std::string> hints, questions;
    bool answer = true;  // to every question
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
