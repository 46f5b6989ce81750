// The real Tolvanexa.exe, copied into a folder with a Chinese name as a user copies the portable folder: it
// starts, clears what a save cut short by a kill left beside the configuration, and closes from the title bar
// as the desktop asks it to, leaving the file byte for byte as it was written.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "e2e/win32/Program.h"
#include "platform/win32/Wide.h"
#include "support/ConfigText.h"
#include "support/TestFolder.h"
#include "window/StageTable.h"

namespace {

// A file as the program writes it, with another program's setting.
std::string ConfigAsWritten() {
    std::vector<testsupport::Setting> settings = {{"ApplicationTitle", "华语辩论赛"}, {"ButtonPadding", "18"},
                                                  {"SeparatorWidth", "12"}, {"<Other>\\Width", "3"}};
    for (const char* key : DurationKeys()) settings.emplace_back(key, "180");
    return testsupport::NormalisedConfig(settings);
}

// The window of `process` with `className`, once it is shown, or null after 30 s.
HWND ShownWindowOf(DWORD process, const wchar_t* className) {
    for (int wait = 0; wait < 600; ++wait, ::Sleep(50)) {
        for (HWND window = nullptr; (window = ::FindWindowExW(nullptr, window, className, nullptr)) != nullptr;) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner == process && ::IsWindowVisible(window)) return window;
        }
    }
    return nullptr;
}

TEST(RealProgram, StartsClearsWhatAKilledSaveLeftAndClosesLeavingTheFileAsWritten) {
    const testsupport::TestFolder folder{"辩论 计时器"};
    const std::wstring program = platform::NativePath(folder.File("Tolvanexa.exe"));
    ASSERT_TRUE(::CopyFileW(e2e::BuiltProgram().c_str(), program.c_str(), TRUE));
    const std::string config = ConfigAsWritten();
    folder.Write("Tolvanexa.config", config);
    folder.Write(".Tolvanexa.config.k3x9q2", "#TarvelMonic Config File#\r\n<Tolvanexa>\\Stage1");
    folder.Write(".Tolvanexa.config.notes", "a file of the user's own, not ours");

    const DWORD status = e2e::Run(L"\"" + program + L"\"", {}, platform::NativePath(folder.Path()), [](DWORD process) {
        const HWND window = ShownWindowOf(process, L"TolvanexaWindow");
        EXPECT_NE(window, nullptr) << "the window never showed";
        if (window != nullptr) ::PostMessageW(window, WM_CLOSE, 0, 0);  // the title bar's close, or taskkill without /F
    });
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(folder.Read("Tolvanexa.config"), config);
    EXPECT_EQ(::GetFileAttributesW(platform::NativePath(folder.File(".Tolvanexa.config.k3x9q2")).c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(folder.Read(".Tolvanexa.config.notes"), "a file of the user's own, not ours");
}

// Wine's scaling for the whole prefix (LogPixels, 144 for 150 %), set until Restore(), which puts back what was
// there. ctest runs this test alone (RUN_SERIAL): no other program starts meanwhile.
class ScaledPrefix final {
public:
    explicit ScaledPrefix(DWORD dpi) {
        ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                          &key_, nullptr);
        DWORD size = sizeof before_;
        had_ = ::RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&before_), &size) ==
               ERROR_SUCCESS;
        ::RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    }
    ~ScaledPrefix() { Restore(); }
    ScaledPrefix(const ScaledPrefix&) = delete;
    ScaledPrefix& operator=(const ScaledPrefix&) = delete;
    void Restore() {
        if (key_ == nullptr) return;
        if (had_) {
            ::RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&before_), sizeof before_);
        } else {
            ::RegDeleteValueW(key_, L"LogPixels");
        }
        ::RegCloseKey(key_);
        key_ = nullptr;
    }

private:
    HKEY key_ = nullptr;
    DWORD before_ = 0;
    bool had_ = false;
};

bool Within(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right && inner.bottom <= outer.bottom;
}

// At 150 % the design's 1500 x 1051 pixels exceed the test's 1280 x 1024 screen: the window is fitted to the
// work area (before, its bar and clock opened below the screen's edge), and F2's summary opens over its middle,
// within the screen too.
TEST(ScaledScreen, AtOneAndAHalfTheWindowAndTheSummaryFitTheScreensWorkArea) {
    const testsupport::TestFolder folder{"辩论 计时器"};
    const std::wstring program = platform::NativePath(folder.File("Tolvanexa.exe"));
    ASSERT_TRUE(::CopyFileW(e2e::BuiltProgram().c_str(), program.c_str(), TRUE));
    folder.Write("Tolvanexa.config", ConfigAsWritten());
    ScaledPrefix scaled(144);
    e2e::Run(L"\"" + program + L"\"", {}, platform::NativePath(folder.Path()), [&scaled](DWORD process) {
        const HWND window = ShownWindowOf(process, L"TolvanexaWindow");
        scaled.Restore();  // the program has its scaling
        ASSERT_NE(window, nullptr) << "the window never showed";
        MONITORINFO screen{};
        screen.cbSize = sizeof screen;
        ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &screen);
        RECT placed{}, client{};
        ::GetWindowRect(window, &placed);
        ::GetClientRect(window, &client);
        EXPECT_TRUE(Within(placed, screen.rcWork));
        EXPECT_GT(client.right, 1000);  // scaled beyond the design's size at 100 %: the program had the scaling
        ::PostMessageW(window, WM_KEYDOWN, VK_F2, 1);
        const HWND summary = ShownWindowOf(process, L"TolvanexaSummary");
        EXPECT_NE(summary, nullptr) << "F2 opened no summary";
        RECT over{};
        ::GetWindowRect(summary, &over);
        EXPECT_TRUE(Within(over, screen.rcWork));
        EXPECT_NEAR(over.left + over.right, placed.left + placed.right, 2);
        EXPECT_NEAR(over.top + over.bottom, placed.top + placed.bottom, 2);
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    });
}

}  // namespace
