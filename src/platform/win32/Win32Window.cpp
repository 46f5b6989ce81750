#include "platform/win32/Win32Window.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "platform/win32/MessageFont.h"
#include "platform/win32/Picture.h"
#include "platform/win32/Wide.h"
#include "platform/win32/WindowClass.h"

namespace platform {
namespace {

constexpr wchar_t kClassName[] = L"TolvanexaWindow";
// The client area the design was drawn for, at 96 DPI: 15000 x 10515 twips.
constexpr int kDesignWidthPx = 1000;
constexpr int kDesignHeightPx = 701;
constexpr double kTwipsPerInch = 1440;
constexpr UINT kTickMessage = WM_APP + 1;
constexpr UINT kDestroyMessage = WM_APP + 2;
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;

std::vector<std::wstring> Lines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L"\r\n", start)) != std::wstring::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    lines.push_back(text.substr(start));
    return lines;
}

}  // namespace

void ChildControl::Attach(HWND child, ChildControl* control) {
    ::SetWindowLongPtrW(child, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
}

ChildControl* ChildControl::Of(HWND child) {
    return reinterpret_cast<ChildControl*>(::GetWindowLongPtrW(child, GWLP_USERDATA));
}

KeyStroke Win32KeyStroke(UINT message, WPARAM key, LPARAM flags) {
    KeyStroke stroke;
    stroke.press = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    // Bit 30: the key was down before this message, so a press is the keyboard's repeat.
    stroke.repeat = stroke.press && (flags & (1L << 30)) != 0;
    stroke.modified = message == WM_SYSKEYDOWN || message == WM_SYSKEYUP || ::GetKeyState(VK_CONTROL) < 0;
    switch (key) {
    case VK_SPACE: stroke.name = KeyName::Space; break;
    case VK_RETURN: stroke.name = KeyName::Enter; break;
    case VK_LEFT: stroke.name = KeyName::Left; break;
    case VK_RIGHT: stroke.name = KeyName::Right; break;
    case 'R': stroke.name = KeyName::R; break;
    case VK_BACK: stroke.name = KeyName::Backspace; break;
    case VK_PRIOR: stroke.name = KeyName::PageUp; break;
    case VK_NEXT: stroke.name = KeyName::PageDown; break;
    case VK_F2: stroke.name = KeyName::F2; break;
    case VK_F5: stroke.name = KeyName::F5; break;
    case VK_F11: stroke.name = KeyName::F11; break;
    case VK_ESCAPE: stroke.name = KeyName::Escape; break;
    default: stroke.name = KeyName::Other; break;
    }
    return stroke;
}

RECT PlaceWithin(SIZE size, const RECT& area) {
    const LONG width = std::min(size.cx, area.right - area.left);
    const LONG height = std::min(size.cy, area.bottom - area.top);
    const LONG left = area.left + (area.right - area.left - width) / 2;
    const LONG top = area.top + (area.bottom - area.top - height) / 2;
    return {left, top, left + width, top + height};
}

std::wstring DisplayText(const std::string& text) {
    const std::wstring wide = ToWide(text);
    std::wstring shown;
    shown.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] == L'\r' || wide[i] == L'\n') {
            shown += L"\r\n";
            if (wide[i] == L'\r' && i + 1 < wide.size() && wide[i + 1] == L'\n') ++i;
        } else {
            shown += wide[i];
        }
    }
    return shown;
}

Win32Window::Win32Window(std::string executableFolder) : executableFolder_(std::move(executableFolder)) {
    static const bool registered = RegisterWindowClass(
        {kClassName, &Win32Window::Procedure, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), true});
    (void)registered;
    hwnd_ = ::CreateWindowExW(0, kClassName, L"", kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, kDesignWidthPx,
                              kDesignHeightPx, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    if (hwnd_ == nullptr) throw std::runtime_error("无法创建计时器窗口");
    dpi_ = ::GetDpiForWindow(hwnd_);
    if (dpi_ == 0) dpi_ = USER_DEFAULT_SCREEN_DPI;
    MakeFont();
    MakeHint();
    RECT frame{0, 0, ::MulDiv(kDesignWidthPx, static_cast<int>(dpi_), 96),
               ::MulDiv(kDesignHeightPx, static_cast<int>(dpi_), 96)};
    ::AdjustWindowRectExForDpi(&frame, kWindowStyle, FALSE, 0, dpi_);
    ::SetWindowPos(hwnd_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

Win32Window::~Win32Window() {
    onClose = nullptr;
    onResize = nullptr;
    onKey = nullptr;
    if (hwnd_ != nullptr) {
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        ::DestroyWindow(hwnd_);
    }
    if (font_ != nullptr) ::DeleteObject(font_);
    if (picture_ != nullptr) ::DeleteObject(picture_);
}

int Win32Window::ToPixels(double twips) const {
    // Nearest pixel; a value no control could take (NaN, far beyond any
    // screen) is held to a size Windows accepts instead of overflowing an int.
    constexpr double kLimit = 1 << 24;
    const double pixels = twips * dpi_ / kTwipsPerInch;
    if (std::isnan(pixels)) return 0;
    return static_cast<int>(std::lround(std::clamp(pixels, -kLimit, kLimit)));
}

double Win32Window::ToTwips(double pixels) const { return pixels * kTwipsPerInch / dpi_; }

double Win32Window::ScaleWidth() const {
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    return ToTwips(client.right - client.left);
}

double Win32Window::ScaleHeight() const {
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    return ToTwips(client.bottom - client.top);
}

SIZE Win32Window::Measure(const std::string& text) const {
    HDC dc = ::GetDC(hwnd_);
    HGDIOBJ previous = ::SelectObject(dc, font_);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    SIZE extent{0, 0};
    const std::vector<std::wstring> lines = Lines(DisplayText(text));
    for (const std::wstring& line : lines) {
        SIZE size{};
        ::GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
        extent.cx = std::max(extent.cx, size.cx);
    }
    extent.cy = metrics.tmHeight * static_cast<LONG>(lines.size());
    ::SelectObject(dc, previous);
    ::ReleaseDC(hwnd_, dc);
    return extent;
}

double Win32Window::TextWidth(const std::string& text) const { return ToTwips(Measure(text).cx); }

double Win32Window::TextHeight(const std::string& text) const { return ToTwips(Measure(text).cy); }

std::string Win32Window::Title() const {
    std::wstring title(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    title.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd_, title.data(), static_cast<int>(title.size()))));
    return ToUtf8(title);
}

void Win32Window::SetTitle(const std::string& title) { ::SetWindowTextW(hwnd_, ToWide(title).c_str()); }

PictureFault Win32Window::LoadPicture(const std::string& path) {
    // A picture that cannot be shown keeps the background already shown.
    const DecodedPicture decoded = ReadPicture(path, executableFolder_, PictureUse::TopLeft, LargestScreen());
    if (decoded.fault != PictureFault::None) return decoded.fault;
    if (picture_ != nullptr) ::DeleteObject(picture_);
    picture_ = decoded.bitmap;
    pictureSize_ = decoded.size;
    ::InvalidateRect(hwnd_, nullptr, TRUE);
    return PictureFault::None;
}

void Win32Window::ClearPicture() {
    if (picture_ == nullptr) return;
    ::DeleteObject(picture_);
    picture_ = nullptr;
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32Window::Close() {
    if (onClose) {
        onClose();
    } else {
        ::ShowWindow(hwnd_, SW_HIDE);
    }
}



bool Win32Window::Confirm(const std::string& question) {
    confirming_ = true;
    const int answer = ::MessageBoxW(hwnd_, DisplayText(question).c_str(), ToWide(Title()).c_str(),
                                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    confirming_ = false;
    return answer == IDYES;
}

void Win32Window::BringToFront() {
    if (::IsIconic(hwnd_)) ::ShowWindow(hwnd_, SW_RESTORE);
    ::SetForegroundWindow(hwnd_);
}

void Win32Window::Show() {
    PlaceOnScreen();
    ::ShowWindow(hwnd_, SW_SHOWNORMAL);
    ::UpdateWindow(hwnd_);
    if (onShown) onShown();
}

// The design's size at the window's DPI, as large as its screen's work area
// allows: at 150 % on a laptop or on a 720p projector the bar along the
// bottom edge and the clock stay on the screen, above the taskbar.
void Win32Window::PlaceOnScreen() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &info)) return;
    RECT frame{0, 0, ::MulDiv(kDesignWidthPx, static_cast<int>(dpi_), 96),
               ::MulDiv(kDesignHeightPx, static_cast<int>(dpi_), 96)};
    ::AdjustWindowRectExForDpi(&frame, kWindowStyle, FALSE, 0, dpi_);
    const RECT placed = PlaceWithin({frame.right - frame.left, frame.bottom - frame.top}, info.rcWork);
    ::SetWindowPos(hwnd_, nullptr, placed.left, placed.top, placed.right - placed.left, placed.bottom - placed.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Win32Window::IsVisible() const { return ::IsWindowVisible(hwnd_) != 0; }

bool Win32Window::HandleKey(UINT message, WPARAM key, LPARAM flags) {
    KeyHooks hooks;
    hooks.logic = onKey;
    hooks.summary = onSummary;
    hooks.toggleFullScreen = [this] { ToggleFullScreen(); };
    hooks.leaveFullScreen = [this] { LeaveFullScreen(); };
    hooks.toggleAudience = audienceKeys.toggle;
    hooks.closeAudience = audienceKeys.close;
    hooks.pressFocused = [this] {
        const HWND focus = ::GetFocus();
        wchar_t kind[8] = {};
        if (focus == nullptr || !::IsChild(hwnd_, focus) || !::IsWindowEnabled(focus) ||
            ::GetClassNameW(focus, kind, 8) == 0 || ::lstrcmpiW(kind, L"Button") != 0) {
            return false;
        }
        ::SendMessageW(focus, BM_CLICK, 0, 0);
        return true;
    };
    const bool audienceOpen = audienceKeys.isOpen && audienceKeys.isOpen();
    return keys_.Route(Win32KeyStroke(message, key, flags), {fullScreen_, audienceOpen}, hooks);
}

// Tab and Shift+Tab move between the bar's buttons, and show the focus mark.
// The dialog manager is asked only for the next button, so its Enter, Esc and
// arrows never reach past the key policy.
bool Win32Window::MoveFocus(MSG& message) {
    const bool tab = message.message == WM_KEYDOWN && message.wParam == VK_TAB;
    if (!tab || (message.hwnd != hwnd_ && !::IsChild(hwnd_, message.hwnd))) return false;
    const bool back = ::GetKeyState(VK_SHIFT) < 0;
    const HWND focus = ::GetFocus();
    // The layout brings each later button of the bar to the front, so along
    // the bar is backwards through the window's children, and back is forwards.
    const HWND next = ::GetNextDlgTabItem(hwnd_, ::IsChild(hwnd_, focus) ? focus : nullptr, back ? FALSE : TRUE);
    if (next != nullptr) ::SetFocus(next);
    ::SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    return true;
}

void Win32Window::DestroyLater(HWND child) {
    ::ShowWindow(child, SW_HIDE);
    ::PostMessageW(hwnd_, kDestroyMessage, reinterpret_cast<WPARAM>(child), 0);
}

int Win32Window::RegisterTicks(std::function<void(unsigned)> tick) {
    const int id = nextTicks_++;
    ticks_[id] = std::move(tick);
    return id;
}

void Win32Window::UnregisterTicks(int id) { ticks_.erase(id); }

void Win32Window::PostTick(int id, unsigned generation) const {
    ::PostMessageW(hwnd_, kTickMessage, static_cast<WPARAM>(id), static_cast<LPARAM>(generation));
}

void Win32Window::AddDpiListener(const void* owner, std::function<void()> listener) {
    dpiListeners_.emplace_back(owner, std::move(listener));
}

void Win32Window::RemoveDpiListener(const void* owner) {
    std::erase_if(dpiListeners_, [owner](const auto& entry) { return entry.first == owner; });
}

LRESULT CALLBACK Win32Window::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = WindowOwner<Win32Window>(hwnd, message, lParam);
    if (self == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCCREATE) self->hwnd_ = hwnd;
    return self->Handle(message, wParam, lParam);
}

LRESULT Win32Window::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED && onResize) onResize();
        PlaceHint();
        return 0;
    case WM_TIMER:
        if (wParam == kHintTimer) {
            HideHint();
            return 0;
        }
        break;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        if (HandleKey(message, wParam, lParam)) return 0;
        break;
    case WM_COMMAND:
        if (lParam != 0 && HIWORD(wParam) == BN_CLICKED) {
            if (ChildControl* child = ChildControl::Of(reinterpret_cast<HWND>(lParam))) child->Clicked();
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC: {
        // Labels are drawn straight onto the window's surface in their own colour.
        HDC dc = reinterpret_cast<HDC>(wParam);
        const ChildControl* child = ChildControl::Of(reinterpret_cast<HWND>(lParam));
        ::SetTextColor(dc, child != nullptr ? child->TextColour() : ::GetSysColor(COLOR_WINDOWTEXT));
        if (HBRUSH background = child != nullptr ? child->Background() : nullptr) {
            LOGBRUSH fill{};
            ::GetObjectW(background, sizeof fill, &fill);
            ::SetBkColor(dc, fill.lbColor);
            return reinterpret_cast<LRESULT>(background);
        }
        ::SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
    }
    case kTickMessage: {
        const auto found = ticks_.find(static_cast<int>(wParam));
        if (found != ticks_.end()) found->second(static_cast<unsigned>(lParam));
        return 0;
    }
    case kDestroyMessage: {
        const HWND child = reinterpret_cast<HWND>(wParam);
        if (::IsWindow(child) && ::GetParent(child) == hwnd_) ::DestroyWindow(child);
        return 0;
    }
    case WM_DPICHANGED:
        ChangeDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_CLOSE:
        // The logic may ask first, while a countdown runs. A second request
        // while its question is open is the same request.
        if (confirming_) return 0;
        if (onCloseRequest && !onCloseRequest()) return 0;
        Close();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam && onEndSession) onEndSession();
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Win32Window::Paint() {
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(hwnd_, &paint);
    if (picture_ != nullptr) {
        // Unscaled as on Linux, where a picture's pixels are the desktop's
        // logical pixels: on a screen above 96 DPI it grows with the text.
        HDC memory = ::CreateCompatibleDC(dc);
        HGDIOBJ previous = ::SelectObject(memory, picture_);
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ::AlphaBlend(dc, 0, 0, ::MulDiv(pictureSize_.cx, static_cast<int>(dpi_), 96),
                     ::MulDiv(pictureSize_.cy, static_cast<int>(dpi_), 96), memory, 0, 0, pictureSize_.cx,
                     pictureSize_.cy, blend);
        ::SelectObject(memory, previous);
        ::DeleteDC(memory);
    }
    ::EndPaint(hwnd_, &paint);
}

void Win32Window::ChangeDpi(UINT dpi, const RECT* suggested) {
    dpi_ = dpi == 0 ? USER_DEFAULT_SCREEN_DPI : dpi;
    MakeFont();
    ::SendMessageW(hint_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    for (const auto& [owner, listener] : dpiListeners_) listener();
    if (suggested != nullptr) {
        ::SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::InvalidateRect(hwnd_, nullptr, TRUE);
}

// The system's message font (Microsoft YaHei UI on a Chinese Windows) at the window's DPI.
void Win32Window::MakeFont() {
    HFONT font = CreateMessageFont(dpi_);
    if (font == nullptr) return;
    if (font_ != nullptr) ::DeleteObject(font_);
    font_ = font;
}

void Win32Window::ToggleFullScreen() {
    if (fullScreen_) {
        LeaveFullScreen();
        return;
    }
    MONITORINFO info{};
    info.cbSize = sizeof info;
    placement_.length = sizeof placement_;
    if (!::GetWindowPlacement(hwnd_, &placement_) ||
        !::GetMonitorInfoW(::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &info)) {
        return;
    }
    windowedStyle_ = ::GetWindowLongPtrW(hwnd_, GWL_STYLE);
    ::SetWindowLongPtrW(hwnd_, GWL_STYLE, (windowedStyle_ & ~WS_OVERLAPPEDWINDOW) | WS_POPUP);
    const RECT& screen = info.rcMonitor;
    ::SetWindowPos(hwnd_, HWND_TOP, screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top,
                   SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    fullScreen_ = true;
}

void Win32Window::LeaveFullScreen() {
    if (!fullScreen_) return;
    fullScreen_ = false;
    ::SetWindowLongPtrW(hwnd_, GWL_STYLE, windowedStyle_);
    ::SetWindowPlacement(hwnd_, &placement_);
    ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
}

}  // namespace platform
