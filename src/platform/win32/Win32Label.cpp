#include "platform/win32/Win32Label.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "platform/win32/Wide.h"

namespace platform {
namespace {

// How far the ink of `text` reaches past the `advance` DrawText measured, in
// pixels: an italic that Windows slants from an upright face (SimHei has no
// italic of its own) leans its last glyph beyond the advance, and a label
// only as wide as the advance would cut it off.
int InkBeyondAdvance(HDC reference, HFONT font, const std::wstring& text, SIZE advance) {
    const int width = advance.cx + advance.cy;  // room for any slant
    const int height = advance.cy;
    if (text.empty() || advance.cx <= 0 || height <= 0) return 0;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(reference);
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dc == nullptr || bitmap == nullptr) {
        if (bitmap != nullptr) ::DeleteObject(bitmap);
        if (dc != nullptr) ::DeleteDC(dc);
        return 0;
    }
    const HGDIOBJ previousBitmap = ::SelectObject(dc, bitmap);
    const HGDIOBJ previousFont = ::SelectObject(dc, font);
    RECT area{0, 0, width, height};
    ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, RGB(0, 0, 0));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_NOPREFIX | DT_LEFT | DT_NOCLIP);
    ::GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    int right = -1;
    for (int x = width - 1; x >= advance.cx && right < 0; --x) {
        for (int y = 0; y < height; ++y) {
            if ((pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] &
                 0x00FFFFFF) != 0x00FFFFFF) {
                right = x;
                break;
            }
        }
    }
    ::SelectObject(dc, previousFont);
    ::SelectObject(dc, previousBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return right < 0 ? 0 : right + 1 - advance.cx;
}

}  // namespace

Win32Label::Win32Label(Win32Window& parent, const std::string& caption, double left, double top,
                       TextAlignment alignment)
    : parent_(parent), left_(left), top_(top), colour_(::GetSysColor(COLOR_WINDOWTEXT)) {
    const DWORD style = WS_CHILD | WS_VISIBLE | SS_NOPREFIX | (alignment == TextAlignment::Centre ? SS_CENTER : SS_LEFT);
    hwnd_ = ::CreateWindowExW(WS_EX_TRANSPARENT, L"STATIC", L"", style, 0, 0, 0, 0, parent.Handle(), nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
    if (hwnd_ == nullptr) throw std::runtime_error("无法创建标签");
    ChildControl::Attach(hwnd_, this);
    // Beneath the buttons, whatever the order of creation.
    ::SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    LOGFONTW initial{};
    ::GetObjectW(parent.Font(), sizeof initial, &initial);
    font_.name = ToUtf8(initial.lfFaceName);
    font_.size = 9;
    parent_.AddDpiListener(this, [this] { ApplyFont(); });
    ApplyFont();
    SetCaption(caption);
}

Win32Label::~Win32Label() {
    parent_.RemoveDpiListener(this);
    ChildControl::Attach(hwnd_, nullptr);
    ::DestroyWindow(hwnd_);
    if (hfont_ != nullptr) ::DeleteObject(hfont_);
}

void Win32Label::SetCaption(const std::string& caption) {
    caption_ = caption;
    const RECT before = PixelRect();
    ::SetWindowTextW(hwnd_, DisplayText(caption).c_str());
    FitToText();
    Repaint(before);
}

void Win32Label::SetForeColor(Colour colour) {
    // Set on every refresh of a running countdown; an unchanged colour needs no repaint.
    if (colour == colour_) return;
    colour_ = colour;
    Repaint(PixelRect());
}

bool Win32Label::Visible() const { return (::GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0; }

void Win32Label::SetVisible(bool visible) {
    if (visible == Visible()) return;
    ::ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
    Repaint(PixelRect());
}

double Win32Label::Width() const { return parent_.ToTwips(pixels_.cx); }

double Win32Label::Height() const { return parent_.ToTwips(pixels_.cy); }

void Win32Label::Move(double left, double top) {
    const RECT before = PixelRect();
    left_ = left;
    top_ = top;
    const RECT after = PixelRect();
    if (EqualRect(&before, &after)) return;
    ::SetWindowPos(hwnd_, nullptr, after.left, after.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Repaint(before);
}

std::string Win32Label::ActualFace() const {
    HDC dc = ::GetDC(hwnd_);
    HGDIOBJ previous = ::SelectObject(dc, hfont_);
    wchar_t face[LF_FACESIZE] = {};
    ::GetTextFaceW(dc, LF_FACESIZE, face);
    ::SelectObject(dc, previous);
    ::ReleaseDC(hwnd_, dc);
    return ToUtf8(face);
}

void Win32Label::ApplyFont() {
    LOGFONTW logical{};
    logical.lfHeight = -static_cast<LONG>(std::lround(font_.size * parent_.Dpi() / 72.0));
    logical.lfWeight = font_.bold ? FW_BOLD : FW_NORMAL;
    logical.lfItalic = font_.italic ? TRUE : FALSE;
    logical.lfUnderline = font_.underline ? TRUE : FALSE;
    logical.lfCharSet = DEFAULT_CHARSET;
    logical.lfQuality = CLEARTYPE_QUALITY;
    const std::wstring face = ToWide(font_.name).substr(0, LF_FACESIZE - 1);
    std::copy(face.begin(), face.end(), logical.lfFaceName);
    HFONT font = ::CreateFontIndirectW(&logical);
    if (font == nullptr) return;
    ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (hfont_ != nullptr) ::DeleteObject(hfont_);
    hfont_ = font;
    const RECT before = PixelRect();
    FitToText();
    Repaint(before);
}

// The text's advance and one pixel more, so the last glyph is never clipped,
// and in italic as far as the slanted ink reaches; the font's line height for
// every line of a multi-line caption.
void Win32Label::FitToText() {
    HDC dc = ::GetDC(hwnd_);
    HGDIOBJ previous = ::SelectObject(dc, hfont_);
    const std::wstring text = DisplayText(caption_);
    RECT bounds{0, 0, 0, 0};
    ::DrawTextW(dc, text.empty() ? L" " : text.c_str(), text.empty() ? 1 : static_cast<int>(text.size()), &bounds,
                DT_CALCRECT | DT_NOPREFIX | DT_LEFT);
    const SIZE advance{bounds.right - bounds.left, bounds.bottom - bounds.top};
    const int slant = font_.italic ? InkBeyondAdvance(dc, hfont_, text, advance) : 0;
    ::SelectObject(dc, previous);
    ::ReleaseDC(hwnd_, dc);
    pixels_ = {text.empty() ? 1 : advance.cx + std::max(1, slant), advance.cy};
    const RECT place = PixelRect();
    ::SetWindowPos(hwnd_, nullptr, place.left, place.top, pixels_.cx, pixels_.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Win32Label::PixelRect() const {
    const int left = parent_.ToPixels(left_);
    const int top = parent_.ToPixels(top_);
    return {left, top, left + pixels_.cx, top + pixels_.cy};
}

void Win32Label::Repaint(const RECT& before) {
    RECT area = PixelRect();
    ::UnionRect(&area, &area, &before);
    // Parent first (its background and picture), then every child over it,
    // before returning: a child painted before its background would be wiped.
    ::RedrawWindow(parent_.Handle(), &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

}  // namespace platform
