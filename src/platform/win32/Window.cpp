#include "platform/win32/Window.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "platform/FileSystem.h"
#include "platform/win32/Picture.h"
#include "platform/win32/Win32UserPath.h"
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

std::optional<Key> LogicKey(WPARAM virtualKey, bool withModifier) {
    if (withModifier) return std::nullopt;
    switch (virtualKey) {
    case VK_SPACE: return Key::Space;
    case VK_RETURN: return Key::Enter;
    case VK_LEFT: return Key::Left;
    case VK_RIGHT: return Key::Right;
    case 'R': return Key::R;
    case VK_BACK: return Key::Backspace;
    case VK_PRIOR: return Key::PageUp;
    case VK_NEXT: return Key::PageDown;
    default: return std::nullopt;
    }
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

bool Win32Window::LoadPicture(const std::string& path) {
    if (path.empty()) return false;
    // A picture that cannot be shown whole keeps the background already shown.
    const std::string file = ResolveUserPath(path, executableFolder_);
    // Only a regular file: a pipe or a device named in the configuration could block the window.
    const PictureFault fault = PictureFileFault(file);
    if (fault == PictureFault::NotRegular) throw FileError(BackgroundNotRegularMessage(path));
    if (fault != PictureFault::None) return false;
    const DecodedPicture decoded = DecodePictureFile(NativePath(file), PictureBounds{});
    if (decoded.bitmap == nullptr) return false;
    if (picture_ != nullptr) ::DeleteObject(picture_);
    picture_ = decoded.bitmap;
    pictureSize_ = decoded.size;
    ::InvalidateRect(hwnd_, nullptr, TRUE);
    return true;
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
    HMONITOR monitor = ::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT frame{};
    ::GetWindowRect(hwnd_, &frame);
    if (::GetMonitorInfoW(monitor, &info)) {
        const RECT& work = info.rcWork;
        const LONG width = frame.right - frame.left;
        const LONG height = frame.bottom - frame.top;
        ::SetWindowPos(hwnd_, nullptr, work.left + std::max(0L, (work.right - work.left - width) / 2),
                       work.top + std::max(0L, (work.bottom - work.top - height) / 2), 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::ShowWindow(hwnd_, SW_SHOWNORMAL);
    ::UpdateWindow(hwnd_);
}

bool Win32Window::IsVisible() const { return ::IsWindowVisible(hwnd_) != 0; }

bool Win32Window::HandleKey(UINT message, WPARAM key, LPARAM flags) {
    const bool press = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    const bool repeat = press && (flags & (1L << 30)) != 0;
    if (onViewKey && onViewKey(message, key, flags)) return true;
    if (key == VK_F2) {
        if (press && !repeat && onSummary) onSummary();
        return true;
    }
    // F11 and Esc change only how the window is shown; the logic never hears of them.
    if (key == VK_F11) {
        if (press && !repeat) ToggleFullScreen();
        return true;
    }
    if (key == VK_ESCAPE && fullScreen_) {
        if (press) LeaveFullScreen();
        return true;
    }
    const bool system = message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
    if (!LogicKey(key, system || ::GetKeyState(VK_CONTROL) < 0)) return false;
    if (press && !repeat) {
        // A held key would otherwise toggle pause and continue several times
        // a second; a key that pressed nothing on this page goes to the focused button.
        if (!onKey || !onKey(*LogicKey(key, false))) return false;
        takenKeys_.insert(key);
        return true;
    }
    // A taken key stays taken while it repeats and up to its release: a
    // button that saw only the release of Space would count it as a click.
    const bool taken = takenKeys_.contains(key);
    if (!press) takenKeys_.erase(key);
    return taken;
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
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    HFONT font = nullptr;
    if (::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi_)) {
        font = ::CreateFontIndirectW(&metrics.lfMessageFont);
    }
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
