// The real Win32 audience view under Wine: the texts screen readers get, the screen it fills and who has the
// keyboard, a frame that changed nothing painting nothing, and the background pictures it refuses.
#include <windows.h>
#include <objbase.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/FileSystem.h"
#include "platform/win32/AudienceView.h"
#include "platform/win32/Window.h"
#include "support/TestFolder.h"

namespace {

void Pump() {
    MSG message{};
    for (int round = 0; round < 3; ++round) {
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        ::Sleep(10);
    }
}

void Press(HWND window, WPARAM key) {
    ::SendMessageW(window, WM_KEYDOWN, key, 1);
    ::SendMessageW(window, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
    Pump();
}

std::wstring TitleOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

platform::AudienceFrame Speech(const std::string& text, const std::string& clock = "10:00:00") {
    platform::AudienceFrame frame;
    frame.home = false;
    frame.title = "华语辩论赛";
    frame.caption = "正方一辩发言";
    frame.countdowns[0] = {true, text, "正方", 135, 180, true, false, false, 0};
    frame.clock = clock;
    return frame;
}

// COM for as long as the view lives: begun before it asks for the annotation
// service its description travels by, ended after it has let go of it.
struct ComApartment {
    ComApartment() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { ::CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

// The main window is shown only where its screen matters: Wine takes seconds to destroy a shown window.
class RealAudienceView : public testing::Test {
protected:
    ComApartment com;
    testsupport::TestFolder folder{"观众 屏幕"};
    platform::Win32Window main{folder.Path()};
    platform::Win32AudienceView view{main, folder.Path()};
};

// A screen reader names the view by its caption and reads the countdowns, with any overtime, as its description.
TEST_F(RealAudienceView, ScreenReadersReadTheCaptionAndTheCountdowns) {
    platform::AudienceFrame frame = Speech("00:00");
    frame.caption = "正方一辩\r\n发言";
    frame.countdowns[0].timeUp = true;
    frame.countdowns[0].overtimeSeconds = 67;
    frame.countdowns[1] = {true, "00:20", "反方", 20, 120, false, true, false, 0};
    view.Publish(frame);
    EXPECT_EQ(TitleOf(view.Handle()), L"正方一辩 发言");
    EXPECT_EQ(view.Description(), L"正方 00:00，超时 01:07；反方 00:20");

    // What assistive technology actually gets from the window.
    IAccessible* accessible = nullptr;
    ASSERT_EQ(::AccessibleObjectFromWindow(view.Handle(), OBJID_CLIENT, IID_IAccessible,
                                           reinterpret_cast<void**>(&accessible)),
              S_OK);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    ASSERT_EQ(accessible->get_accName(self, &name), S_OK);
    EXPECT_EQ(std::wstring(name != nullptr ? name : L""), L"正方一辩 发言");
    ::SysFreeString(name);
    // The description travels as an annotation, which Wine does not keep: checked where Windows took it.
    BSTR description = nullptr;
    if (view.DescriptionAnnotated() && SUCCEEDED(accessible->get_accDescription(self, &description))) {
        EXPECT_EQ(std::wstring(description != nullptr ? description : L""), view.Description());
        ::SysFreeString(description);
    }
    accessible->Release();

    platform::AudienceFrame home;
    home.title = "华语辩论赛";
    home.caption = "决赛";
    view.Publish(home);
    EXPECT_EQ(TitleOf(view.Handle()), L"华语辩论赛，决赛");
    EXPECT_EQ(view.Description(), L"");
}

// F5 in the main window opens the view over a whole screen: another than the main window's where there is
// one; with one screen, the main window's own, taking the keyboard so the debate runs from it and showing
// the main window's hints. Esc closes it and gives the keyboard back.
TEST_F(RealAudienceView, FillsAScreenTakesTheKeysAndGivesThemBackOnEsc) {
    std::vector<platform::Key> keys;
    main.onKey = [&keys](platform::Key key) {
        keys.push_back(key);
        return true;
    };
    main.Show();
    Press(main.Handle(), VK_F5);
    ASSERT_TRUE(view.IsOpen());
    RECT placed{};
    ::GetWindowRect(view.Handle(), &placed);
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    ::GetMonitorInfoW(::MonitorFromRect(&placed, MONITOR_DEFAULTTONULL), &screen);
    EXPECT_TRUE(::EqualRect(&placed, &screen.rcMonitor));
    const bool oneScreen = ::GetSystemMetrics(SM_CMONITORS) == 1;
    EXPECT_EQ(::MonitorFromWindow(view.Handle(), MONITOR_DEFAULTTONULL) ==
                  ::MonitorFromWindow(main.Handle(), MONITOR_DEFAULTTONULL),
              oneScreen);
    if (oneScreen) {
        EXPECT_EQ(::GetForegroundWindow(), view.Handle());
        // Typed into the view, a key reaches the logic as from the main window; F11 does nothing there.
        Press(view.Handle(), VK_SPACE);
        Press(view.Handle(), VK_F11);
        EXPECT_EQ(keys, std::vector<platform::Key>{platform::Key::Space});
        EXPECT_FALSE(main.IsFullScreen());
        // The main window's hint is beneath the view: the view shows it too, and takes it away with it.
        EXPECT_TRUE(view.CoversMainWindow());
        main.ShowHint("再按一次 R 重置本环节");
        EXPECT_TRUE(::IsWindowVisible(view.HintHandle()));
        EXPECT_EQ(TitleOf(view.HintHandle()), L"再按一次 R 重置本环节");
        main.ShowHint("");
        EXPECT_FALSE(::IsWindowVisible(view.HintHandle()));
        Press(view.Handle(), VK_ESCAPE);
        EXPECT_EQ(::GetForegroundWindow(), main.Handle());
    } else {
        main.ShowHint("再按一次 R 重置本环节");
        EXPECT_FALSE(::IsWindowVisible(view.HintHandle()));
        Press(main.Handle(), VK_ESCAPE);
    }
    EXPECT_FALSE(view.IsOpen());
    EXPECT_FALSE(main.IsFullScreen());  // that Esc closed the view only
}

// A running countdown publishes every second, the clock too: a frame that changed nothing paints nothing,
// one where only the clock moved paints the clock's corner only, and a time up paints its red field.
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
    RECT dirty{};
    ASSERT_TRUE(::GetUpdateRect(view.Handle(), &dirty, FALSE));
    RECT client{};
    ::GetClientRect(view.Handle(), &client);
    EXPECT_GT(dirty.left, client.right * 3 / 4);
    EXPECT_GT(dirty.top, client.bottom * 3 / 4);
    Pump();
    EXPECT_EQ(view.Paints(), paints + 1);

    platform::AudienceFrame timeUp = Speech("00:00", "10:00:01");
    timeUp.countdowns[0].timeUp = true;
    view.Publish(timeUp);
    Pump();
    // Inside the red field (which may reach past a narrow screen's edges), left of the first digit's cell:
    // the field's own colour on the screen.
    const platform::AudiencePiece* field = nullptr;
    for (const platform::AudiencePiece& piece : view.Pieces()) {
        if (piece.filled && piece.fill == RGB(0xC8, 0x10, 0x10)) field = &piece;
    }
    ASSERT_NE(field, nullptr);
    HDC screen = ::GetDC(view.Handle());
    EXPECT_EQ(::GetPixel(screen, std::max(0L, field->box.left) + 1, (field->box.top + field->box.bottom) / 2), RGB(0xC8, 0x10, 0x10));
    ::ReleaseDC(view.Handle(), screen);
}

// A header of a BMP of `width` x `height`, 24 bits, with `rows` rows of pixels after it.
std::string Bitmap(int width, int height, int rows) {
    const int stride = (width * 3 + 3) / 4 * 4;
    std::string file(54, '\0');
    const auto put = [&file](std::size_t at, std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, 54 + static_cast<std::uint32_t>(stride) * static_cast<std::uint32_t>(height), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<std::uint32_t>(width), 4);
    put(22, static_cast<std::uint32_t>(height), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    file += std::string(static_cast<std::size_t>(stride) * static_cast<std::size_t>(rows), '\x40');
    return file;
}

struct BackgroundCase {
    const char* name;
    std::string bytes;  // empty: no file by that name
    platform::PictureFault fault;
};

class Background : public RealAudienceView, public testing::WithParamInterface<BackgroundCase> {};

// A picture declaring 9000 x 9000 would take 300 MB decoded: refused from its
// header alone, by the view and by the main window's own background alike.
TEST_P(Background, IsShownOrRefusedForWhatTheFileIs) {
    if (!GetParam().bytes.empty()) folder.Write("背景.bmp", GetParam().bytes);
    platform::AudienceSettings settings;
    settings.background = "背景.bmp";
    EXPECT_EQ(view.Configure(settings), GetParam().fault);
    EXPECT_EQ(view.HasBackground(), GetParam().fault == platform::PictureFault::None);
    EXPECT_EQ(main.LoadPicture("背景.bmp"), GetParam().fault == platform::PictureFault::None);
}

// A device named as a background is never opened: opening one may wait for good.
TEST_F(RealAudienceView, ADeviceAsBackgroundIsRefusedUnopenedAndTheMainWindowSaysSo) {
    platform::AudienceSettings settings;
    settings.background = "COM1";
    EXPECT_EQ(view.Configure(settings), platform::PictureFault::NotRegular);
    try {
        main.LoadPicture("COM1");
        ADD_FAILURE() << "the main window took a device for its background";
    } catch (const platform::FileError& error) {
        EXPECT_EQ(std::string(error.what()), "背景图片“COM1”不是普通文件（而是管道、设备之类），程序没有打开它。");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, Background,
    testing::Values(BackgroundCase{"Picture", Bitmap(64, 48, 48), platform::PictureFault::None},
                    BackgroundCase{"Missing", "", platform::PictureFault::Missing},
                    BackgroundCase{"DeclaredTooLarge", Bitmap(9000, 9000, 1), platform::PictureFault::TooLarge},
                    BackgroundCase{"CutShort", Bitmap(64, 48, 2).substr(0, 80), platform::PictureFault::Unreadable}),
    [](const testing::TestParamInfo<BackgroundCase>& info) { return info.param.name; });

}  // namespace
