// A caption label on the window: a real STATIC control (so a screen reader
// reads it, as on Linux), drawn with a transparent background straight onto
// the window, sized to its caption in its own font as the layout expects.
#pragma once

#include <windows.h>

#include <string>

#include "platform/ControlRules.h"
#include "platform/win32/Win32Window.h"

namespace platform {

class Win32Label final : public FontedLabel, private ChildControl {
public:
    Win32Label(Win32Window& parent, const std::string& caption, double left, double top, TextAlignment alignment);
    Win32Label(Win32Window& parent, const LabelStart& start)
        : Win32Label(parent, start.caption, start.left, start.top, start.alignment) {}
    ~Win32Label() override;
    Win32Label(const Win32Label&) = delete;
    Win32Label& operator=(const Win32Label&) = delete;

    std::string Caption() const override { return caption_; }
    void SetCaption(const std::string& caption) override;
    Colour ForeColor() const override { return colour_; }
    void SetForeColor(Colour colour) override;
    bool Visible() const override;
    void SetVisible(bool visible) override;
    double Left() const override { return left_; }
    double Top() const override { return top_; }
    double Width() const override;
    double Height() const override;
    void Move(double left, double top) override;

    HWND Handle() const { return hwnd_; }
    // The face Windows chose for the label's font.
    std::string ActualFace() const;

private:
    COLORREF TextColour() const override { return colour_; }
    void ApplyFont() override;
    void FitToText();
    RECT PixelRect() const;
    // A transparent STATIC leaves its old text behind ("03:00" under
    // "02:59"): the window repaints what lies under it first.
    void Repaint(const RECT& before);

    Win32Window& parent_;
    HWND hwnd_ = nullptr;
    HFONT hfont_ = nullptr;
    std::string caption_;
    // Kept as given: the layout may place a label on a half twip and reads it back.
    double left_;
    double top_;
    SIZE pixels_{};
    Colour colour_;
};

}  // namespace platform
