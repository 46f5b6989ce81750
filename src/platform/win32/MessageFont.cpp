#include "platform/win32/MessageFont.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cwctype>
#include <vector>

namespace platform {
namespace {

// A DIB section of `size` pixels selected into a memory device context, white, for drawing a character in black.
class Canvas final {
public:
    explicit Canvas(HFONT font) : dc_(::CreateCompatibleDC(nullptr)), previousFont_(::SelectObject(dc_, font)) {
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc_, &metrics);
        size_ = {metrics.tmMaxCharWidth * 2 + 4, metrics.tmHeight + 4};
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), size_.cx, -size_.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_ = ::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (bitmap_ != nullptr) previousBitmap_ = ::SelectObject(dc_, bitmap_);
        ::SetTextColor(dc_, RGB(0, 0, 0));
        ::SetBkMode(dc_, TRANSPARENT);
    }
    ~Canvas() {
        if (bitmap_ != nullptr) {
            ::SelectObject(dc_, previousBitmap_);
            ::DeleteObject(bitmap_);
        }
        ::SelectObject(dc_, previousFont_);
        ::DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool Ready() const { return bitmap_ != nullptr; }
    // Draws `character` alone; the blue channel of each pixel (0 black, 255 white).
    std::vector<std::uint8_t> Draw(wchar_t character) {
        RECT all{0, 0, size_.cx, size_.cy};
        ::FillRect(dc_, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::TextOutW(dc_, 0, 0, &character, 1);
        ::GdiFlush();
        const auto* pixels = static_cast<const std::uint32_t*>(bits_);
        std::vector<std::uint8_t> levels(static_cast<std::size_t>(size_.cx * size_.cy));
        for (std::size_t i = 0; i < levels.size(); ++i) levels[i] = static_cast<std::uint8_t>(pixels[i] & 0xFF);
        return levels;
    }

private:
    HDC dc_;
    HGDIOBJ previousFont_;
    HGDIOBJ previousBitmap_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    void* bits_ = nullptr;
    SIZE size_{};
};

}  // namespace

bool DrawsEveryCharacter(HFONT font, const std::wstring& text) {
    Canvas canvas(font);
    if (!canvas.Ready()) return false;
    return std::all_of(text.begin(), text.end(), [&canvas](wchar_t c) {
        if (std::iswspace(c)) return true;
        const std::vector<std::uint8_t> levels = canvas.Draw(c);
        return std::any_of(levels.begin(), levels.end(), [](std::uint8_t level) { return level < 0xC0; });
    });
}

bool DrawnFromOutlines(HFONT font) {
    LOGFONTW smooth{};
    if (::GetObjectW(font, sizeof smooth, &smooth) == 0) return false;
    smooth.lfQuality = ANTIALIASED_QUALITY;
    HFONT probe = ::CreateFontIndirectW(&smooth);
    if (probe == nullptr) return false;
    bool grey = false;
    {
        Canvas canvas(probe);
        if (canvas.Ready()) {
            for (const wchar_t c : std::wstring(L"辩用")) {
                const std::vector<std::uint8_t> levels = canvas.Draw(c);
                grey = grey || std::any_of(levels.begin(), levels.end(),
                                           [](std::uint8_t level) { return level > 0x20 && level < 0xE0; });
            }
        }
    }
    ::DeleteObject(probe);
    return grey;
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
        if (made == nullptr || (DrawnFromOutlines(made) && DrawsEveryCharacter(made, kMessageFontSample))) return made;
        ::DeleteObject(made);
    }
    // None drew it all: the system's own, as the rest of Windows shows it.
    return ::CreateFontIndirectW(&metrics.lfMessageFont);
}

}  // namespace platform
