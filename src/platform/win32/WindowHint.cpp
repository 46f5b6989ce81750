// The hint of a first R or Backspace: a small label over the window's bottom
// edge, white on dark grey, for as long as the second press is waited for.
#include "platform/win32/Win32Window.h"

#include "platform/win32/Wide.h"

namespace platform {
namespace {

// The hint stays up as long as a second press of its key is waited for.
constexpr UINT kHintMilliseconds = 2000;
constexpr int kHintPadding = 6;       // pixels at 96 DPI, around the hint's text
constexpr int kHintBottomMargin = 4;  // between the hint and the window's bottom edge
constexpr COLORREF kHintBackground = RGB(0x30, 0x30, 0x30);
constexpr COLORREF kHintText = RGB(0xFF, 0xFF, 0xFF);

// The hint: white on dark grey, read and never clicked.
class HintControl final : public ChildControl {
public:
    HintControl() : brush_(::CreateSolidBrush(kHintBackground)) {}
    ~HintControl() override { ::DeleteObject(brush_); }
    HintControl(const HintControl&) = delete;
    HintControl& operator=(const HintControl&) = delete;
    COLORREF TextColour() const override { return kHintText; }
    HBRUSH Background() const override { return brush_; }

private:
    HBRUSH brush_;
};

HintControl& Hint() {
    static HintControl hint;
    return hint;
}

}  // namespace

void Win32Window::MakeHint() {
    hint_ = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_CENTER | SS_NOPREFIX | SS_CENTERIMAGE, 0, 0, 0, 0,
                              hwnd_, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ChildControl::Attach(hint_, &Hint());
    ::SendMessageW(hint_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
}

void Win32Window::ShowHint(const std::string& text) {
    if (onHint) onHint(text);
    if (text.empty()) {
        HideHint();
        return;
    }
    ::SetWindowTextW(hint_, DisplayText(text).c_str());
    PlaceHint();
    ::ShowWindow(hint_, SW_SHOWNA);
    KeepHintOnTop();
    ::SetTimer(hwnd_, kHintTimer, kHintMilliseconds, nullptr);  // a new hint has its full time
}

void Win32Window::HideHint() {
    ::KillTimer(hwnd_, kHintTimer);
    ::ShowWindow(hint_, SW_HIDE);
}

void Win32Window::PlaceHint() {
    if (hint_ == nullptr) return;
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hint_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(hint_, text.data(), static_cast<int>(text.size()))));
    const SIZE size = Measure(ToUtf8(text));
    const int padding = ::MulDiv(kHintPadding, static_cast<int>(dpi_), 96);
    const int width = size.cx + 4 * padding;
    const int height = size.cy + 2 * padding;
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    ::SetWindowPos(hint_, nullptr, (client.right - width) / 2,
                   client.bottom - height - ::MulDiv(kHintBottomMargin, static_cast<int>(dpi_), 96), width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::KeepHintOnTop() {
    if (hint_ != nullptr && ::IsWindowVisible(hint_)) {
        ::SetWindowPos(hint_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

}  // namespace platform
