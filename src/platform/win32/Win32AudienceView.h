// The audience view on Windows: a second, frameless top-level window that
// fills a screen, painted with GDI through a buffer (only what changed is
// painted again, and never straight onto the screen, so nothing flickers).
// F5 in the main window opens it, F5 or Esc closes it. It takes a screen
// other than the main window's where there is one, follows screens plugged
// in or removed, hides the mouse pointer when it rests, and hands every
// other key typed into it to the main window, so a debate runs from either.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/AudienceSettings.h"
#include "platform/AudienceView.h"
#include "platform/AudienceScene.h"
#include "platform/win32/Win32AudiencePainter.h"

struct IAccPropServices;

namespace platform {

class Win32Window;

class Win32AudienceView final : public AudienceView {
public:
    // `main` is the time-keeper's window: its screen is avoided and it gets
    // the keys typed here. A background path is found as the main window's is.
    Win32AudienceView(Win32Window& main, std::string executableFolder);
    ~Win32AudienceView() override;
    Win32AudienceView(const Win32AudienceView&) = delete;
    Win32AudienceView& operator=(const Win32AudienceView&) = delete;

    // Takes the settings read at start-up and reads the background picture;
    // answers why that picture will not be shown (None when it will, or none is set).
    PictureFault Configure(const AudienceSettings& settings);

    void Publish(const AudienceFrame& frame) override;

    void Open();
    void Close();
    bool IsOpen() const;
    // Open over the main window's own screen (one screen, or a mirrored
    // projector): whatever the time-keeper must see is hidden beneath it.
    bool CoversMainWindow() const;

    // Told once, with the number of screens there are, when the configured
    // screen is not among them and the automatic choice was made instead.
    std::function<void(int screens)> onScreenNumberUnknown;

    HWND Handle() const { return hwnd_; }
    HWND HintHandle() const { return hint_; }
    const std::vector<AudiencePiece>& Pieces() const { return pieces_; }
    bool HasBackground() const { return background_ != nullptr; }
    // The description given to assistive technology, and whether Windows took it.
    const std::wstring& Description() const { return description_; }
    bool DescriptionAnnotated() const { return annotated_; }
    // How many times the view has painted, so a test can tell that a frame
    // that changed nothing cost nothing.
    int Paints() const { return paints_; }

private:
    static constexpr UINT_PTR kPointerTimer = 1;
    static constexpr UINT_PTR kHintTimer = 2;

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> HandlePointer(UINT message, WPARAM wParam, LPARAM lParam);
    // A key typed here; false when it is left to the system (Alt+F4 closes the view).
    bool TakeKey(UINT message, WPARAM key, LPARAM flags);
    // Fills the screen the rules choose among those connected now.
    void Place();
    void Recompose(bool everything);
    void Paint();
    void Resized();
    void MakeCover(SIZE size);
    void Describe();
    void ShowPointer();
    // The main window's hint, shown here too while the view covers it, so a
    // first R or Backspace typed into the view is not met by nothing.
    void ShowHint(const std::string& text);
    void HideHint();
    // Sets the hint's colours on the device context it paints with; answers its background.
    HBRUSH HintColours(HDC dc);

    Win32Window& main_;
    std::string executableFolder_;
    AudienceSettings settings_;
    std::unique_ptr<Win32AudienceFonts> fonts_;
    DigitFace digits_;
    AudienceFrame frame_;
    std::vector<AudiencePiece> pieces_;
    HWND hwnd_ = nullptr;
    HWND hint_ = nullptr;
    HFONT hintFont_ = nullptr;
    HBRUSH hintBrush_ = nullptr;
    SIZE size_{0, 0};
    HDC buffer_ = nullptr;           // what the window shows, painted before it is copied on screen
    HBITMAP bufferBitmap_ = nullptr;
    HGDIOBJ bufferDefault_ = nullptr;
    HBITMAP background_ = nullptr;   // as read, no larger than the screens need
    SIZE backgroundSize_{0, 0};
    HBITMAP cover_ = nullptr;        // scaled to cover the view, veiled, for the view's size
    IAccPropServices* annotations_ = nullptr;
    std::wstring description_;
    bool annotated_ = false;
    HWND mainFocus_ = nullptr;       // the main window's focused button, which gets keys typed here
    POINT pointer_{-1, -1};
    bool pointerHidden_ = false;
    bool toldUnknownScreen_ = false;
    int paints_ = 0;
};

}  // namespace platform
