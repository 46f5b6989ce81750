#include "platform/win32/Desktop.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cwctype>

#include "platform/win32/Win32UserPath.h"
#include "platform/win32/Wide.h"

namespace platform {
namespace {

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

bool IsWebAddress(const std::string& target) {
    return StartsWithNoCase(target, "http://") || StartsWithNoCase(target, "https://");
}

// A document the shell opens in a viewer, not a program it would run.
bool IsDocument(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos) return false;
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return extension == "html" || extension == "htm" || extension == "pdf" || extension == "txt";
}

}  // namespace

LocalTime Win32Clock::Now() const {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::int64_t Win32Clock::SteadyMilliseconds() const {
    LARGE_INTEGER now{};
    LARGE_INTEGER frequency{};
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    // Whole seconds and the rest apart, so the product never overflows.
    return now.QuadPart / frequency.QuadPart * 1000 + now.QuadPart % frequency.QuadPart * 1000 / frequency.QuadPart;
}

bool Win32Browser::Open(const std::string& target) {
    if (target.empty()) return false;
    const bool web = IsWebAddress(target);
    if (!web && !(IsRegularFile(target) && IsDocument(target))) return false;
    const std::wstring what = web ? ToWide(target) : NativePath(target);
    // ShellExecuteW's result above 32 means the shell found a program for it.
    const auto result = reinterpret_cast<INT_PTR>(::ShellExecuteW(nullptr, L"open", what.c_str(), nullptr, nullptr,
                                                                   SW_SHOWNORMAL));
    return result > 32;
}

Win32DisplaySleep::~Win32DisplaySleep() { SetInhibited(false); }

void Win32DisplaySleep::SetInhibited(bool inhibited) {
    if (inhibited == inhibited_) return;
    inhibited_ = inhibited;
    ::SetThreadExecutionState(inhibited ? ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

}  // namespace platform
