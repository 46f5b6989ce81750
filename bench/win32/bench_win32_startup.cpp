// Start-up to the first frame and peak memory of a Windows program, run by
// run, for the timer and for the bare window with the same controls, in one
// run. The first frame is the moment the program's window is visible with
// nothing left to paint, once the program waits for input (WaitForInputIdle
// alone could come before the window shows, if anything pumps messages
// during start-up). Each run is ended as the time-keeper would, by closing
// the window.
//   bench_win32_startup PROGRAM BASELINE [RUNS]
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Run {
    double milliseconds = 0;
    double peakMegabytes = 0;
};

BOOL CALLBACK CloseWindowsOf(HWND hwnd, LPARAM process) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner == static_cast<DWORD>(process) && ::IsWindowVisible(hwnd)) ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
}

struct Painted {
    DWORD process = 0;
    bool found = false;
};

BOOL CALLBACK FindPainted(HWND hwnd, LPARAM state) {
    auto& painted = *reinterpret_cast<Painted*>(state);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner == painted.process && ::IsWindowVisible(hwnd) && !::GetUpdateRect(hwnd, nullptr, FALSE)) {
        painted.found = true;
        return FALSE;
    }
    return TRUE;
}

// Waits, polling each millisecond, until a window of `process` is shown and painted.
bool WaitForFirstFrame(DWORD process, DWORD timeoutMilliseconds) {
    const ULONGLONG end = ::GetTickCount64() + timeoutMilliseconds;
    for (;;) {
        Painted painted{process};
        ::EnumWindows(&FindPainted, reinterpret_cast<LPARAM>(&painted));
        if (painted.found) return true;
        if (::GetTickCount64() >= end) return false;
        ::Sleep(1);
    }
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

bool Measure(const std::wstring& program, Run& run) {
    LARGE_INTEGER frequency{};
    LARGE_INTEGER start{};
    LARGE_INTEGER idle{};
    ::QueryPerformanceFrequency(&frequency);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    std::wstring command = L"\"" + program + L"\"";
    const std::wstring folder = FolderOf(program);
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &child)) {
        std::fwprintf(stderr, L"cannot start %ls: %lu\n", program.c_str(), ::GetLastError());
        return false;
    }
    const bool ready = ::WaitForInputIdle(child.hProcess, 20000) == 0 && WaitForFirstFrame(child.dwProcessId, 20000);
    ::QueryPerformanceCounter(&idle);
    ::Sleep(300);  // whatever the first frame still does settles before the memory is read
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(child.hProcess, &memory, sizeof memory);
    ::EnumWindows(&CloseWindowsOf, static_cast<LPARAM>(child.dwProcessId));
    if (::WaitForSingleObject(child.hProcess, 10000) != WAIT_OBJECT_0) ::TerminateProcess(child.hProcess, 1);
    ::CloseHandle(child.hThread);
    ::CloseHandle(child.hProcess);
    run.milliseconds = static_cast<double>(idle.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
    run.peakMegabytes = static_cast<double>(memory.PeakWorkingSetSize) / 1e6;
    return ready;
}

// A run whose window never showed is left out of the figures, and counted.
void Report(const char* name, std::vector<Run> runs, int count) {
    if (runs.empty()) {
        std::printf("%-28s no window shown in %d runs\n", name, count);
        return;
    }
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.milliseconds < b.milliseconds; });
    double peak = 0;
    for (const Run& run : runs) peak = std::max(peak, run.peakMegabytes);
    std::printf("%-28s first frame median %7.1f ms (%.1f-%.1f) over %zu of %d runs, peak working set %5.1f MB\n",
                name, runs[runs.size() / 2].milliseconds, runs.front().milliseconds, runs.back().milliseconds,
                runs.size(), count, peak);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fputs("usage: bench_win32_startup PROGRAM BASELINE [RUNS]\n", stderr);
        return 2;
    }
    const int count = argc > 3 ? std::max(1, _wtoi(argv[3])) : 10;
    std::vector<Run> timer;
    std::vector<Run> baseline;
    Run warmUp;
    Measure(argv[1], warmUp);
    Measure(argv[2], warmUp);
    // Interleaved, so a change of the machine's load touches both alike.
    for (int i = 0; i < count; ++i) {
        Run run;
        if (Measure(argv[1], run)) timer.push_back(run);
        if (Measure(argv[2], run)) baseline.push_back(run);
    }
    Report("Tolvanexa.exe", timer, count);
    Report("bare window, same controls", baseline, count);
    return 0;
}
