// The real Tolvanexa.exe, copied into a folder with a Chinese name as a user
// copies the portable folder: it starts, clears what a save cut short by a
// kill left beside the configuration, and closes from the title bar as the
// desktop asks it to, leaving the file byte for byte as it was written.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/win32/GbkCodec.h"
#include "platform/win32/Wide.h"
#include "support/TestFolder.h"
#include "window/StageTable.h"

namespace {

// The program beside the tests' folder, as the build places it.
std::wstring BuiltProgram() {
    std::wstring self(MAX_PATH, L'\0');
    self.resize(::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    self.erase(self.find_last_of(L"\\/"));
    return self.substr(0, self.find_last_of(L"\\/")) + L"\\Tolvanexa.exe";
}

// A file as the program writes it, with another program's setting: GBK, CR LF.
std::string ConfigAsWritten() {
    std::string file = "#TarvelMonic Config File#\r\n<Tolvanexa>\\ApplicationTitle = 华语辩论赛\r\n"
                       "<Tolvanexa>\\ButtonPadding = 18\r\n<Tolvanexa>\\SeparatorWidth = 12\r\n<Other>\\Width = 3\r\n";
    for (const char* key : DurationKeys()) file += std::string("<Tolvanexa>\\") + key + " = 180\r\n";
    return platform::GbkCodec().Utf8ToGbk(file).value();
}

struct Found {
    DWORD process = 0;
    HWND window = nullptr;
};

// The program's main window once it is shown.
HWND MainWindowOf(DWORD process) {
    Found found{process, nullptr};
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (found.window == nullptr && std::chrono::steady_clock::now() < end) {
        ::EnumWindows(
            [](HWND hwnd, LPARAM context) -> BOOL {
                auto* wanted = reinterpret_cast<Found*>(context);
                DWORD owner = 0;
                ::GetWindowThreadProcessId(hwnd, &owner);
                wchar_t name[64] = {};
                ::GetClassNameW(hwnd, name, 64);
                if (owner != wanted->process || std::wstring(name) != L"TolvanexaWindow" || !::IsWindowVisible(hwnd))
                    return TRUE;
                wanted->window = hwnd;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return found.window;
}

TEST(RealProgram, StartsClearsWhatAKilledSaveLeftAndClosesLeavingTheFileAsWritten) {
    const testsupport::TestFolder folder{"辩论 计时器"};
    const std::wstring program = platform::NativePath(folder.File("Tolvanexa.exe"));
    ASSERT_TRUE(::CopyFileW(BuiltProgram().c_str(), program.c_str(), TRUE));
    const std::string config = ConfigAsWritten();
    folder.Write("Tolvanexa.config", config);
    folder.Write(".Tolvanexa.config.k3x9q2", "#TarvelMonic Config File#\r\n<Tolvanexa>\\Stage1");
    folder.Write(".Tolvanexa.config.notes", "a file of the user's own, not ours");

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring command = L"\"" + program + L"\"";
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 platform::NativePath(folder.Path()).c_str(), &startup, &process));
    const HWND window = MainWindowOf(process.dwProcessId);
    EXPECT_NE(window, nullptr) << "the window never showed";
    if (window != nullptr) ::PostMessageW(window, WM_CLOSE, 0, 0);  // the title bar's close, or taskkill without /F
    DWORD status = 0xFFFF;
    if (::WaitForSingleObject(process.hProcess, 30'000) == WAIT_OBJECT_0) {
        ::GetExitCodeProcess(process.hProcess, &status);
    } else {
        ::TerminateProcess(process.hProcess, 0xDEAD);
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);

    EXPECT_EQ(status, 0u);
    EXPECT_EQ(folder.Read("Tolvanexa.config"), config);
    EXPECT_EQ(::GetFileAttributesW(platform::NativePath(folder.File(".Tolvanexa.config.k3x9q2")).c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(folder.Read(".Tolvanexa.config.notes"), "a file of the user's own, not ours");
}

}  // namespace
