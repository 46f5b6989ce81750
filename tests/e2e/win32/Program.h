// The built Tolvanexa.exe, beside the tests' folder, run as a user or a script would.
#pragma once

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

namespace e2e {

inline std::wstring BuiltProgram() {
    std::wstring self(MAX_PATH, L'\0');
    self.resize(::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    self.erase(self.find_last_of(L"\\/"));
    return self.substr(0, self.find_last_of(L"\\/")) + L"\\Tolvanexa.exe";
}

// Runs `command` in `folder` (empty: this one's), `running` given its process id; its exit status once it
// ends within 30 s, else 0xDEAD once it is killed; 0xFFFF when it never started. Wine on a loaded machine
// now and then fails to bring up a new process at all (once in CI, beside the sanitizer builds), so a start
// is tried three times and a failure says why; the program itself is never run twice.
inline DWORD Run(std::wstring command, STARTUPINFOW startup, const std::wstring& folder = L"",
                 const std::function<void(DWORD)>& running = {}) {
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const bool inherit = (startup.dwFlags & STARTF_USESTDHANDLES) != 0;
    bool started = false;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        if (attempt > 0) ::Sleep(500);
        started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, inherit, 0, nullptr,
                                   folder.empty() ? nullptr : folder.c_str(), &startup, &process);
        if (!started) std::fprintf(stderr, "the program did not start (error %lu)\n", ::GetLastError());
    }
    if (!started) return 0xFFFF;
    if (running) running(process.dwProcessId);
    DWORD status = 0xDEAD;
    if (::WaitForSingleObject(process.hProcess, 30'000) == WAIT_OBJECT_0) {
        ::GetExitCodeProcess(process.hProcess, &status);
    } else {
        ::TerminateProcess(process.hProcess, 0xDEAD);
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return status;
}

}  // namespace e2e
