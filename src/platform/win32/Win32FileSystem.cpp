#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <random>
#include <vector>

#include "platform/win32/Handle.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/Win32UserPath.h"
#include "platform/win32/Wide.h"

namespace platform {
namespace {

// A virus scanner or the search indexer opens a freshly written file for a
// moment; the rename is tried again for about a second before it fails.
constexpr int kRenameAttempts = 20;
constexpr DWORD kRenamePauseMilliseconds = 50;
constexpr int kTemporaryAttempts = 100;
// Windows 10's FileRenameInfoEx, which older SDK headers do not declare.
constexpr auto kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return ".";
    return path.substr(0, slash == 0 ? 1 : slash);
}

std::string RunningExecutable() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            throw FileError("无法确定本程序所在的文件夹：" + DescribeWindowsError(::GetLastError()));
        }
        if (length < buffer.size()) {
            buffer.resize(length);
            return PortablePath(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

constexpr std::size_t kSuffixLength = 6;

std::string RandomSuffix() {
    static std::mt19937 random(std::random_device{}() ^ ::GetCurrentProcessId() ^
                               static_cast<unsigned>(::GetTickCount64()));
    constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string suffix(kSuffixLength, '0');
    for (char& c : suffix) c = kDigits[random() % 36];
    return suffix;
}

FileError Failure(const std::string& what, DWORD error) { return FileError(what + DescribeWindowsError(error)); }

// Renames over a file that another program holds open while allowing its
// deletion (an editor, a sync client), which a plain rename cannot go over:
// with POSIX semantics (NTFS on Windows 10 1709 and later) the name changes
// hands atomically and the other program keeps reading the old file.
bool RenameOverHeldFile(const std::wstring& source, const std::wstring& target) {
    std::wstring full(32768, L'\0');
    full.resize(::GetFullPathNameW(target.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr));
    if (full.empty()) return false;
    Handle file(::CreateFileW(source.c_str(), DELETE | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return false;
    const std::size_t nameBytes = full.size() * sizeof(wchar_t);
    std::vector<std::byte> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    rename->Flags = FILE_RENAME_FLAG_REPLACE_IF_EXISTS | FILE_RENAME_FLAG_POSIX_SEMANTICS;
    rename->FileNameLength = static_cast<DWORD>(nameBytes);
    std::copy(full.begin(), full.end(), rename->FileName);
    return ::SetFileInformationByHandle(file.get(), kFileRenameInfoEx, rename, static_cast<DWORD>(buffer.size())) != 0;
}

// The last resort where POSIX semantics are missing (FAT32 or exFAT sticks).
// The old file is kept under a backup name until the new one is in place,
// because without one a failed replacement can leave neither under `target`.
// Unlike a rename this takes several steps: a process killed between them
// leaves the old file under the backup name.
bool ReplaceHeldFile(const std::wstring& source, const std::wstring& target) {
    if (::GetFileAttributesW(target.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    const std::wstring backup = target + L"." + ToWide(RandomSuffix()) + L".old";
    if (::ReplaceFileW(target.c_str(), source.c_str(), backup.c_str(), REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                       nullptr)) {
        ::DeleteFileW(backup.c_str());
        return true;
    }
    // The old file went to the backup name but the new one did not follow: put it back.
    if (::GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) ::MoveFileExW(backup.c_str(), target.c_str(), 0);
    return false;
}

}  // namespace

ExecutableLocation LocationOf(const std::string& executablePath) {
    const std::size_t slash = executablePath.find_last_of("/\\");
    std::string name = slash == std::string::npos ? executablePath : executablePath.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return {FolderOf(executablePath), name};
}

Win32FileSystem::Win32FileSystem(std::optional<ExecutableLocation> location)
    : location_(location ? std::move(*location) : LocationOf(RunningExecutable())) {}

std::string Win32FileSystem::ExecutableFolder() const { return location_.folder; }

std::string Win32FileSystem::ExecutableBaseName() const { return location_.baseName; }

std::optional<std::string> Win32FileSystem::ReadFile(const std::string& path) {
    const std::string what = "读取文件“" + path + "”时出错：";
    // Refused before it is opened, so nothing ever waits on a pipe or a device.
    if (IsDeviceName(path)) throw FileError(what + "这不是普通文件，而是设备");
    const DWORD attributes = ::GetFileAttributesW(NativePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::nullopt;
        throw Failure(what, error);
    }
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
        throw FileError(what + "这不是普通文件，而是文件夹或设备");
    }
    // Another program may hold the file open, even for writing: reading it is still fine.
    Handle file(::CreateFileW(NativePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::nullopt;
        throw Failure(what, error);
    }
    if (::GetFileType(file.get()) != FILE_TYPE_DISK) throw FileError(what + "这不是普通文件");
    LARGE_INTEGER size{};
    std::string content;
    if (::GetFileSizeEx(file.get(), &size)) content.reserve(static_cast<std::size_t>(size.QuadPart));
    std::string buffer(1 << 16, '\0');
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            throw Failure(what, ::GetLastError());
        }
        if (got == 0) break;
        content.append(buffer.data(), got);
    }
    return content;
}

bool Win32FileSystem::Exists(const std::string& path) {
    return ::GetFileAttributesW(NativePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<FileStatus> Win32FileSystem::Status(const std::string& path) {
    if (IsDeviceName(path)) return FileStatus{};
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(NativePath(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    FileStatus status;
    status.readOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    status.regular = (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
    status.size = static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
    status.modified = static_cast<std::int64_t>(static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 |
                                                data.ftLastWriteTime.dwLowDateTime);
    // Which file it is: opened for no access at all, which waits on nothing.
    Handle file(::CreateFileW(NativePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (file.IsOpen() && ::GetFileInformationByHandle(file.get(), &info)) {
        status.volume = info.dwVolumeSerialNumber;
        status.index = static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow;
        if (status.regular && ::GetFileType(file.get()) != FILE_TYPE_DISK) status.regular = false;
    }
    return status;
}

std::string Win32FileSystem::ResolveLinks(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(NativePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return path;
    Handle file(::CreateFileW(NativePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.IsOpen()) return path;
    std::wstring final(32768, L'\0');
    const DWORD length = ::GetFinalPathNameByHandleW(file.get(), final.data(), static_cast<DWORD>(final.size()), 0);
    if (length == 0 || length >= final.size()) return path;
    final.resize(length);
    // "\\?\C:\..." as Windows gives it; "\\?\UNC\server\..." for a share.
    if (final.starts_with(L"\\\\?\\UNC\\")) {
        final = L"\\\\" + final.substr(8);
    } else if (final.starts_with(L"\\\\?\\")) {
        final = final.substr(4);
    }
    return PortablePath(final);
}

std::vector<std::string> Win32FileSystem::LeftoverTemporaries(const std::string& beside) {
    const std::size_t slash = beside.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? std::string() : beside.substr(0, slash + 1);
    const std::string prefix = "." + (slash == std::string::npos ? beside : beside.substr(slash + 1)) + ".";
    std::vector<std::string> found;
    WIN32_FIND_DATAW entry{};
    const HANDLE search = ::FindFirstFileW(NativePath(folder + prefix + "*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return found;
    do {
        const std::string name = ToUtf8(entry.cFileName);
        // Exactly the names CreateTemporary makes: the prefix and six letters or digits.
        const bool ours = name.size() == prefix.size() + kSuffixLength && name.starts_with(prefix) &&
                          std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                                      [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'); });
        if (ours && (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0) {
            found.push_back(folder + name);
        }
    } while (::FindNextFileW(search, &entry));
    ::FindClose(search);
    return found;
}

std::string Win32FileSystem::CreateTemporary(const std::string& beside) {
    const std::size_t slash = beside.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? std::string() : beside.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? beside : beside.substr(slash + 1);
    // In the same folder, so the rename stays on one volume and is atomic.
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < kTemporaryAttempts && error == ERROR_FILE_EXISTS; ++attempt) {
        const std::string candidate = folder + "." + name + "." + RandomSuffix();
        Handle file(::CreateFileW(NativePath(candidate).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.IsOpen()) return candidate;
        error = ::GetLastError();
    }
    throw Failure("无法在文件夹“" + FolderOf(beside) + "”中创建临时文件：", error);
}

void Win32FileSystem::WriteAll(const std::string& path, const std::string& bytes) {
    const std::string what = "写入文件“" + path + "”时出错：";
    Handle file(::CreateFileW(NativePath(path).c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) throw Failure(what, ::GetLastError());
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        DWORD put = 0;
        if (!::WriteFile(file.get(), bytes.data() + done, chunk, &put, nullptr)) throw Failure(what, ::GetLastError());
        done += put;
    }
    if (!::FlushFileBuffers(file.get())) throw Failure(what, ::GetLastError());
    if (!file.Close()) throw Failure(what, ::GetLastError());
}

void Win32FileSystem::CopyPermissions(const std::string& model, const std::string& path) {
    // Access rights come from the folder, which the new file inherits as the
    // old one did. The attributes a user may have set (hidden, not indexed)
    // carry over; read-only does not, or the file could never be saved again.
    constexpr DWORD kCarried = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    const DWORD attributes = ::GetFileAttributesW(NativePath(model).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & kCarried) == 0) return;
    if (!::SetFileAttributesW(NativePath(path).c_str(), attributes & kCarried)) {
        throw Failure("无法设置文件“" + path + "”的属性：", ::GetLastError());
    }
}

void Win32FileSystem::Rename(const std::string& from, const std::string& to) {
    const std::wstring source = NativePath(from);
    const std::wstring target = NativePath(to);
    // A file its owner made read-only is not to be replaced, by any route
    // (a rename over it would succeed on some file systems).
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        throw FileError("无法把“" + from + "”改名为“" + to + "”：文件是只读的");
    }
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < kRenameAttempts; ++attempt) {
        if (::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return;
        error = ::GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) break;
        if (RenameOverHeldFile(source, target) || ReplaceHeldFile(source, target)) return;
        ::Sleep(kRenamePauseMilliseconds);
    }
    throw Failure("无法把“" + from + "”改名为“" + to + "”：", error);
}

// ReplaceFileW keeps the replaced file under a backup name, which is all the
// caller needs to see what it replaced; Windows has no exchange of two names.
// It takes two steps: a kill between them leaves the old file under the
// backup name, which is therefore not of the temporary files' form (those
// the next start removes) but the form ReplaceHeldFile's backups have.
std::optional<std::string> Win32FileSystem::ReplaceKeepingOld(const std::string& from, const std::string& to) {
    const std::wstring target = NativePath(to);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) != 0) return std::nullopt;
    const std::string backup = to + "." + RandomSuffix() + ".old";
    if (::ReplaceFileW(target.c_str(), NativePath(from).c_str(), NativePath(backup).c_str(),
                       REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        return backup;
    }
    // The old file went to the backup name but the new one did not follow: put it back.
    if (::GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) ::MoveFileExW(NativePath(backup).c_str(), target.c_str(), 0);
    return std::nullopt;
}

void Win32FileSystem::Remove(const std::string& path) noexcept { ::DeleteFileW(NativePath(path).c_str()); }

}  // namespace platform
