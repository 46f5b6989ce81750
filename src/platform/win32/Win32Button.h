// Push buttons: the clock button and the members of the bar's button array,
// real BUTTON controls in the window's font. Geometry is kept in twips exactly
// as given, so the logic reads back what it wrote; the control sits on the
// nearest pixels.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/ControlRules.h"
#include "platform/win32/Win32Window.h"

namespace platform {

// Whether the button can be pressed and hold the focus; the wall clock is
// read, never pressed, and stays out of the keyboard's way.
enum class Pressable { Yes, No };

class Win32Button final : public PlacedButton, private ChildControl {
public:
    Win32Button(Win32Window& parent, const std::string& caption, const TwipRect& geometry,
                Pressable pressable = Pressable::Yes);
    // The control itself goes once the message being handled is over: the
    // button may be the one whose click is being handled.
    ~Win32Button() override;
    Win32Button(const Win32Button&) = delete;
    Win32Button& operator=(const Win32Button&) = delete;

    std::string Caption() const override { return caption_; }
    void SetCaption(const std::string& caption) override;
    bool Enabled() const override;
    void SetEnabled(bool enabled) override;
    bool Visible() const override;
    void SetVisible(bool visible) override;
    void BringToFront() override;

    HWND Handle() const { return hwnd_; }
    std::function<void()> onClick;

private:
    void Clicked() override;
    static LRESULT CALLBACK Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);
    void Place() override;

    Win32Window& parent_;
    HWND hwnd_ = nullptr;
    std::string caption_;
    Pressable pressable_;
};

class Win32ButtonArray final : public ButtonArrayOf<Win32Button> {
public:
    // Creates member 0 with the design caption and geometry.
    Win32ButtonArray(Win32Window& parent, const std::string& caption, const TwipRect& geometry);
    ~Win32ButtonArray() override;

private:
    // Member 0's look: the window's font, which all share.
    std::unique_ptr<Win32Button> NewMember() override;
    void Connect(int index, Win32Button& member) override;

    Win32Window& parent_;
};

}  // namespace platform
