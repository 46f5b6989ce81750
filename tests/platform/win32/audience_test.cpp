// The real Win32 audience view under Wine (F5 and its keys: tests/e2e/win32): what screen readers get, a frame
// that changed nothing painting nothing, and the background pictures it and the main window show or refuse.
#include <windows.h>
#include <objbase.h>
#include <oleacc.h>
#include <wincodec.h>

#include <gmock/gmock.h>

#include <algorithm>
#include <string>

#include "platform/FileSystem.h"
#include "platform/win32/Win32AudienceView.h"
#include "platform/win32/TestMessages.h"
#include "platform/win32/Win32Window.h"
#include "support/OneColourGif.h"
#include "support/TestFolder.h"

namespace {

using testwin::Pump;

platform::AudienceFrame Speech(const std::string& text, const std::string& clock = "10:00:00") {
    platform::AudienceFrame frame;
    frame.home = false;
    frame.title = "华语辩论赛";
    frame.caption = "正方一辩发言";
    frame.countdowns[0] = {true, text, "正方", 135, 180, true, false, false, 0};
    frame.clock = clock;
    return frame;
}

// COM from before the view asks for its annotation service until after it lets go of it.
struct ComApartment {
    ComApartment() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { ::CoUninitialize(); }
};

class RealAudienceView : public testing::Test {
protected:
    ComApartment com;
    testsupport::TestFolder folder{"观众 屏幕"};
    platform::Win32Window main{folder.Path()};
    platform::Win32AudienceView view{main, folder.Path()};
};

// The text itself is the shared AudienceText's; here, that it reaches assistive technology through the window.
TEST_F(RealAudienceView, ScreenReadersReadTheCaptionAndTheCountdowns) {
    platform::AudienceFrame frame = Speech("00:00");
    frame.caption = "正方一辩\r\n发言";
    view.Publish(frame);
    EXPECT_EQ(view.Description(), L"正方 00:00");
    IAccessible* accessible = nullptr;
    ASSERT_EQ(::AccessibleObjectFromWindow(view.Handle(), OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&accessible)), S_OK);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    ASSERT_EQ(accessible->get_accName(self, &name), S_OK);
    EXPECT_EQ(std::wstring(name != nullptr ? name : L""), L"正方一辩 发言");
    ::SysFreeString(name);
    accessible->Release();
}

// A running countdown publishes every second: a frame that changed nothing paints nothing, one where only the
// clock moved paints the clock's corner only, and a time up paints its red field.
TEST_F(RealAudienceView, PaintsOnlyWhatChanged) {
    view.Publish(Speech("02:15"));
    view.Open();
    Pump();
    const int paints = view.Paints();
    ASSERT_GT(paints, 0);
    view.Publish(Speech("02:15"));
    Pump();
    EXPECT_EQ(view.Paints(), paints);

    view.Publish(Speech("02:15", "10:00:01"));
    RECT dirty{}, client{};
    ASSERT_TRUE(::GetUpdateRect(view.Handle(), &dirty, FALSE));
    ::GetClientRect(view.Handle(), &client);
    EXPECT_GT(dirty.left, client.right * 3 / 4);
    EXPECT_GT(dirty.top, client.bottom * 3 / 4);
    Pump();
    EXPECT_EQ(view.Paints(), paints + 1);

    platform::AudienceFrame timeUp = Speech("00:00", "10:00:01");
    timeUp.countdowns[0].timeUp = true;
    view.Publish(timeUp);
    Pump();
    // Inside the red field (which may reach past a narrow screen's edges), left of the first digit's cell.
    const auto& pieces = view.Pieces();
    const auto field = std::find_if(pieces.begin(), pieces.end(),
                                    [](const auto& piece) { return piece.fill == platform::AudienceRole::OvertimeField; });
    ASSERT_NE(field, pieces.end());
    HDC screen = ::GetDC(view.Handle());
    EXPECT_EQ(::GetPixel(screen, std::max(0, field->box.left) + 1, (field->box.top + field->box.bottom) / 2), RGB(0xC8, 0x10, 0x10));
    ::ReleaseDC(view.Handle(), screen);
}

std::string Bytes(std::initializer_list<unsigned> bytes) {
    std::string text;
    for (unsigned byte : bytes) text += static_cast<char>(byte);
    return text;
}

// A 24-bit BMP of `width` x `height` with `rows` rows of pixels after its header.
std::string Bitmap(std::uint32_t width, std::uint32_t height, std::uint32_t rows) {
    const std::uint32_t stride = (width * 3 + 3) / 4 * 4;
    std::string file = "BM";
    const std::pair<std::uint32_t, int> fields[] = {{54 + stride * height, 4}, {0, 4}, {54, 4}, {40, 4}, {width, 4},
                                                    {height, 4}, {1, 2}, {24, 2}, {0, 24}};
    for (const auto& [value, bytes] : fields) {
        for (int i = 0; i < bytes; ++i) file += static_cast<char>(i < 4 ? value >> (8 * i) : 0);
    }
    return file + std::string(stride * rows, '\x40');
}

// Headers alone declaring 8192 x 8192, which WIC's decoders under Wine decode only whole (256 MB at 4 bytes a
// pixel): each is refused from its header, before a decoder opens it. The BMP's rows are read one at a time
// instead, and it is cut short after its first.
std::string BigBmp() { return Bitmap(8192, 8192, 1); }
std::string BigPng() {
    return Bytes({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0x20, 0, 0, 0,
                  0x20, 0, 8, 2, 0, 0, 0, 0, 0, 0, 0});
}
std::string BigJpeg() {
    // A JFIF segment before the frame's header, as every camera writes one.
    return Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0, 0xFF, 0xC0, 0, 17, 8,
                  0x20, 0, 0x20, 0, 3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1});
}
// The largest GIF read, one colour in a few kilobytes: read a row at a time, not by WIC, which would decode it
// whole.
std::string BigGif() { return testsupport::OneColourGif(8192, 8192, 0x808080); }

// A real picture in `container`'s format, written by WIC's own encoder: grey 0x40 on the left half, 0xC0 on the right.
std::string Encoded(const GUID& container, WICPixelFormatGUID format, UINT width = 64, UINT height = 48) {
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    IWICPalette* palette = nullptr;
    IPropertyBag2* options = nullptr;
    const std::wstring path = L"wic-encoded.tmp";
    std::string bytes;
    const bool indexed = format == GUID_WICPixelFormat8bppIndexed;
    const UINT bytesPerPixel = indexed ? 1 : 3;
    const UINT stride = (width * bytesPerPixel + 3) / 4 * 4;
    std::string pixels(std::size_t{stride} * height, '\x40');
    for (UINT y = 0; y < height && !indexed; ++y) std::fill_n(pixels.begin() + y * stride + width / 2 * 3, (width - width / 2) * 3, '\xC0');
    const bool written =
        SUCCEEDED(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                     reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateStream(&stream)) && SUCCEEDED(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE)) &&
        SUCCEEDED(factory->CreateEncoder(container, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, &options)) && SUCCEEDED(frame->Initialize(options)) &&
        SUCCEEDED(frame->SetSize(width, height)) && SUCCEEDED(frame->SetPixelFormat(&format)) &&
        (!indexed || (SUCCEEDED(factory->CreatePalette(&palette)) &&
                      SUCCEEDED(palette->InitializePredefined(WICBitmapPaletteTypeFixedWebPalette, FALSE)) &&
                      SUCCEEDED(frame->SetPalette(palette)))) &&
        SUCCEEDED(frame->WritePixels(height, stride, static_cast<UINT>(pixels.size()), reinterpret_cast<BYTE*>(pixels.data()))) &&
        SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit());
    // Read once WIC has let go of the file.
    for (IUnknown* object : std::initializer_list<IUnknown*>{options, palette, frame, encoder, stream, factory}) {
        if (object != nullptr) object->Release();
    }
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    char buffer[65536];
    DWORD got = 0;
    while (written && file != INVALID_HANDLE_VALUE && ::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        bytes.append(buffer, got);
    }
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    ::DeleteFileW(path.c_str());
    return bytes;
}

std::string SmallPng() { return Encoded(GUID_ContainerFormatPng, GUID_WICPixelFormat24bppBGR); }
std::string SmallJpeg() { return Encoded(GUID_ContainerFormatJpeg, GUID_WICPixelFormat24bppBGR); }
std::string SmallGif() { return Encoded(GUID_ContainerFormatGif, GUID_WICPixelFormat8bppIndexed); }
std::string SmallBmp() { return Bitmap(64, 48, 48); }
std::string HugeBmp() { return Bitmap(9000, 9000, 1); }
std::string CutShortBmp() { return Bitmap(64, 48, 2).substr(0, 80); }

struct BackgroundCase {
    const char* name;
    const char* written;
    std::string (*bytes)();  // nullptr: no file by that name
    platform::PictureFault fault;
};

class Background : public RealAudienceView, public testing::WithParamInterface<BackgroundCase> {};

// The audience view covers its screen and the main window paints unscaled, and neither may take more than the
// budget to decode: each picture is shown, or refused for the same reason by both, which start-up then tells.
TEST_P(Background, IsShownOrRefusedForWhatTheFileIs) {
    if (GetParam().bytes != nullptr) {
        const std::string bytes = GetParam().bytes();
        ASSERT_FALSE(bytes.empty());
        folder.Write(GetParam().written, bytes);
    }
    platform::AudienceSettings settings;
    settings.background = GetParam().written;
    EXPECT_EQ(view.Configure(settings), GetParam().fault);
    EXPECT_EQ(view.HasBackground(), GetParam().fault == platform::PictureFault::None);
    EXPECT_EQ(main.LoadPicture(GetParam().written), GetParam().fault);
    EXPECT_EQ(main.HasPicture(), GetParam().fault == platform::PictureFault::None);
}

using platform::PictureFault;
INSTANTIATE_TEST_SUITE_P(
    Files, Background,
    testing::Values(BackgroundCase{"Bmp", "背景.bmp", &SmallBmp, PictureFault::None},
                    BackgroundCase{"Png", "背景.png", &SmallPng, PictureFault::None},
                    BackgroundCase{"Jpeg", "背景.jpg", &SmallJpeg, PictureFault::None},
                    BackgroundCase{"Gif", "背景.gif", &SmallGif, PictureFault::None},
                    BackgroundCase{"Missing", "背景.bmp", nullptr, PictureFault::Missing},
                    // A device is never opened: opening one may wait for good.
                    BackgroundCase{"Device", "COM1", nullptr, PictureFault::NotRegular},
                    BackgroundCase{"CutShort", "背景.bmp", &CutShortBmp, PictureFault::Unreadable},
                    BackgroundCase{"PastTheLargestSide", "背景.bmp", &HugeBmp, PictureFault::TooLarge},
                    BackgroundCase{"BmpPastTheBudgetCutShort", "背景.bmp", &BigBmp, PictureFault::Unreadable},
                    BackgroundCase{"PngPastTheBudget", "背景.png", &BigPng, PictureFault::OverBudget},
                    BackgroundCase{"JpegPastTheBudget", "背景.jpg", &BigJpeg, PictureFault::OverBudget},
                    BackgroundCase{"GifOfTheLargestSize", "背景.gif", &BigGif, PictureFault::None}),
    [](const testing::TestParamInfo<BackgroundCase>& info) { return info.param.name; });

// A 1 x 8192 strip covers the view with its middle pixels, not black: scaled whole to cover the view it would be
// millions of pixels tall.
TEST_F(RealAudienceView, ALongStripCoversTheView) {
    folder.Write("条.bmp", Bitmap(1, 8192, 8192));
    platform::AudienceSettings settings;
    settings.background = "条.bmp";
    ASSERT_EQ(view.Configure(settings), platform::PictureFault::None);
    view.Publish(Speech("02:15"));
    view.Open();
    Pump();
    RECT client{};
    ::GetClientRect(view.Handle(), &client);
    HDC screen = ::GetDC(view.Handle());
    // Grey 0x40 under the veil, where no text is drawn: three corners and the left edge.
    for (const POINT at : {POINT{2, 2}, POINT{client.right - 3, 2}, POINT{2, client.bottom - 3}, POINT{2, client.bottom / 2}}) {
        const COLORREF pixel = ::GetPixel(screen, at.x, at.y);
        EXPECT_NEAR(GetRValue(pixel), 35, 3) << at.x << "," << at.y;
        EXPECT_NEAR(GetBValue(pixel), 35, 3) << at.x << "," << at.y;
    }
    ::ReleaseDC(view.Handle(), screen);
}

// A picture twice the screen each way is kept at a screenful, brought down as its rows arrive: both its halves
// reach the view's edges, at every height.
TEST_F(RealAudienceView, APictureLargerThanTheScreenIsBroughtDownWhole) {
    RECT desktop{};
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    folder.Write("大.png", Encoded(GUID_ContainerFormatPng, GUID_WICPixelFormat24bppBGR,
                                   static_cast<UINT>(desktop.right) * 2, static_cast<UINT>(desktop.bottom) * 2));
    platform::AudienceSettings settings;
    settings.background = "大.png";
    ASSERT_EQ(view.Configure(settings), platform::PictureFault::None);
    view.Open();
    Pump();
    RECT client{};
    ::GetClientRect(view.Handle(), &client);
    HDC screen = ::GetDC(view.Handle());
    for (const LONG y : {2L, client.bottom / 3, client.bottom - 3}) {
        EXPECT_NEAR(GetGValue(::GetPixel(screen, 2, y)), 35, 3) << y;                  // 0x40 under the veil
        EXPECT_NEAR(GetGValue(::GetPixel(screen, client.right - 3, y)), 106, 3) << y;  // 0xC0 under the veil
    }
    ::ReleaseDC(view.Handle(), screen);
}

}  // namespace
