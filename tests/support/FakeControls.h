// Fakes of the window's platform: controls that remember what was done to
// them, timers that tick by hand, a clock set by the test, and recorders for
// sounds, the browser, the display's sleep and error messages.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/Window.h"

namespace testsupport {

// Half-width characters count 1, every other character 2: a stand-in for
// proportional text in which CJK characters are twice as wide as digits.
int TextUnits(const std::string& utf8);

// A label that sizes itself to its caption whenever caption or font change:
// each unit of text is size × 10 twips wide plus one pixel, and the height is
// size × 20 twips plus one pixel (at 72 pt "00:00" is 3615 × 1455, as designed).
// Until then it keeps the size it was created with.
class FakeLabel final : public platform::Label {
public:
    FakeLabel(std::string caption, platform::FontAttributes font, double left, double top, double width,
              double height);

    std::string Caption() const override { return caption_; }
    void SetCaption(const std::string& caption) override;
    platform::Colour ForeColor() const override { return colour_; }
    void SetForeColor(platform::Colour colour) override { colour_ = colour; }
    bool Visible() const override { return visible_; }
    void SetVisible(bool visible) override { visible_ = visible; }
    double Left() const override { return left_; }
    double Top() const override { return top_; }
    double Width() const override { return width_; }
    double Height() const override { return height_; }
    void Move(double left, double top) override;

    platform::FontAttributes Font() const override { return font_; }
    void SetFontName(const std::string& name) override;
    bool SetFontSize(double points) override;
    void SetFontBold(bool on) override { font_.bold = on; }
    void SetFontItalic(bool on) override { font_.italic = on; }
    void SetFontUnderline(bool on) override { font_.underline = on; }

    // Sets the size directly, as a test that wants other extents does.
    void SetSize(double width, double height);

    int fontNameCalls = 0;

private:
    void AutoSize();

    std::string caption_;
    platform::FontAttributes font_;
    double left_, top_, width_, height_;
    platform::Colour colour_ = platform::kBlack;
    bool visible_ = true;
};

class FakeButton final : public platform::Button {
public:
    FakeButton(std::string caption, double left, double top, double width, double height);

    std::string Caption() const override { return caption_; }
    void SetCaption(const std::string& caption) override { caption_ = caption; }
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override { enabled_ = enabled; }
    bool Visible() const override { return visible_; }
    void SetVisible(bool visible) override { visible_ = visible; }
    double Left() const override { return left_; }
    double Top() const override { return top_; }
    double Width() const override { return width_; }
    double Height() const override { return height_; }
    void SetLeft(double left) override;
    void SetTop(double top) override;
    void SetWidth(double width) override;
    void SetHeight(double height) override;
    void Move(double left, double top) override;
    void BringToFront() override;

    // Geometry writes, to tell whether a layout touched the button at all.
    int geometryWrites = 0;
    // When the button was last brought to the front (a count shared by all buttons).
    long frontStamp = 0;

private:
    std::string caption_;
    double left_, top_, width_, height_;
    bool enabled_ = true;
    bool visible_ = true;
};

class FakeButtonArray final : public platform::ButtonArray {
public:
    FakeButtonArray();

    int LBound() const override;
    int UBound() const override;
    platform::Button& operator[](int index) override;
    // Throws std::logic_error for an index that is not UBound() + 1.
    void Load(int index) override;
    // Throws std::logic_error for 0 or a member that does not exist.
    void Unload(int index) override;

    FakeButton& At(int index);
    int Count() const { return static_cast<int>(buttons_.size()); }
    // Caption of every member from 0 up, "|" between them: the list the bar shows.
    std::string Captions() const;
    // Clicks member `index` as the user would.
    void Click(int index);

    std::vector<int> loaded;
    std::vector<int> unloaded;

private:
    std::map<int, std::unique_ptr<FakeButton>> buttons_;
};

// Client area 15000 × 10515 twips; text in the window's font measures 75 twips
// a unit of TextUnits wide (150 a CJK character) and 240 twips high, unless a
// width is given for that very text.
class FakeWindow final : public platform::Window {
public:
    double ScaleWidth() const override { return width; }
    double ScaleHeight() const override { return height; }
    double TextWidth(const std::string& text) const override;
    double TextHeight(const std::string& text) const override;
    std::string Title() const override { return title; }
    void SetTitle(const std::string& value) override { title = value; }
    bool LoadPicture(const std::string& path) override;
    void ClearPicture() override { picture.clear(); }
    void Close() override { ++closes; }

    // Changes the client size and delivers the resize event.
    void Resize(double newWidth, double newHeight);
    void Press(platform::Key key);

    double width = 15000;
    double height = 10515;
    std::map<std::string, double> textWidths;
    std::string title = "Tolvanexa";
    std::vector<std::string> pictures;  // files LoadPicture accepts
    std::string picture;                // the one shown
    int closes = 0;
};

class FakeTimer final : public platform::Timer {
public:
    bool Enabled() const override { return enabled; }
    void SetEnabled(bool value) override { enabled = value; }
    int Interval() const override { return interval; }
    void SetInterval(int milliseconds) override { interval = milliseconds; }

    // Delivers one tick if enabled, as the platform would; returns whether it did.
    bool Tick();
    // Delivers a tick even while disabled: a start-up or late event.
    void Fire();

    bool enabled = false;
    int interval = 0;
};

class FakeClock final : public platform::Clock {
public:
    platform::TimeOfDay Now() const override { return now; }
    platform::TimeOfDay now{12, 0, 0};
};

// Records each cue with the captions the watched labels had while it played.
class FakeSound final : public platform::Sound {
public:
    struct Played {
        std::string name;
        std::vector<std::string> captions;
    };
    void PlaySync(const std::string& name) override;

    std::vector<const platform::Label*> watched;
    std::vector<Played> played;
};

class FakeBrowser final : public platform::Browser {
public:
    void Open(const std::string& target) override { opened.push_back(target); }
    std::vector<std::string> opened;
};

class FakeDisplaySleep final : public platform::DisplaySleep {
public:
    void SetInhibited(bool inhibited) override { calls.push_back(inhibited); }
    std::vector<bool> calls;
};

class FakeErrorSink final : public platform::ErrorSink {
public:
    void Show(const std::string& message) override { messages.push_back(message); }
    std::vector<std::string> messages;
};

}  // namespace testsupport
