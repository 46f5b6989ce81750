// The real Win32 audience view under Wine (F5 and its keys: tests/e2e/win32): what screen readers get, a frame
// that changed nothing painting nothing, and the background pictures it refuses.
#include <windows.h>
#include <objbase.h>
#include <oleacc.h>

#include <gmock/gmock.h>

#include <algorithm>
#include <string>

#include "platform/FileSystem.h"
#include "platform/win32/Win32AudienceView.h"
#include "platform/win32/TestMessages.h"
#include "platform/win32/Win32Window.h"
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

struct BackgroundCase {
    const char* name;
    std::string bytes;  // empty: no file by that name
    platform::PictureFault fault;
};

class Background : public RealAudienceView, public testing::WithParamInterface<BackgroundCase> {};

// A picture declaring 9000 x 9000 would take 300 MB decoded: refused from its header alone, by the view and
// by the main window's own background alike.
TEST_P(Background, IsShownOrRefusedForWhatTheFileIs) {
    if (!GetParam().bytes.empty()) folder.Write("背景.bmp", GetParam().bytes);
    platform::AudienceSettings settings;
    settings.background = "背景.bmp";
    EXPECT_EQ(view.Configure(settings), GetParam().fault);
    EXPECT_EQ(view.HasBackground(), GetParam().fault == platform::PictureFault::None);
    EXPECT_EQ(main.LoadPicture("背景.bmp"), GetParam().fault == platform::PictureFault::None);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Background,
    testing::Values(BackgroundCase{"Picture", Bitmap(64, 48, 48), platform::PictureFault::None},
                    BackgroundCase{"Missing", "", platform::PictureFault::Missing},
                    BackgroundCase{"DeclaredTooLarge", Bitmap(9000, 9000, 1), platform::PictureFault::TooLarge},
                    BackgroundCase{"CutShort", Bitmap(64, 48, 2).substr(0, 80), platform::PictureFault::Unreadable}),
    [](const testing::TestParamInfo<BackgroundCase>& info) { return info.param.name; });

// A device named as a background is never opened: opening one may wait for good.
TEST_F(RealAudienceView, ADeviceAsBackgroundIsRefusedUnopenedAndTheMainWindowSaysSo) {
    platform::AudienceSettings settings;
    settings.background = "COM1";
    EXPECT_EQ(view.Configure(settings), platform::PictureFault::NotRegular);
    EXPECT_THAT([&] { main.LoadPicture("COM1"); },
                testing::ThrowsMessage<platform::FileError>(
                    testing::StrEq("背景图片“COM1”不是普通文件（而是管道、设备之类），程序没有打开它。")));
}

}  // namespace
