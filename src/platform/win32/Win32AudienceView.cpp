#include "platform/win32/Win32AudienceView.h"

#include <initguid.h>  // the annotation's property identifiers are defined here, once

#include <oleacc.h>

#include <algorithm>
#include <stdexcept>

#include "platform/AudienceText.h"
#include "platform/win32/Picture.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Window.h"
#include "platform/win32/WindowClass.h"

namespace platform {
namespace {

constexpr wchar_t kClassName[] = L"TolvanexaAudience";
// The pointer leaves the hall's screen when it has rested this long.
constexpr UINT kPointerRestMs = 2000;

struct Monitor {
    HMONITOR handle = nullptr;
    Box area;  // in the desktop's physical pixels: the program is aware of each screen's DPI
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC /*dc*/, LPRECT /*clip*/, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (::GetMonitorInfoW(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        reinterpret_cast<std::vector<Monitor>*>(list)->push_back(
            {monitor, {static_cast<double>(r.left), static_cast<double>(r.top), static_cast<double>(r.right - r.left),
                       static_cast<double>(r.bottom - r.top)}});
    }
    return TRUE;
}

std::vector<Monitor> Monitors() {
    std::vector<Monitor> monitors;
    ::EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

}  // namespace

Win32AudienceView::Win32AudienceView(Win32Window& main, std::string executableFolder)
    : main_(main), executableFolder_(std::move(executableFolder)),
      fonts_(std::make_unique<Win32AudienceFonts>(settings_)), digits_(MeasureDigitFace(*fonts_)) {
    static const bool registered = RegisterWindowClass({kClassName, &Win32AudienceView::Procedure, nullptr, true});
    (void)registered;
    // The hint is a child the buffer's painting leaves alone.
    hwnd_ = ::CreateWindowExW(0, kClassName, L"", WS_POPUP | WS_CLIPCHILDREN, 0, 0, 0, 0, nullptr, nullptr,
                              ::GetModuleHandleW(nullptr), this);
    if (hwnd_ == nullptr) throw std::runtime_error("无法创建观众屏幕窗口");
    hint_ = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | SS_CENTER | SS_NOPREFIX | SS_CENTERIMAGE, 0, 0, 0, 0, hwnd_,
                              nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowTextW(hwnd_, ToWide(AudienceNameText(frame_)).c_str());
    // The description reaches screen readers as an annotation of the window;
    // without the service (an older system) the name alone is read.
    if (FAILED(::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                  reinterpret_cast<void**>(&annotations_)))) {
        annotations_ = nullptr;
    }
    main_.audienceKeys = {[this] { return IsOpen(); }, [this] { IsOpen() ? Close() : Open(); }, [this] { Close(); }};
    main_.onHint = [this](const std::string& text) { ShowHint(text); };
}

Win32AudienceView::~Win32AudienceView() {
    main_.audienceKeys = {};
    main_.onHint = nullptr;
    if (annotations_ != nullptr) {
        MSAAPROPID property = PROPID_ACC_DESCRIPTION;
        annotations_->ClearHwndProps(hwnd_, OBJID_CLIENT, CHILDID_SELF, &property, 1);
        annotations_->Release();
    }
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
    if (buffer_ != nullptr) {
        ::SelectObject(buffer_, bufferDefault_);
        ::DeleteDC(buffer_);
    }
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(bufferBitmap_), static_cast<HGDIOBJ>(background_),
                           static_cast<HGDIOBJ>(cover_), static_cast<HGDIOBJ>(hintFont_),
                           static_cast<HGDIOBJ>(hintBrush_)}) {
        if (object != nullptr) ::DeleteObject(object);
    }
}

PictureFault Win32AudienceView::Configure(const AudienceSettings& settings) {
    settings_ = settings;
    fonts_ = std::make_unique<Win32AudienceFonts>(settings_);
    digits_ = MeasureDigitFace(*fonts_);
    pieces_.clear();
    for (HBITMAP* bitmap : {&background_, &cover_}) {
        if (*bitmap != nullptr) ::DeleteObject(*bitmap);
        *bitmap = nullptr;
    }
    PictureFault fault = PictureFault::None;
    if (!settings_.background.empty()) {
        const DecodedPicture picture =
            ReadPicture(settings_.background, executableFolder_, PictureUse::Cover, LargestScreen());
        background_ = picture.bitmap;
        backgroundSize_ = picture.size;
        fault = picture.fault;
    }
    if (background_ != nullptr && size_.cx > 0) MakeCover(size_);
    if (IsOpen()) Recompose(true);
    return fault;
}

void Win32AudienceView::Publish(const AudienceFrame& frame) {
    if (frame == frame_) return;
    const bool renamed = AudienceNameText(frame) != AudienceNameText(frame_);
    frame_ = frame;
    if (renamed) ::SetWindowTextW(hwnd_, ToWide(AudienceNameText(frame_)).c_str());
    Describe();
    // A closed view keeps the frame and composes it when it opens.
    if (IsOpen()) Recompose(false);
}

void Win32AudienceView::Describe() {
    const std::wstring description = ToWide(AudienceDescriptionText(frame_));
    if (description == description_) return;
    description_ = description;
    if (annotations_ == nullptr) return;
    annotated_ = SUCCEEDED(annotations_->SetHwndPropStr(hwnd_, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_DESCRIPTION,
                                                        description_.c_str()));
    ::NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, hwnd_, OBJID_CLIENT, CHILDID_SELF);
}

bool Win32AudienceView::IsOpen() const { return ::IsWindowVisible(hwnd_) != 0; }

void Win32AudienceView::Open() {
    if (IsOpen()) return;
    Place();
    Recompose(true);
    ShowPointer();
}

void Win32AudienceView::Close() {
    if (!IsOpen()) return;
    ::ShowWindow(hwnd_, SW_HIDE);
    ::KillTimer(hwnd_, kPointerTimer);
    HideHint();
    // The keyboard goes back to the time-keeper's window, to the button it had.
    ::SetForegroundWindow(main_.Handle());
    if (mainFocus_ != nullptr && ::IsWindow(mainFocus_) && ::IsChild(main_.Handle(), mainFocus_)) {
        ::SetFocus(mainFocus_);
    }
}

bool Win32AudienceView::CoversMainWindow() const {
    return IsOpen() && ::MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST) ==
                           ::MonitorFromWindow(main_.Handle(), MONITOR_DEFAULTTONEAREST);
}

bool Win32AudienceView::TakeKey(UINT message, WPARAM key, LPARAM flags) {
    switch (AudienceViewKey(Win32KeyStroke(message, key, flags))) {
    case AudienceKeyEffect::Close: Close(); return true;
    case AudienceKeyEffect::Ignore: return true;
    case AudienceKeyEffect::Forward: break;
    }
    // The same path as a key typed into the main window: the logic takes the
    // keys it knows, and any other goes to the button that has the focus there.
    const bool system = message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
    if (!system && mainFocus_ != nullptr && ::IsWindow(mainFocus_) && ::IsChild(main_.Handle(), mainFocus_) &&
        ::IsWindowVisible(mainFocus_)) {
        ::SendMessageW(mainFocus_, message, key, flags);
        return true;
    }
    return main_.HandleKey(message, key, flags) || !system;
}

void Win32AudienceView::Place() {
    const std::vector<Monitor> monitors = Monitors();
    const HMONITOR mainMonitor = ::MonitorFromWindow(main_.Handle(), MONITOR_DEFAULTTONEAREST);
    std::vector<Box> areas;
    int mainIndex = -1;
    for (const Monitor& monitor : monitors) {
        if (monitor.handle == mainMonitor) mainIndex = static_cast<int>(areas.size());
        areas.push_back(monitor.area);
    }
    const AudienceScreenChoice choice = ChooseAudienceScreen(areas, mainIndex, settings_.screen);
    if (choice.numberUnknown && !toldUnknownScreen_) {
        toldUnknownScreen_ = true;
        if (onScreenNumberUnknown) onScreenNumberUnknown(static_cast<int>(areas.size()));
    }
    if (choice.index < 0) {
        ::ShowWindow(hwnd_, SW_HIDE);
        return;
    }
    const Box& area = areas[static_cast<std::size_t>(choice.index)];
    const RECT target{static_cast<LONG>(area.x), static_cast<LONG>(area.y), static_cast<LONG>(area.Right()),
                      static_cast<LONG>(area.Bottom())};
    RECT now{};
    ::GetWindowRect(hwnd_, &now);
    if (IsOpen() && ::EqualRect(&now, &target)) return;
    // On its own screen the view leaves the keyboard with the time-keeper's
    // window; over the main window's own screen it takes the keys itself.
    const bool ownScreen = areas.size() > 1;
    ::SetWindowPos(hwnd_, HWND_TOP, target.left, target.top, target.right - target.left, target.bottom - target.top,
                   SWP_SHOWWINDOW | (ownScreen ? SWP_NOACTIVATE : 0));
    if (!ownScreen) ::SetForegroundWindow(hwnd_);
}

void Win32AudienceView::ShowPointer() {
    if (pointerHidden_) {
        pointerHidden_ = false;
        ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    }
    if (IsOpen()) ::SetTimer(hwnd_, kPointerTimer, kPointerRestMs, nullptr);
}

LRESULT CALLBACK Win32AudienceView::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = WindowOwner<Win32AudienceView>(hwnd, message, lParam);
    if (self == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCCREATE) self->hwnd_ = hwnd;
    return self->Handle(message, wParam, lParam);
}

// The pointer over the view: shown while it moves, hidden once it has rested.
std::optional<LRESULT> Win32AudienceView::HandlePointer(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEMOVE: {
        const POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        // Windows repeats a move message when nothing moved; only a real move shows the pointer.
        if (at.x != pointer_.x || at.y != pointer_.y) {
            pointer_ = at;
            ShowPointer();
        }
        return 0;
    }
    case WM_TIMER:
        if (wParam != kPointerTimer) break;
        ::KillTimer(hwnd_, kPointerTimer);
        pointerHidden_ = true;
        {
            // Hidden only over the view: the time-keeper's pointer on the other screen stays.
            POINT at{};
            if (::GetCursorPos(&at) && ::WindowFromPoint(at) == hwnd_) ::SetCursor(nullptr);
        }
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) != HTCLIENT) break;
        ::SetCursor(pointerHidden_ ? nullptr : ::LoadCursorW(nullptr, IDC_ARROW));
        return TRUE;
    default:
        break;
    }
    return std::nullopt;
}

LRESULT Win32AudienceView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const std::optional<LRESULT> handled = HandlePointer(message, wParam, lParam)) return *handled;
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // the buffer paints every pixel
    case WM_PAINT:
        Paint();
        return 0;
    case WM_SIZE:
        Resized();
        return 0;
    case WM_DISPLAYCHANGE:
        // A projector plugged in late or unplugged: the view never stays on a screen that has gone.
        if (IsOpen()) Place();
        return 0;
    case WM_DPICHANGED:
        return 0;  // it fills its screen in that screen's pixels, whatever the scale
    case WM_ACTIVATE:
        // The main window's focused button, before the view takes the focus from it.
        if (LOWORD(wParam) != WA_INACTIVE && ::IsChild(main_.Handle(), ::GetFocus())) mainFocus_ = ::GetFocus();
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        if (TakeKey(message, wParam, lParam)) return 0;
        break;
    case WM_CLOSE:
        // Closed by the desktop (Alt+F4): as by Esc, the keyboard goes back to the main window.
        Close();
        return 0;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == hint_) {
            return reinterpret_cast<LRESULT>(HintColours(reinterpret_cast<HDC>(wParam)));
        }
        break;
    case WM_TIMER:
        if (wParam == kHintTimer) {
            HideHint();
            return 0;
        }
        break;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace platform
