// Countdown digits in italic, which Windows slants from the upright 黑体, are never cut off at the label's edge.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/win32/Win32Label.h"
#include "platform/win32/Wide.h"
#include "platform/win32/Win32Window.h"
#include "support/TestFolder.h"

namespace {

// The rightmost column the text's ink reaches, drawn unclipped from x = 0; -1 for no ink.
int InkRight(HFONT font, const std::wstring& text, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = ::CreateCompatibleDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previousBitmap = ::SelectObject(dc, bitmap);
    const HGDIOBJ previousFont = ::SelectObject(dc, font);
    RECT area{0, 0, width, height};
    ::FillRect(dc, &area, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetBkMode(dc, TRANSPARENT);
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_NOPREFIX | DT_LEFT | DT_NOCLIP);
    ::GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    int right = -1;
    for (int y = 0; y < height; ++y) {
        for (int x = width - 1; x > right; --x) {
            if ((pixels[y * width + x] & 0x00FFFFFF) != 0x00FFFFFF) right = x;
        }
    }
    ::SelectObject(dc, previousFont);
    ::SelectObject(dc, previousBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return right;
}

TEST(Win32Label, ItalicDigitsStayWithinTheLabel) {
    const testsupport::TestFolder folder;
    platform::Win32Window window{folder.Path()};
    platform::Win32Label label{window, "03:00", 0, 0, platform::TextAlignment::Left};
    label.SetFontName("黑体");
    label.SetFontSize(72);
    label.SetFontItalic(true);
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(label.Handle(), WM_GETFONT, 0, 0));
    for (const char* text : {"03:00", "00:27", "11:11", "10:00"}) {
        label.SetCaption(text);
        RECT client{};
        ::GetClientRect(label.Handle(), &client);
        const int right = InkRight(font, platform::ToWide(text), 3 * client.right, client.bottom);
        EXPECT_GE(right, 0) << text;
        EXPECT_LT(right, client.right) << text << " in a label " << client.right << " pixels wide";
    }
}

}  // namespace
