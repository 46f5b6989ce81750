// The real Win32 window in-process under Wine: the home page as first seen, keys, labels as the controls draw
// them, the start-up message. (A whole debate, ended with "退出", runs in e2e_win32_formats_test.)
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "app/ConfigureAudience.h"
#include "app/FormWiring.h"
#include "e2e/win32/Program.h"
#include "platform/win32/Win32AudienceView.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Form.h"
#include "platform/win32/GbkCodec.h"
#include "platform/win32/MessageFont.h"
#include "platform/win32/TestMessages.h"
#include "platform/win32/Wide.h"
#include "record/Summary.h"
#include "record/SummaryText.h"
#include "support/ConfigText.h"
#include "support/FakeControls.h"
#include "support/TestFolder.h"
#include "window/StageTable.h"

namespace {

using testsupport::NormalisedConfig;
using testsupport::Setting;

// Every setting written, so that no start-up message takes the keyboard but for a wrong first speech.
std::vector<Setting> Debate(const std::string& firstSpeech) {
    std::vector<Setting> settings = {{"ApplicationTitle", "华语辩论赛"}, {"ButtonPadding", "18"}, {"SeparatorWidth", "12"}};
    for (const std::string key : DurationKeys()) settings.emplace_back(key, key == "Stage1Timer1" ? firstSpeech : "180");
    return settings;
}

using testwin::RunUntil;
using testwin::TextOf;

// The colour a label's text is drawn in, as its window tells the control when it paints.
COLORREF DrawnColour(const platform::Win32Window& window, HWND label) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SendMessageW(window.Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(label));
    const COLORREF colour = ::GetTextColor(dc);
    ::DeleteDC(dc);
    return colour;
}

RECT ClientRectOf(HWND control, HWND parent) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

class RealWin32Debate : public testing::Test {
protected:
    explicit RealWin32Debate(const std::string& firstSpeech = "180", bool shown = true) {
        folder.Write("Tolvanexa.config", NormalisedConfig(Debate(firstSpeech)));
        ConfigureAudience(window, audience, form.errors);
        window.Form_Load();
        if (shown) form.window.Show();
    }
    std::vector<std::string> Captions() {
        std::vector<std::string> captions;
        for (int i = 0; i <= form.cmdCommand.UBound(); ++i) captions.push_back(TextOf(form.cmdCommand.Member(i).Handle()));
        return captions;
    }
    // A key pressed and released where the focus is.
    void Press(WPARAM key) { testwin::Press(::GetFocus() != nullptr ? ::GetFocus() : form.window.Handle(), key); }
    void ExpectStage(const std::string& name) {
        EXPECT_EQ(TextOf(form.window.Handle()) + "|" + TextOf(form.lblCaption.Handle()),
                  "华语辩论赛 - " + name + "|" + name);
    }
    testsupport::TestFolder folder{"辩论 计时器"};
    platform::Win32FileSystem files{platform::ExecutableLocation{folder.Path(), "Tolvanexa"}};
    platform::GbkCodec codec;
    platform::Win32Form form{folder.Path()};
    testsupport::FakeSound sound;
    testsupport::FakeBrowser browser;
    testsupport::FakeDisplaySleep displaySleep;
    platform::Win32AudienceView audience{form.window, folder.Path()};
    testsupport::FakeRecorder recorder;
    frmMain window{WireForm(form, sound, browser, displaySleep, files, codec, audience, recorder)};
};

// The bar is flush with the bottom, its buttons sized from the text, the clock in the corner; the title bar
// and Explorer show the program's icons, not Windows' blank one.
TEST_F(RealWin32Debate, HomePageShowsTheTitleTheBarFlushWithTheBottomTheClockInTheCornerAndTheIcon) {
    EXPECT_EQ(TextOf(form.window.Handle()), "华语辩论赛 - 主页");
    RECT client{};
    ::GetClientRect(form.window.Handle(), &client);
    const std::vector<std::string> captions = Captions();
    ASSERT_EQ(captions.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        const std::string& caption = captions[static_cast<std::size_t>(i)];
        platform::Win32Button& button = form.cmdCommand.Member(i);
        EXPECT_EQ(::IsWindowVisible(button.Handle()) != 0, !caption.empty()) << i;
        EXPECT_NEAR(button.Width(), caption.empty() ? 12 * 15 : 18 * 15 + form.window.TextWidth(caption), 0.01) << i;
        // Whole within the window, in one row on the bottom edge, or, where the font is too large for one
        // row beside the clock (Wine's 17-pixel message font), in two; "退出" is always on the bottom one.
        const RECT placed = ClientRectOf(button.Handle(), form.window.Handle());
        EXPECT_TRUE(caption.empty() || (placed.left >= 0 && placed.right <= client.right)) << i;
        EXPECT_TRUE(i != 19 || placed.bottom == client.bottom) << i;
    }
    const RECT clock = ClientRectOf(form.cmdTime.Handle(), form.window.Handle());
    EXPECT_EQ(std::make_pair(clock.right, clock.bottom), std::make_pair(client.right, client.bottom));
    EXPECT_EQ(form.lblCaption.Font().name, "黑体");
    EXPECT_TRUE(::GetClassLongPtrW(form.window.Handle(), GCLP_HICON) && ::GetClassLongPtrW(form.window.Handle(), GCLP_HICONSM));
    const HMODULE file = ::LoadLibraryExW(e2e::BuiltProgram().c_str(), nullptr,
                                          LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(file, nullptr);
    for (const int size : {16, 256}) EXPECT_NE(::LoadImageW(file, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0), nullptr) << size;
    ::FreeLibrary(file);
}

// Before, Tab moved nowhere on the Windows home page: the bar could not be worked from the keyboard.
TEST_F(RealWin32Debate, TabMovesAlongTheBarAndEnterPressesTheFocusedButton) {
    ::SetFocus(form.cmdCommand.Member(0).Handle());
    MSG tab{form.cmdCommand.Member(0).Handle(), WM_KEYDOWN, VK_TAB, 1, 0, {}};
    ASSERT_TRUE(form.window.MoveFocus(tab));
    EXPECT_EQ(::GetFocus(), form.cmdCommand.Member(1).Handle());  // "反方一辩发言"
    Press(VK_RETURN);
    ExpectStage("反方一辩发言");
    // Along the bar from 开始, past the hidden gap, to 返回; Enter goes home again.
    ::SetFocus(form.cmdCommand.Member(0).Handle());
    tab.hwnd = form.cmdCommand.Member(0).Handle();
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(form.window.MoveFocus(tab));
    EXPECT_EQ(TextOf(::GetFocus()), "返回");
    Press(VK_RETURN);
    ExpectStage("主页");
}

class RealWin32Speech : public RealWin32Debate {
protected:
    RealWin32Speech() : RealWin32Debate("32") {}
};

// F5 opens the hall's view over the only screen, taking the keyboard: keys typed into it run the debate (but
// for F11), it follows the page and the countdown (drawn red from 30 s in the main window), and shows the hint
// of a first R; Esc closes it alone and gives the keyboard back.
TEST_F(RealWin32Speech, TheAudienceViewFollowsTheDebateAndRunsItFromTheKeyboard) {
    Press(VK_F5);
    ASSERT_TRUE(audience.IsOpen());
    ASSERT_EQ(::GetFocus(), audience.Handle());
    RECT placed{};
    ::GetWindowRect(audience.Handle(), &placed);
    MONITORINFO screen{};
    screen.cbSize = sizeof screen;
    ::GetMonitorInfoW(::MonitorFromWindow(form.window.Handle(), MONITOR_DEFAULTTONULL), &screen);
    EXPECT_TRUE(::EqualRect(&placed, &screen.rcMonitor));
    Press(VK_F11);
    EXPECT_EQ(TextOf(audience.Handle()), "华语辩论赛");
    Press(VK_NEXT);
    EXPECT_EQ(TextOf(audience.Handle()), "正方一辩发言");
    EXPECT_EQ(audience.Description(), L"正方 00:32");
    Press(VK_SPACE);
    EXPECT_TRUE(form.tmrTimer1.Enabled());
    EXPECT_TRUE(RunUntil([&] { return audience.Description() == L"正方 00:30"; }));
    EXPECT_EQ(DrawnColour(form.window, form.lblTimer1.Handle()), RGB(255, 0, 0));
    // A first R while the countdown runs only shows its hint, on the view the time-keeper is looking at.
    Press('R');
    EXPECT_TRUE(::IsWindowVisible(audience.HintHandle()));
    EXPECT_TRUE(form.tmrTimer1.Enabled());
    Press(VK_ESCAPE);
    EXPECT_FALSE(audience.IsOpen());
    EXPECT_FALSE(form.window.IsFullScreen());
    // Wine hands the focus on through the X server, a moment later.
    EXPECT_TRUE(RunUntil([&] { return ::GetForegroundWindow() == form.window.Handle(); }, 5000));
    EXPECT_TRUE(form.tmrTimer1.Enabled());
}

class RealWin32StartUp : public RealWin32Debate {
protected:
    RealWin32StartUp() : RealWin32Debate("-240", false) {}
};

// The start-up message about a wrong setting waits for the window, then opens in front of it, over its middle,
// with the keyboard (before, it opened first and the window covered it); every character of it draws.
TEST_F(RealWin32StartUp, TheMessageOpensInFrontOfTheShownWindowAndEveryCharacterDraws) {
    const HWND box = ::FindWindowExW(nullptr, nullptr, L"TolvanexaMessage", nullptr);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(::IsWindowVisible(box));
    form.window.Show();
    ASSERT_TRUE(::IsWindowVisible(box));
    EXPECT_EQ(::GetWindow(box, GW_OWNER), form.window.Handle());
    bool inFront = false;
    for (HWND behind = box; behind != nullptr && !inFront; behind = ::GetWindow(behind, GW_HWNDNEXT))
        inFront = behind == form.window.Handle();
    EXPECT_TRUE(inFront);
    EXPECT_TRUE(RunUntil([&] { return ::GetForegroundWindow() == box; }, 5000));
    RECT message{}, main{};
    ::GetWindowRect(box, &message);
    ::GetWindowRect(form.window.Handle(), &main);
    EXPECT_NEAR(message.left + message.right, main.left + main.right, 2);
    EXPECT_NEAR(message.top + message.bottom, main.top + main.bottom, 2);
    std::string text;
    for (HWND child = nullptr; (child = ::FindWindowExW(box, child, L"STATIC", nullptr)) != nullptr;) {
        if (TextOf(child).find("-240") == std::string::npos) continue;
        text = TextOf(child);
        const auto font = reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0));
        EXPECT_TRUE(platform::DrawsEveryCharacter(font, platform::ToWide(text))) << text;
    }
    EXPECT_NE(text.find("“Stage1Timer1”的值“-240”是负数"), std::string::npos) << text;
}

// Every bar caption of every page, the hints and the summary's column names draw every character in the
// window's small font, from its outlines. Under Wine's Chinese set-up the system's message font at 9 points
// comes from WenQuanYi Zen Hei's bitmaps, which draw no hyphen, 辩 and 用 wrong: the font is then taken at a size
// drawn from outlines.
TEST_F(RealWin32Debate, EveryCaptionHintAndColumnDrawsEveryCharacterInTheSmallFont) {
    EXPECT_TRUE(platform::DrawnFromOutlines(form.window.Font()));
    std::set<std::string> texts = {"再按一次 R 重置本环节", "再按一次 Backspace 返回主页", "确定", "复制", "保存", "关闭",
                                   "计时进行中：暂停或结束后再按 F2 查看辩论小结", "2026-12-07 -240"};
    for (std::int16_t page = 0; page <= 11; ++page) {
        window.ShowPage(page);
        for (const std::string& caption : Captions()) texts.insert(caption);
    }
    for (const std::string& column : record::Tabulate(record::Summary{}).header) texts.insert(column);
    for (const std::string& text : texts)
        EXPECT_TRUE(platform::DrawsEveryCharacter(form.window.Font(), platform::ToWide(text))) << text;
}

}  // namespace

// The controls of Common Controls 6 (the manifest is linked in), and COM for the pictures.
int main(int argc, char** argv) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
