#include "platform/win32/Win32UserPath.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "platform/win32/Wide.h"

namespace platform {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    });
    return text;
}

}  // namespace

bool IsDeviceName(const std::string& path) {
    if (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) && (path[2] == '.' || path[2] == '?') &&
        IsSeparator(path[3])) {
        return true;
    }
    const std::size_t slash = path.find_last_of("/\\:");
    std::string name = Upper(slash == std::string::npos ? path : path.substr(slash + 1));
    name = name.substr(0, name.find('.'));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    if (name == "CON" || name == "NUL" || name == "PRN" || name == "AUX" || name == "CONIN$" || name == "CONOUT$") {
        return true;
    }
    return name.size() == 4 && (name.starts_with("COM") || name.starts_with("LPT")) && name[3] >= '1' &&
           name[3] <= '9';
}

bool IsRegularFile(const std::string& path) { return Win32PathKind(path) == PathKind::RegularFile; }

PathKind Win32PathKind(const std::string& path) {
    if (path.empty()) return PathKind::Nothing;
    if (IsDeviceName(path)) return PathKind::Other;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(NativePath(path).c_str(), GetFileExInfoStandard, &data)) return PathKind::Nothing;
    return (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0 ? PathKind::RegularFile
                                                                                              : PathKind::Other;
}

}  // namespace platform
