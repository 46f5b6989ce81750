// What the audience view draws on itself: the frame's pieces through a buffer
// the size of the view, the background picture made to cover it, and the
// main window's hint while the view covers that window.
#include "platform/win32/Win32AudienceView.h"

#include <algorithm>

#include "platform/win32/Picture.h"
#include "platform/win32/Win32Window.h"

namespace platform {
namespace {

// A picture behind the countdowns is darkened by this much, so light digits
// stay readable on any picture.
constexpr double kVeil = 0.45;
// As long as the main window's own hint stays up, in its colours.
constexpr UINT kHintMs = 2000;
constexpr COLORREF kHintBackground = RGB(0x30, 0x30, 0x30);
constexpr COLORREF kHintText = RGB(0xFF, 0xFF, 0xFF);
constexpr int kHintPaddingX = 24;  // pixels at 96 DPI
constexpr int kHintPaddingY = 8;

}  // namespace

void Win32AudienceView::ShowHint(const std::string& text) {
    if (text.empty() || !CoversMainWindow()) {
        HideHint();
        return;
    }
    const std::wstring shown = DisplayText(text);
    ::SetWindowTextW(hint_, shown.c_str());
    // Readable from the back of the hall as on the main window from its desk.
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = -std::max(16L, size_.cy / 30);
    if (HFONT font = ::CreateFontIndirectW(&metrics.lfMessageFont)) {
        ::SendMessageW(hint_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (hintFont_ != nullptr) ::DeleteObject(hintFont_);
        hintFont_ = font;
    }
    HDC dc = ::GetDC(hint_);
    const HGDIOBJ previous = ::SelectObject(dc, hintFont_);
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &extent);
    ::SelectObject(dc, previous);
    ::ReleaseDC(hint_, dc);
    const int dpi = static_cast<int>(std::max(1U, ::GetDpiForWindow(hwnd_)));
    const int width = extent.cx + 2 * ::MulDiv(kHintPaddingX, dpi, 96);
    const int height = extent.cy + 2 * ::MulDiv(kHintPaddingY, dpi, 96);
    ::SetWindowPos(hint_, HWND_TOP, (size_.cx - width) / 2, size_.cy - height - size_.cy / 60, width, height,
                   SWP_SHOWWINDOW | SWP_NOACTIVATE);
    ::InvalidateRect(hint_, nullptr, TRUE);
    ::SetTimer(hwnd_, kHintTimer, kHintMs, nullptr);  // a new hint has its full time
}

void Win32AudienceView::HideHint() {
    ::KillTimer(hwnd_, kHintTimer);
    ::ShowWindow(hint_, SW_HIDE);
}

void Win32AudienceView::Recompose(bool everything) {
    std::vector<AudiencePiece> pieces = ComposeAudience(frame_, size_.cx, size_.cy, digits_, *fonts_);
    fonts_->KeepFontsOf(pieces);
    if (everything) {
        ::InvalidateRect(hwnd_, nullptr, FALSE);
    } else {
        for (const PixelBox& box : ChangedBoxes(pieces_, pieces, size_.cx, size_.cy)) {
            const RECT rect = ToRect(box);
            ::InvalidateRect(hwnd_, &rect, FALSE);
        }
    }
    pieces_ = std::move(pieces);
}

void Win32AudienceView::Resized() {
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    const SIZE size{client.right, client.bottom};
    if (size.cx == size_.cx && size.cy == size_.cy) return;
    size_ = size;
    if (buffer_ == nullptr) {
        buffer_ = ::CreateCompatibleDC(nullptr);
        bufferDefault_ = ::GetCurrentObject(buffer_, OBJ_BITMAP);
    }
    void* bits = nullptr;
    HBITMAP bitmap = size.cx > 0 && size.cy > 0 ? TopDownBitmap(size, &bits) : nullptr;
    ::SelectObject(buffer_, bitmap != nullptr ? bitmap : bufferDefault_);
    if (bufferBitmap_ != nullptr) ::DeleteObject(bufferBitmap_);
    bufferBitmap_ = bitmap;
    if (background_ != nullptr) MakeCover(size);
    Recompose(true);
}

// The picture scaled to cover `size`, centred, on black (its premultiplied
// pixels are already its colours over black), then darkened by the veil.
void Win32AudienceView::MakeCover(SIZE size) {
    if (cover_ != nullptr) ::DeleteObject(cover_);
    cover_ = nullptr;
    void* bits = nullptr;
    HBITMAP cover = TopDownBitmap(size, &bits);
    if (cover == nullptr || bits == nullptr) return;
    HDC target = ::CreateCompatibleDC(nullptr);
    HDC source = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ targetDefault = ::SelectObject(target, cover);
    const HGDIOBJ sourceDefault = ::SelectObject(source, background_);
    // Only the part that shows is stretched, onto the view exactly: a long
    // strip scaled whole would reach millions of pixels past the view's edges.
    const PictureRect part =
        CoverSource({backgroundSize_.cx, backgroundSize_.cy}, {static_cast<int>(size.cx), static_cast<int>(size.cy)});
    ::SetStretchBltMode(target, HALFTONE);
    ::SetBrushOrgEx(target, 0, 0, nullptr);
    ::StretchBlt(target, 0, 0, size.cx, size.cy, source, part.x, part.y, part.width, part.height, SRCCOPY);
    ::GdiFlush();
    auto* pixel = static_cast<BYTE*>(bits);
    const std::size_t bytes = static_cast<std::size_t>(size.cx) * static_cast<std::size_t>(size.cy) * 4;
    for (std::size_t i = 0; i < bytes; ++i) pixel[i] = static_cast<BYTE>(pixel[i] * (1 - kVeil) + 0.5);
    ::SelectObject(source, sourceDefault);
    ::SelectObject(target, targetDefault);
    ::DeleteDC(source);
    ::DeleteDC(target);
    cover_ = cover;
}

void Win32AudienceView::Paint() {
    HRGN dirty = ::CreateRectRgn(0, 0, 0, 0);
    ::GetUpdateRgn(hwnd_, dirty, FALSE);
    PAINTSTRUCT paint{};
    HDC screen = ::BeginPaint(hwnd_, &paint);
    if (buffer_ != nullptr && bufferBitmap_ != nullptr) {
        // Into the buffer first, only where the window is out of date; the
        // screen then gets the finished pixels in one copy.
        ::SelectClipRgn(buffer_, dirty);
        const RECT& box = paint.rcPaint;
        if (cover_ != nullptr) {
            HDC cover = ::CreateCompatibleDC(nullptr);
            const HGDIOBJ previous = ::SelectObject(cover, cover_);
            ::BitBlt(buffer_, box.left, box.top, box.right - box.left, box.bottom - box.top, cover, box.left, box.top,
                     SRCCOPY);
            ::SelectObject(cover, previous);
            ::DeleteDC(cover);
        } else {
            ::FillRect(buffer_, &box, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        }
        fonts_->Paint(buffer_, pieces_);
        ::SelectClipRgn(buffer_, nullptr);
        ::BitBlt(screen, box.left, box.top, box.right - box.left, box.bottom - box.top, buffer_, box.left, box.top,
                 SRCCOPY);
    }
    ::EndPaint(hwnd_, &paint);
    ::DeleteObject(dirty);
    ++paints_;
}

HBRUSH Win32AudienceView::HintColours(HDC dc) {
    if (hintBrush_ == nullptr) hintBrush_ = ::CreateSolidBrush(kHintBackground);
    ::SetTextColor(dc, kHintText);
    ::SetBkColor(dc, kHintBackground);
    return hintBrush_;
}

}  // namespace platform
