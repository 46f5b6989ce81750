// The timer's one top-level window on Windows. Its client area is the surface
// the logic lays out in twips (1440 to an inch, so 15 to a pixel at 96 DPI);
// it paints the background picture, measures text in its own font (which the
// buttons share), reports size changes and the time-keeper's keys, and hands
// each timer's ticks and each child's messages to their owners.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/KeyPolicy.h"
#include "platform/Window.h"

namespace platform {

// What the window asks of a child control it hands a message to. A child
// keeps a pointer to itself as this in its window's user data.
class ChildControl {
public:
    virtual ~ChildControl() = default;
    virtual void Clicked() {}
    virtual COLORREF TextColour() const { return ::GetSysColor(COLOR_WINDOWTEXT); }
    // A brush to fill the control's background with; none draws it transparent.
    virtual HBRUSH Background() const { return nullptr; }
    // Attaches `control` to `child`, or detaches it with nullptr.
    static void Attach(HWND child, ChildControl* control);
    static ChildControl* Of(HWND child);
};

class Win32Window final : public Window {
public:
    // `executableFolder` is where a picture path from the configuration is
    // looked for when it names no file as written.
    explicit Win32Window(std::string executableFolder);
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    double ScaleWidth() const override;
    double ScaleHeight() const override;
    double TextWidth(const std::string& text) const override;
    double TextHeight(const std::string& text) const override;
    std::string Title() const override;
    void SetTitle(const std::string& title) override;
    PictureFault LoadPicture(const std::string& path) override;
    void ClearPicture() override;
    // Hides the window and asks the message loop to end, as the title bar's
    // close button does.
    void Close() override;
    void ShowHint(const std::string& text) override;
    // A Yes/No box owned by the window, "否" the default so Enter or Esc
    // pressed out of habit keeps things as they are.
    bool Confirm(const std::string& question) override;

    HWND Handle() const { return hwnd_; }
    UINT Dpi() const { return dpi_; }
    // The window's font, which buttons and text measurement share.
    HFONT Font() const { return font_; }
    int ToPixels(double twips) const;
    double ToTwips(double pixels) const;
    // Places the window in the middle of its screen's work area, at its
    // design size where that fits, smaller where it does not, and shows it.
    void Show();
    bool IsVisible() const;
    bool IsFullScreen() const { return fullScreen_; }
    bool HasPicture() const { return picture_ != nullptr; }
    // The hint's control, while it is shown; and keeping it in front of the
    // bar, whose buttons each relayout brings to the front.
    HWND HintHandle() const { return hint_; }
    void KeepHintOnTop();
    // Restores and activates the window (another copy of the program asked for it).
    void BringToFront();

    // A key message that reached the window or one of its children; true
    // when the logic or the view took it, so the child must not see it.
    bool HandleKey(UINT message, WPARAM key, LPARAM flags);
    // A Tab key message of this window's moves the focus along its buttons;
    // answers whether it was one (the message loop then goes on to the next).
    bool MoveFocus(MSG& message);
    // Destroys a child once the message being handled is over: a button may
    // be destroyed by its own click.
    void DestroyLater(HWND child);
    // Ticks posted from other threads are delivered to `tick` on this
    // window's thread, for as long as the registration lasts.
    int RegisterTicks(std::function<void(unsigned generation)> tick);
    void UnregisterTicks(int id);
    void PostTick(int id, unsigned generation) const;
    // Called, in order of registration, after the window moved to a screen
    // of another DPI; each control refits its fonts and place.
    void AddDpiListener(const void* owner, std::function<void()> listener);
    void RemoveDpiListener(const void* owner);

    // The audience view beside this window, for its keys (F5, and Esc while
    // it is open): like F11, they never reach the logic.
    struct AudienceHooks {
        std::function<bool()> isOpen;
        std::function<void()> toggle;
        std::function<void()> close;
    };
    AudienceHooks audienceKeys;
    // Each hint as it is shown (an empty one as it is taken away), for a view
    // that may be covering this window to show it too.
    std::function<void(const std::string&)> onHint;
    // F2: the summary of the debate so far. A view of the record, like F11 a
    // key the logic never hears of.
    std::function<void()> onSummary;
    // The window is closing (title bar, Alt+F4 or taskkill once the logic
    // agreed, or Close()): the program's message loop is to end.
    std::function<void()> onClose;
    // Windows ends the session (log-off, shut-down): save and go, without asking.
    std::function<void()> onEndSession;
    // Show() has shown the window: a message that came before it is put in front of it now.
    std::function<void()> onShown;

private:
    static constexpr UINT_PTR kHintTimer = 1;

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void ChangeDpi(UINT dpi, const RECT* suggested);
    void PlaceOnScreen();
    void MakeFont();
    void ToggleFullScreen();
    void LeaveFullScreen();
    SIZE Measure(const std::string& text) const;
    void MakeHint();
    void HideHint();
    void PlaceHint();

    std::string executableFolder_;
    HWND hwnd_ = nullptr;
    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    HFONT font_ = nullptr;
    HBITMAP picture_ = nullptr;
    SIZE pictureSize_{};
    HWND hint_ = nullptr;
    bool confirming_ = false;
    bool fullScreen_ = false;
    WINDOWPLACEMENT placement_{};
    LONG_PTR windowedStyle_ = 0;
    MainWindowKeys keys_;
    std::map<int, std::function<void(unsigned)>> ticks_;
    int nextTicks_ = 1;
    std::vector<std::pair<const void*, std::function<void()>>> dpiListeners_;
};

// A key message as the key policy reads it; Ctrl or Alt held makes it the system's.
KeyStroke Win32KeyStroke(UINT message, WPARAM key, LPARAM flags);

// A window of `size` (its frame included) in the middle of `area`, a
// screen's work area, and no larger than it: nothing falls off the screen or
// under the taskbar.
RECT PlaceWithin(SIZE size, const RECT& area);

// Text as a control shows it: every line end (CR LF, CR or LF, as a
// multi-line setting holds them) becomes CR LF.
std::wstring DisplayText(const std::string& text);

}  // namespace platform
