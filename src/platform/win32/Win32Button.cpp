#include "platform/win32/Win32Button.h"

#include <commctrl.h>

#include <stdexcept>

#include "platform/win32/Wide.h"

namespace platform {
namespace {

constexpr UINT_PTR kSubclassId = 1;

// "&" would otherwise mark a mnemonic and vanish from the caption.
std::wstring ButtonText(const std::string& caption) {
    std::wstring text;
    for (const wchar_t c : DisplayText(caption)) {
        text += c;
        if (c == L'&') text += L'&';
    }
    return text;
}

}  // namespace

Win32Button::Win32Button(Win32Window& parent, const std::string& caption, const TwipRect& geometry,
                         Pressable pressable)
    : PlacedButton(geometry), parent_(parent), pressable_(pressable) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_PUSHBUTTON | BS_MULTILINE |
                        (pressable == Pressable::Yes ? WS_TABSTOP : 0);
    hwnd_ = ::CreateWindowExW(0, L"BUTTON", L"", style, 0, 0, 0, 0, parent.Handle(), nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
    if (hwnd_ == nullptr) throw std::runtime_error("无法创建按钮");
    ChildControl::Attach(hwnd_, this);
    ::SetWindowSubclass(hwnd_, &Win32Button::Subclass, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(parent.Font()), FALSE);
    parent_.AddDpiListener(this, [this] {
        ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(parent_.Font()), TRUE);
        Place();
    });
    SetCaption(caption);
    Place();
}

Win32Button::~Win32Button() {
    parent_.RemoveDpiListener(this);
    ::RemoveWindowSubclass(hwnd_, &Win32Button::Subclass, kSubclassId);
    ChildControl::Attach(hwnd_, nullptr);
    parent_.DestroyLater(hwnd_);
}

void Win32Button::SetCaption(const std::string& caption) {
    caption_ = caption;
    ::SetWindowTextW(hwnd_, ButtonText(caption).c_str());
}

bool Win32Button::Enabled() const { return ::IsWindowEnabled(hwnd_) != 0; }

void Win32Button::SetEnabled(bool enabled) {
    // A button that greys out while it has the focus would leave the
    // keyboard nowhere: the focus goes back to the window.
    if (!enabled && ::GetFocus() == hwnd_) ::SetFocus(parent_.Handle());
    ::EnableWindow(hwnd_, enabled ? TRUE : FALSE);
}

bool Win32Button::Visible() const { return (::GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }

void Win32Button::SetVisible(bool visible) {
    if (!visible && ::GetFocus() == hwnd_) ::SetFocus(parent_.Handle());
    ::ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

void Win32Button::BringToFront() {
    ::SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    parent_.KeepHintOnTop();
}

void Win32Button::Clicked() {
    if (onClick) onClick();
}

// Keys reach the window's logic before the focused button sees them; mouse
// presses never reach a button that is only read.
LRESULT CALLBACK Win32Button::Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                       DWORD_PTR data) {
    auto* self = reinterpret_cast<Win32Button*>(data);
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        if (self->parent_.HandleKey(message, wParam, lParam)) return 0;
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        if (self->pressable_ == Pressable::No) return 0;
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

void Win32Button::Place() {
    const PixelPlace place = ToPixelPlace(geometry_, [this](double twips) { return parent_.ToPixels(twips); });
    ::SetWindowPos(hwnd_, nullptr, place.left, place.top, place.width, place.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

Win32ButtonArray::Win32ButtonArray(Win32Window& parent, const std::string& caption, const TwipRect& geometry)
    : parent_(parent) {
    Adopt(std::make_unique<Win32Button>(parent, caption, geometry));
}

Win32ButtonArray::~Win32ButtonArray() = default;

std::unique_ptr<Win32Button> Win32ButtonArray::NewMember() {
    return std::make_unique<Win32Button>(parent_, "", TwipRect{});
}

void Win32ButtonArray::Connect(int index, Win32Button& member) {
    member.onClick = [this, index] {
        if (onClick) onClick(index);
    };
}

}  // namespace platform
