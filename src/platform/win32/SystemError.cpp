#include "platform/win32/SystemError.h"

#include <windows.h>

#include "platform/win32/Wide.h"

namespace platform {
namespace {

const char* ChineseReason(DWORD error) {
    switch (error) {
        case ERROR_ACCESS_DENIED: return "没有权限";
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_USER_MAPPED_FILE: return "文件正被其他程序占用";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return "磁盘空间不足";
        case ERROR_WRITE_PROTECT: return "磁盘是只读的";
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE: return "文件或文件夹不存在";
        case ERROR_DIRECTORY: return "路径中有一段不是文件夹";
        case ERROR_FILENAME_EXCED_RANGE: return "路径太长";
        case ERROR_INVALID_NAME: return "文件名不合规则";
        case ERROR_TOO_MANY_OPEN_FILES: return "打开的文件太多";
        case ERROR_CRC:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
        case ERROR_IO_DEVICE: return "磁盘读写出错";
        default: return "系统错误";
    }
}

std::string SystemWords(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words = length > 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
    if (text != nullptr) ::LocalFree(text);
    while (!words.empty() && (words.back() == L'\r' || words.back() == L'\n' || words.back() == L' ')) {
        words.pop_back();
    }
    return words.empty() ? "错误 " + std::to_string(error) : ToUtf8(words);
}

}  // namespace

std::string DescribeWindowsError(unsigned long error) {
    return std::string(ChineseReason(error)) + "（" + SystemWords(error) + "）";
}

}  // namespace platform
