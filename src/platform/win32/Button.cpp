#include "platform/win32/Button.h"

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
    : parent_(parent), geometry_(geometry), pressable_(pressable) {
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

void Win32Button::SetLeft(double left) {
    geometry_.left = left;
    Place();
}

void Win32Button::SetTop(double top) {
    geometry_.top = top;
    Place();
}

void Win32Button::SetWidth(double width) {
    geometry_.width = width;
    Place();
}

void Win32Button::SetHeight(double height) {
    geometry_.height = height;
    Place();
}

void Win32Button::Move(double left, double top) {
    geometry_.left = left;
    geometry_.top = top;
    Place();
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

// Both edges are rounded, not the width: neighbours that share an edge in
// twips share it in pixels too, so the bar's one-pixel overlaps stay one pixel.
void Win32Button::Place() {
    const int left = parent_.ToPixels(geometry_.left);
    const int top = parent_.ToPixels(geometry_.top);
    const int right = parent_.ToPixels(geometry_.left + geometry_.width);
    const int bottom = parent_.ToPixels(geometry_.top + geometry_.height);
    ::SetWindowPos(hwnd_, nullptr, left, top, std::max(0, right - left), std::max(0, bottom - top),
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

Win32ButtonArray::Win32ButtonArray(Win32Window& parent, const std::string& caption, const TwipRect& geometry)
    : parent_(parent) {
    auto& first = *members_.emplace(0, std::make_unique<Win32Button>(parent, caption, geometry)).first->second;
    Connect(0, first);
}

Win32ButtonArray::~Win32ButtonArray() = default;

void Win32ButtonArray::Load(int index) {
    if (index <= 0 || IsLoaded(index)) {
        throw std::invalid_argument("按钮数组的第 " + std::to_string(index) + " 号成员已存在或不能创建");
    }
    // A hidden copy of member 0's look: the window's font, which all share.
    auto member = std::make_unique<Win32Button>(parent_, "", TwipRect{});
    member->SetVisible(false);
    Connect(index, *member);
    members_.emplace(index, std::move(member));
}

void Win32ButtonArray::Unload(int index) {
    if (index == 0) throw std::invalid_argument("按钮数组的第 0 号成员不能删除");
    if (members_.erase(index) == 0) {
        throw std::out_of_range("按钮数组没有第 " + std::to_string(index) + " 号成员");
    }
}

Win32Button& Win32ButtonArray::Member(int index) {
    const auto found = members_.find(index);
    if (found == members_.end()) throw std::out_of_range("按钮数组没有第 " + std::to_string(index) + " 号成员");
    return *found->second;
}

void Win32ButtonArray::Connect(int index, Win32Button& member) {
    member.onClick = [this, index] {
        if (onClick) onClick(index);
    };
}

}  // namespace platform
