#include "platform/win32/ErrorSink.h"

#include <algorithm>
#include <iostream>

#include "platform/win32/Wide.h"
#include "platform/win32/WindowClass.h"

namespace platform {
namespace {

constexpr wchar_t kClassName[] = L"TolvanexaMessage";
constexpr wchar_t kTitle[] = L"Tolvanexa";
constexpr wchar_t kOk[] = L"确定";
// In pixels at 96 DPI.
constexpr int kMargin = 16;
constexpr int kIconSize = 32;
constexpr int kTextWidth = 420;
constexpr int kButtonWidth = 88;
constexpr int kButtonHeight = 26;

void Log(const std::string& message) { std::cerr << "Tolvanexa: " << message << std::endl; }

struct Box {
    Win32ErrorSink* sink;
    std::string text;
};

}  // namespace

Win32ErrorSink::Win32ErrorSink(Win32Window& window) : window_(window) {
    static const bool registered =
        RegisterWindowClass({kClassName, &Win32ErrorSink::Procedure,
                             reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), false});
    (void)registered;
    window_.onShown = [this] { ShowWaiting(); };
}

Win32ErrorSink::~Win32ErrorSink() {
    window_.onShown = nullptr;
    const std::map<std::string, HWND> boxes = open_;
    for (const auto& [text, box] : boxes) ::DestroyWindow(box);
}

void Win32ErrorSink::Show(const std::string& message) {
    Log(message);
    ++messagesShown_;
    if (modality_ == Modality::Blocking) {
        const HWND owner = window_.IsVisible() ? window_.Handle() : nullptr;
        ::MessageBoxW(owner, DisplayText(message).c_str(), kTitle, MB_OK | MB_ICONWARNING);
        return;
    }
    const auto found = open_.find(message);
    if (found != open_.end()) {
        if (::IsWindowVisible(found->second)) ::SetWindowPos(found->second, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        return;
    }
    const HWND box = OpenBox(message);
    if (box == nullptr) return;
    open_[message] = box;
    // Start-up's message comes before the window is shown: shown then, it
    // would end up behind the window and never be read. It waits for the window.
    if (window_.IsVisible()) Present(box);
}

void Win32ErrorSink::ShowWaiting() {
    if (!window_.IsVisible()) return;
    for (const auto& [text, box] : open_) {
        if (!::IsWindowVisible(box)) Present(box);
    }
}

// Over the middle of the window as it is now, within its screen, in front,
// with "确定" taking Enter and Esc.
void Win32ErrorSink::Present(HWND box) {
    RECT owner{};
    RECT own{};
    ::GetWindowRect(window_.Handle(), &owner);
    ::GetWindowRect(box, &own);
    const LONG width = own.right - own.left;
    const LONG height = own.bottom - own.top;
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    ::GetMonitorInfoW(::MonitorFromWindow(window_.Handle(), MONITOR_DEFAULTTONEAREST), &screen);
    const RECT& work = screen.rcWork;
    const LONG left = std::clamp((owner.left + owner.right - width) / 2, work.left, std::max(work.left, work.right - width));
    const LONG top = std::clamp((owner.top + owner.bottom - height) / 2, work.top, std::max(work.top, work.bottom - height));
    ::SetWindowPos(box, HWND_TOP, left, top, 0, 0, SWP_NOSIZE);
    ::ShowWindow(box, SW_SHOWNORMAL);
    ::SetForegroundWindow(box);
    ::SetFocus(::GetDlgItem(box, IDOK));
}

int Win32ErrorSink::OpenBoxes() const { return static_cast<int>(open_.size()); }

bool Win32ErrorSink::RouteDialogMessage(MSG& message) {
    return std::any_of(open_.begin(), open_.end(),
                       [&message](const auto& entry) { return ::IsDialogMessageW(entry.second, &message) != 0; });
}

void Win32ErrorSink::ShowFatal(const std::string& message) {
    Log(message);
    ::MessageBoxW(nullptr, DisplayText(message).c_str(), kTitle, MB_OK | MB_ICONERROR);
}

// The box, not shown yet: a warning icon, the text wrapped to a readable
// width, and "确定"; owned by the window, so it stays above it and never
// outlives it.
HWND Win32ErrorSink::OpenBox(const std::string& message) {
    const UINT dpi = window_.Dpi();
    const auto px = [dpi](int pixels) { return ::MulDiv(pixels, static_cast<int>(dpi), 96); };
    const std::wstring text = DisplayText(message);
    HDC dc = ::GetDC(window_.Handle());
    HGDIOBJ previous = ::SelectObject(dc, window_.Font());
    RECT bounds{0, 0, px(kTextWidth), 0};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    ::SelectObject(dc, previous);
    ::ReleaseDC(window_.Handle(), dc);

    const int textLeft = px(kMargin) * 2 + px(kIconSize);
    const int textHeight = std::max<int>(bounds.bottom, px(kIconSize));
    RECT client{0, 0, textLeft + bounds.right + px(kMargin),
                px(kMargin) * 3 + textHeight + px(kButtonHeight)};
    constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    ::AdjustWindowRectExForDpi(&client, kStyle, FALSE, WS_EX_DLGMODALFRAME, dpi);
    auto* box = new Box{this, message};
    const HWND hwnd = ::CreateWindowExW(WS_EX_DLGMODALFRAME, kClassName, kTitle, kStyle, 0, 0,
                                        client.right - client.left, client.bottom - client.top, window_.Handle(),
                                        nullptr, ::GetModuleHandleW(nullptr), box);
    if (hwnd == nullptr) {
        delete box;
        return nullptr;
    }
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    const HWND icon = ::CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD | WS_VISIBLE | SS_ICON, px(kMargin),
                                        px(kMargin), px(kIconSize), px(kIconSize), hwnd, nullptr, instance, nullptr);
    ::SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(::LoadIconW(nullptr, IDI_WARNING)), 0);
    const HWND label = ::CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                                         textLeft, px(kMargin), bounds.right, textHeight, hwnd, nullptr, instance,
                                         nullptr);
    const int clientWidth = textLeft + bounds.right + px(kMargin);
    const HWND ok = ::CreateWindowExW(0, L"BUTTON", kOk, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                      clientWidth - px(kMargin) - px(kButtonWidth), px(kMargin) * 2 + textHeight,
                                      px(kButtonWidth), px(kButtonHeight), hwnd,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDOK)), instance, nullptr);
    for (const HWND child : {label, ok}) {
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(window_.Font()), FALSE);
    }
    return hwnd;
}

LRESULT CALLBACK Win32ErrorSink::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* box = WindowOwner<Box>(hwnd, message, lParam);
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            ::DestroyWindow(hwnd);
            return 0;
        }
        break;
    case WM_CLOSE:
        ::DestroyWindow(hwnd);
        return 0;
    case WM_NCDESTROY:
        if (box != nullptr) {
            box->sink->open_.erase(box->text);
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            delete box;
        }
        break;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace platform
