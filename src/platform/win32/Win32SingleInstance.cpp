#include "platform/win32/Win32SingleInstance.h"

#include <cstdint>
#include <cstdio>

#include "platform/win32/Wide.h"
#include "platform/win32/WindowClass.h"

namespace platform {
namespace {

constexpr wchar_t kListenerClass[] = L"TolvanexaInstance";
constexpr UINT kActivateMessage = WM_APP + 1;
// A copy that is still starting may not have its listener yet.
constexpr int kAttempts = 10;
constexpr DWORD kRetryMilliseconds = 100;

// The folder as Windows resolves it, in one letter case (NTFS ignores case).
std::wstring FinalPath(const std::string& folder) {
    std::wstring path = NativePath(folder);
    const HANDLE handle = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        std::wstring final(32768, L'\0');
        const DWORD length = ::GetFinalPathNameByHandleW(handle, final.data(), static_cast<DWORD>(final.size()), 0);
        ::CloseHandle(handle);
        if (length > 0 && length < final.size()) path = final.substr(0, length);
    } else {
        std::wstring full(32768, L'\0');
        full.resize(::GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
        if (!full.empty()) path = full;
    }
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
    ::CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    return path;
}

// Two FNV-1a hashes of the path's UTF-16 units.
std::uint64_t Fnv(const std::wstring& text, std::uint64_t basis) {
    std::uint64_t hash = basis;
    for (const wchar_t unit : text) {
        hash ^= static_cast<std::uint64_t>(unit);
        hash *= 0x100000001B3ULL;
    }
    return hash;
}

}  // namespace

// The folder's identity: its volume's serial number and its file ID, the same
// however the folder is reached (a junction, a mapped drive, a subst letter).
// Empty where the folder cannot be opened.
std::wstring FolderIdentity(const std::string& folder) {
    const HANDLE handle = ::CreateFileW(NativePath(folder).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return {};
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(handle, &info) != 0;
    ::CloseHandle(handle);
    if (!known) return {};
    wchar_t identity[40] = {};
    std::swprintf(identity, 40, L"folder %08lX:%08lX%08lX", static_cast<unsigned long>(info.dwVolumeSerialNumber),
                  static_cast<unsigned long>(info.nFileIndexHigh), static_cast<unsigned long>(info.nFileIndexLow));
    return identity;
}

std::wstring SingleInstanceName(const std::string& folder) {
    std::wstring path = FolderIdentity(folder);
    if (path.empty()) path = FinalPath(folder);
    wchar_t name[33] = {};
    std::swprintf(name, 33, L"%016llX%016llX", static_cast<unsigned long long>(Fnv(path, 0xCBF29CE484222325ULL)),
                  static_cast<unsigned long long>(Fnv(path, 0x84222325CBF29CE4ULL)));
    return name;
}

Win32SingleInstance::Win32SingleInstance(const std::string& folder) : name_(SingleInstanceName(folder)) {
    static const bool registered =
        RegisterWindowClass({kListenerClass, &Win32SingleInstance::Procedure, nullptr, false});
    (void)registered;
}

Win32SingleInstance::~Win32SingleInstance() {
    if (listener_ != nullptr) ::DestroyWindow(listener_);
    if (mutex_ != nullptr) ::CloseHandle(mutex_);
}

bool Win32SingleInstance::Acquire() {
    const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, (L"Local\\Tolvanexa-" + name_).c_str());
    if (mutex == nullptr) {
        // A lock that cannot be had must not keep the time-keeper from the timer.
        std::fputs("无法确定本文件夹中是否已有计时器在运行，仍然启动。\n", stderr);
        return true;
    }
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        AskToComeToFront();
        return false;
    }
    mutex_ = mutex;
    listener_ = ::CreateWindowExW(0, kListenerClass, name_.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  ::GetModuleHandleW(nullptr), this);
    return true;
}

void Win32SingleInstance::AskToComeToFront() const {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (const HWND other = ::FindWindowExW(HWND_MESSAGE, nullptr, kListenerClass, name_.c_str())) {
            // Windows lets a program take the foreground only when the one in front allows it.
            DWORD process = 0;
            ::GetWindowThreadProcessId(other, &process);
            ::AllowSetForegroundWindow(process);
            ::PostMessageW(other, kActivateMessage, 0, 0);
            return;
        }
        ::Sleep(kRetryMilliseconds);
    }
}

LRESULT CALLBACK Win32SingleInstance::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = WindowOwner<Win32SingleInstance>(hwnd, message, lParam);
    if (message == kActivateMessage && self != nullptr) {
        if (self->onActivate) self->onActivate();
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace platform
