// The real Tolvanexa.exe, copied into a folder with a Chinese name as a user copies the portable folder: it
// starts, clears what a save cut short by a kill left beside the configuration, and closes from the title bar
// as the desktop asks it to, leaving the file byte for byte as it was written.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "e2e/win32/Program.h"
#include "platform/win32/GbkCodec.h"
#include "platform/win32/Wide.h"
#include "support/TestFolder.h"
#include "window/StageTable.h"

namespace {

// A file as the program writes it, with another program's setting: GBK, CR LF.
std::string ConfigAsWritten() {
    std::string file = "#TarvelMonic Config File#\r\n<Tolvanexa>\\ApplicationTitle = 华语辩论赛\r\n"
                       "<Tolvanexa>\\ButtonPadding = 18\r\n<Tolvanexa>\\SeparatorWidth = 12\r\n<Other>\\Width = 3\r\n";
    for (const char* key : DurationKeys()) file += std::string("<Tolvanexa>\\") + key + " = 180\r\n";
    return platform::GbkCodec().Utf8ToGbk(file).value();
}

// The program's main window once it is shown, or null after 30 s.
HWND MainWindowOf(DWORD process) {
    for (int wait = 0; wait < 600; ++wait, ::Sleep(50)) {
        for (HWND window = nullptr; (window = ::FindWindowExW(nullptr, window, L"TolvanexaWindow", nullptr)) != nullptr;) {
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
        const HWND window = MainWindowOf(process);
        EXPECT_NE(window, nullptr) << "the window never showed";
        if (window != nullptr) ::PostMessageW(window, WM_CLOSE, 0, 0);  // the title bar's close, or taskkill without /F
    });
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(folder.Read("Tolvanexa.config"), config);
    EXPECT_EQ(::GetFileAttributesW(platform::NativePath(folder.File(".Tolvanexa.config.k3x9q2")).c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(folder.Read(".Tolvanexa.config.notes"), "a file of the user's own, not ours");
}

}  // namespace
