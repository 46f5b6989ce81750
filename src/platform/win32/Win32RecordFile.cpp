#include "platform/win32/Win32RecordFile.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "platform/win32/Handle.h"
#include "platform/win32/SystemError.h"
#include "platform/win32/Win32UserPath.h"
#include "platform/win32/Wide.h"

namespace platform {
namespace {

// Large appends and reads go in pieces, as some network drives refuse one huge transfer.
constexpr std::size_t kChunk = 1 << 16;

FileError Failure(const std::string& what, const std::string& path, DWORD error) {
    return FileError(what + "“" + path + "”时出错：" + DescribeWindowsError(error));
}

FileError NotRegular(const std::string& path) {
    return FileError("“" + path + "”不是普通文件，不能作为辩论记录读取。");
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool IsFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(NativePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Where the folders one could make begin: after "C:/", after "//server/share/"
// (which cannot be made), after a leading "/"; 0 for a relative path.
std::size_t RootLength(const std::string& path) {
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        std::size_t end = 2;
        for (int part = 0; part < 2 && end < path.size(); ++part) {
            while (end < path.size() && !IsSeparator(path[end])) ++end;
            if (end < path.size()) ++end;
        }
        return end;
    }
    if (path.size() >= 2 && path[1] == ':') return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
    return !path.empty() && IsSeparator(path[0]) ? 1 : 0;
}

class Win32AppendFile final : public AppendFile {
public:
    Win32AppendFile(HANDLE file, std::string path) : file_(file), path_(std::move(path)) {}
    Win32AppendFile(const Win32AppendFile&) = delete;
    Win32AppendFile& operator=(const Win32AppendFile&) = delete;

    void Append(const std::string& bytes) override {
        // Written at the end of what is known to be whole, so a record cut
        // short by an earlier failure is overwritten, never built upon.
        std::uint64_t at = size_;
        std::size_t done = 0;
        while (done < bytes.size()) {
            const DWORD chunk = static_cast<DWORD>(std::min(bytes.size() - done, kChunk));
            OVERLAPPED position{};
            position.Offset = static_cast<DWORD>(at);
            position.OffsetHigh = static_cast<DWORD>(at >> 32);
            DWORD put = 0;
            if (!::WriteFile(file_.get(), bytes.data() + done, chunk, &put, &position)) Undo(::GetLastError());
            if (put == 0) Undo(ERROR_WRITE_FAULT);
            done += put;
            at += put;
        }
        if (!::FlushFileBuffers(file_.get())) Undo(::GetLastError());
        size_ = at;
    }

private:
    [[noreturn]] void Undo(DWORD error) {
        // Best effort: when even this fails, the next append still starts at size_.
        LARGE_INTEGER length{};
        length.QuadPart = static_cast<LONGLONG>(size_);
        if (::SetFilePointerEx(file_.get(), length, nullptr, FILE_BEGIN) && ::SetEndOfFile(file_.get())) {
            ::FlushFileBuffers(file_.get());
        }
        throw Failure("写入辩论记录文件", path_, error);
    }

    Handle file_;
    std::string path_;
    std::uint64_t size_ = 0;
};

}  // namespace

void Win32RecordFiles::CreateFolder(const std::string& folder) {
    // Each level in turn, from the top, so a missing parent is made too.
    for (std::size_t end = RootLength(folder); end <= folder.size(); ++end) {
        if (end < folder.size() && !IsSeparator(folder[end])) continue;
        const std::string level = folder.substr(0, end);
        if (level.empty() || IsSeparator(level.back())) continue;
        // "CON" or "NUL" as a folder's name would reach a device, not a folder.
        if (IsDeviceName(level)) throw Failure("创建辩论记录文件夹", level, ERROR_DIRECTORY);
        if (::CreateDirectoryW(NativePath(level).c_str(), nullptr)) continue;
        const DWORD error = ::GetLastError();
        // A level that exists may still refuse to be made again (no right to
        // write in its parent): it is there, and that is all that is needed.
        if (IsFolder(level)) continue;
        throw Failure("创建辩论记录文件夹", level, error == ERROR_ALREADY_EXISTS ? ERROR_DIRECTORY : error);
    }
    if (!IsFolder(folder)) throw Failure("创建辩论记录文件夹", folder, ERROR_PATH_NOT_FOUND);
}

std::unique_ptr<AppendFile> Win32RecordFiles::CreateNew(const std::string& path) {
    // A device's name always "exists", and is never opened.
    if (IsDeviceName(path)) return nullptr;
    // CREATE_NEW never opens what is there, a link included. Others may read
    // the record while it grows (a second copy's --summary), not write it.
    const HANDLE file = ::CreateFileW(NativePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
            ::GetFileAttributesW(NativePath(path).c_str()) != INVALID_FILE_ATTRIBUTES) {
            return nullptr;
        }
        throw Failure("创建辩论记录文件", path, error);
    }
    // NTFS journals the new name itself; the content is flushed at each append.
    return std::make_unique<Win32AppendFile>(file, path);
}

std::string Win32RecordFiles::ReadRegular(const std::string& path) {
    // Refused before anything is opened: a pipe's server or a device would
    // see the open, and a pipe could keep the reader waiting.
    if (IsDeviceName(path)) throw NotRegular(path);
    const DWORD attributes = ::GetFileAttributesW(NativePath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) throw Failure("读取文件", path, ::GetLastError());
    if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) throw NotRegular(path);
    // The record being written by a running copy can still be read.
    Handle file(::CreateFileW(NativePath(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.IsOpen()) throw Failure("读取文件", path, ::GetLastError());
    // A link is followed by the open: what it led to is checked again.
    BY_HANDLE_FILE_INFORMATION info{};
    if (::GetFileType(file.get()) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) {
        throw NotRegular(path);
    }
    const std::uint64_t size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > kMostRecordBytes) throw FileError(TooLargeForARecord(path));
    std::string content;
    std::string buffer(kChunk, '\0');
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            throw Failure("读取文件", path, ::GetLastError());
        }
        if (got == 0) break;
        content.append(buffer.data(), got);
        if (content.size() > kMostRecordBytes) throw FileError(TooLargeForARecord(path));
    }
    return content;
}

}  // namespace platform
