// The store's saves on a real Windows disk: a save killed part-way (TerminateProcess, Windows' SIGKILL).
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include "config/clsConfigFile.h"
#include "platform/win32/FileSystem.h"
#include "platform/win32/Wide.h"
#include "support/Codec.h"
#include "support/TestFolder.h"

namespace {

const std::string H = "#TarvelMonic Config File#\r\n";
const platform::TextCodec& codec = testsupport::GbkCodec();
constexpr wchar_t kChildFolder[] = L"TOLVANEXA_SAVE_FOREVER_IN";
constexpr UINT kKilled = 9;

std::string FileFor(long counter) {
    return H + "Padding = " + std::string(256 * 1024, 'x') + "\r\nCounter = " + std::to_string(counter) + "\r\n";
}

// The child of the test below: saves for ever, each time a new counter, into the folder it is given.
TEST(StoreChild, DISABLED_SavesForever) {
    std::wstring folder(32768, L'\0');
    folder.resize(::GetEnvironmentVariableW(kChildFolder, folder.data(), static_cast<DWORD>(folder.size())));
    if (folder.empty()) GTEST_SKIP() << "only run as the child of KilledSaveLeavesTheOldOrTheNewFileNeverAPartialOne";
    platform::Win32FileSystem files(platform::ExecutableLocation{platform::PortablePath(folder), "Tolvanexa"});
    [&]() noexcept {  // an error ends the child, which the check of its exit code reports
        clsConfigFile config(files, codec);
        for (long counter = 1;; ++counter) config.Item("Counter", std::to_string(counter)), config.Save();
    }();
}

FILETIME LastWrite(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(platform::NativePath(path).c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

// Starts this test program again as the saving child.
PROCESS_INFORMATION StartChild() {
    std::wstring self(32768, L'\0');
    self.resize(::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    std::wstring command = L"\"" + self + L"\" --gtest_filter=StoreChild.DISABLED_SavesForever --gtest_also_run_disabled_tests";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!::CreateProcessW(self.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &child)) {
        ADD_FAILURE() << "CreateProcessW failed: " << ::GetLastError();
    }
    return child;
}

// A child saving in a loop is killed at random moments, once it has saved at least once.
TEST(Store, KilledSaveLeavesTheOldOrTheNewFileNeverAPartialOne) {
    const testsupport::TestFolder folder;
    folder.Write("Tolvanexa.config", FileFor(0));
    ::SetEnvironmentVariableW(kChildFolder, platform::ToWide(folder.Path()).c_str());
    std::mt19937 random(1234);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int runs = 0;
    for (; runs < 40 && std::chrono::steady_clock::now() < deadline; ++runs) {
        const FILETIME before = LastWrite(folder.File("Tolvanexa.config"));
        const PROCESS_INFORMATION child = StartChild();
        ASSERT_NE(child.hProcess, nullptr);
        // Watched without opening the file: a reader holding it open would itself make the saves fail.
        for (int wait = 0; wait < 2000; ++wait) {
            const FILETIME now = LastWrite(folder.File("Tolvanexa.config"));
            if (::CompareFileTime(&before, &now) != 0) break;
            ::Sleep(5);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        ::TerminateProcess(child.hProcess, kKilled);
        ::WaitForSingleObject(child.hProcess, INFINITE);
        DWORD status = 0;
        ::GetExitCodeProcess(child.hProcess, &status);
        ::CloseHandle(child.hThread);
        ::CloseHandle(child.hProcess);
        ASSERT_EQ(status, kKilled) << "the child stopped by itself";
        const std::string content = folder.Read("Tolvanexa.config");
        ASSERT_TRUE(content == FileFor(std::atol(content.substr(content.rfind(' ') + 1).c_str())))
            << "partial file of " << content.size() << " bytes after run " << runs;
    }
    ::SetEnvironmentVariableW(kChildFolder, nullptr);
    EXPECT_GE(runs, 5) << "too few runs in the time allowed";
}

}  // namespace
