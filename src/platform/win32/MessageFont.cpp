#include "platform/win32/MessageFont.h"

#include <cstdint>
#include <cstdlib>
#include <cwctype>

namespace platform {
namespace {

// Draws `character` black on white in `dc` over its DIB of `size` pixels; whether any pixel turned dark.
bool LeavesInk(HDC dc, const std::uint32_t* pixels, SIZE size, wchar_t character) {
    RECT all{0, 0, size.cx, size.cy};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::TextOutW(dc, 0, 0, &character, 1);
    ::GdiFlush();
    for (LONG i = 0; i < size.cx * size.cy; ++i) {
        if ((pixels[i] & 0xFF) < 0x80) return true;
    }
    return false;
}

}  // namespace

bool DrawsEveryCharacter(HFONT font, const std::wstring& text) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ previousFont = ::SelectObject(dc, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    const SIZE size{metrics.tmMaxCharWidth * 2 + 4, metrics.tmHeight + 4};
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool all = bitmap != nullptr;
    if (all) {
        HGDIOBJ previousBitmap = ::SelectObject(dc, bitmap);
        ::SetTextColor(dc, RGB(0, 0, 0));
        ::SetBkMode(dc, TRANSPARENT);
        for (const wchar_t c : text) {
            if (std::iswspace(c)) continue;
            if (!LeavesInk(dc, static_cast<const std::uint32_t*>(bits), size, c)) {
                all = false;
                break;
            }
        }
        ::SelectObject(dc, previousBitmap);
        ::DeleteObject(bitmap);
    }
    ::SelectObject(dc, previousFont);
    ::DeleteDC(dc);
    return all;
}

HFONT CreateMessageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) return nullptr;
    LOGFONTW font = metrics.lfMessageFont;
    const LONG reported = std::labs(font.lfHeight);
    const LONG sign = font.lfHeight < 0 ? -1 : 1;
    for (LONG height = reported; height <= reported + reported / 2; ++height) {
        font.lfHeight = sign * height;
        HFONT made = ::CreateFontIndirectW(&font);
        if (made == nullptr || DrawsEveryCharacter(made, kMessageFontSample)) return made;
        ::DeleteObject(made);
    }
    // None drew it all: the system's own, as the rest of Windows shows it.
    return ::CreateFontIndirectW(&metrics.lfMessageFont);
}

}  // namespace platform
