// This test program started again to run one disabled test alone in a folder it is given, and killed as
// Windows' SIGKILL does (TerminateProcess).
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/Wide.h"

namespace testchild {

constexpr wchar_t kFolderVariable[] = L"TOLVANEXA_CHILD_FOLDER";
constexpr UINT kKilled = 9;

// In the child, the folder it was given; empty in an ordinary run of the tests.
inline std::string GivenFolder() {
    std::wstring folder(32768, L'\0');
    folder.resize(::GetEnvironmentVariableW(kFolderVariable, folder.data(), static_cast<DWORD>(folder.size())));
    return folder.empty() ? "" : platform::PortablePath(folder);
}

// Starts the child, without standard handles so its own report stays out of this one's; hProcess is null
// when it could not start.
inline PROCESS_INFORMATION Start(const std::wstring& test, const std::string& folder) {
    std::wstring self(32768, L'\0');
    self.resize(::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    std::wstring command = L"\"" + self + L"\" --gtest_filter=" + test + L" --gtest_also_run_disabled_tests";
    ::SetEnvironmentVariableW(kFolderVariable, platform::NativePath(folder).c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &process))
        process.hProcess = nullptr;
    ::SetEnvironmentVariableW(kFolderVariable, nullptr);
    return process;
}

// Kills the child: its exit status, kKilled unless it had ended by itself.
inline DWORD Kill(const PROCESS_INFORMATION& process) {
    ::TerminateProcess(process.hProcess, kKilled);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    ::GetExitCodeProcess(process.hProcess, &status);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return status;
}

}  // namespace testchild
