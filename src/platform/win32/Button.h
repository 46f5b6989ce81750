// Push buttons: the clock button and the members of the bar's button array,
// real BUTTON controls in the window's font. Geometry is kept in twips exactly
// as given, so the logic reads back what it wrote; the control sits on the
// nearest pixels.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/Controls.h"
#include "platform/win32/Window.h"

namespace platform {

// Whether the button can be pressed and hold the focus; the wall clock is
// read, never pressed, and stays out of the keyboard's way.
enum class Pressable { Yes, No };

class Win32Button final : public Button, private ChildControl {
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
    double Left() const override { return geometry_.left; }
    double Top() const override { return geometry_.top; }
    double Width() const override { return geometry_.width; }
    double Height() const override { return geometry_.height; }
    void SetLeft(double left) override;
    void SetTop(double top) override;
    void SetWidth(double width) override;
    void SetHeight(double height) override;
    void Move(double left, double top) override;
    void BringToFront() override;

    HWND Handle() const { return hwnd_; }
    std::function<void()> onClick;

private:
    void Clicked() override;
    static LRESULT CALLBACK Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data);
    void Place();

    Win32Window& parent_;
    HWND hwnd_ = nullptr;
    std::string caption_;
    TwipRect geometry_;
    Pressable pressable_;
};

class Win32ButtonArray final : public ButtonArray {
public:
    // Creates member 0 with the design caption and geometry.
    Win32ButtonArray(Win32Window& parent, const std::string& caption, const TwipRect& geometry);
    ~Win32ButtonArray() override;

    int LBound() const override { return 0; }
    int UBound() const override { return members_.rbegin()->first; }
    Button& operator[](int index) override { return Member(index); }
    void Load(int index) override;
    void Unload(int index) override;

    Win32Button& Member(int index);
    bool IsLoaded(int index) const { return members_.count(index) != 0; }

private:
    void Connect(int index, Win32Button& member);

    Win32Window& parent_;
    // Ordered by index; members above 0 may be unloaded from the bottom up,
    // so the indices are not always contiguous while the bar is rebuilt.
    std::map<int, std::unique_ptr<Win32Button>> members_;
};

}  // namespace platform
