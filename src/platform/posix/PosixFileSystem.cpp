#include "platform/posix/PosixFileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/posix/PosixRegularFile.h"
#include "platform/posix/PosixSystemError.h"

namespace platform {
namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The folder part of `near` as CreateTemporary puts it before the name (empty
// or ending in "/"), and the name after it.
std::pair<std::string, std::string> SplitPath(const std::string& near) {
    const std::size_t slash = near.rfind('/');
    if (slash == std::string::npos) return {std::string(), near};
    return {near.substr(0, slash + 1), near.substr(slash + 1)};
}

// mkstemp's pattern ends in six letters or digits.
constexpr std::string_view kTemporarySuffix = "XXXXXX";

std::string TemporaryPrefix(const std::string& name) { return "." + name + "."; }

bool IsTemporaryName(const std::string& entry, const std::string& prefix) {
    if (entry.size() != prefix.size() + kTemporarySuffix.size() || !entry.starts_with(prefix)) return false;
    for (std::size_t i = prefix.size(); i < entry.size(); ++i) {
        if (!std::isalnum(static_cast<unsigned char>(entry[i]))) return false;
    }
    return true;
}

// Only an administrator may give a file away; anyone else may still give it
// one of their own groups. What cannot be kept stays this process's.
void KeepOwner(const std::string& path, const struct stat& model) {
    if (::chown(path.c_str(), model.st_uid, model.st_gid) == 0) return;
    if (::chown(path.c_str(), static_cast<uid_t>(-1), model.st_gid) == 0) return;
}

std::string RunningExecutable() {
    std::array<char, 4096> buffer{};
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) throw FileError("无法确定本程序所在的文件夹：" + DescribeErrno(errno));
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

// Makes a rename itself durable; a folder that cannot be synced is no reason
// to report a save that did happen as failed.
void SyncFolder(const std::string& folder) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) ::fsync(fd.get());
}

}  // namespace

ExecutableLocation LocationOf(const std::string& executablePath) {
    const std::size_t slash = executablePath.rfind('/');
    std::string name = slash == std::string::npos ? executablePath : executablePath.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return {FolderOf(executablePath), name};
}

PosixFileSystem::PosixFileSystem(std::optional<ExecutableLocation> location)
    : location_(location ? std::move(*location) : LocationOf(RunningExecutable())) {}

std::string PosixFileSystem::ExecutableFolder() const { return location_.folder; }

std::string PosixFileSystem::ExecutableBaseName() const { return location_.baseName; }

std::optional<std::string> PosixFileSystem::ReadFile(const std::string& path) {
    RegularFile file = OpenRegularFile(path, O_RDONLY);
    if (file.outcome == OpenOutcome::Missing) return std::nullopt;
    if (file.outcome != OpenOutcome::Opened) {
        throw FileError("无法读取文件“" + path + "”：" + DescribeOpenFailure(file));
    }
    struct stat st {};
    std::string content;
    if (::fstat(file.fd.get(), &st) == 0) content.reserve(static_cast<std::size_t>(st.st_size));
    std::array<char, 1 << 16> buffer{};
    for (;;) {
        const ssize_t got = ::read(file.fd.get(), buffer.data(), buffer.size());
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            throw FileError("读取文件“" + path + "”时出错：" + DescribeErrno(errno));
        }
        content.append(buffer.data(), static_cast<std::size_t>(got));
    }
    return content;
}

bool PosixFileSystem::Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::optional<FileStatus> PosixFileSystem::Status(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    FileStatus status;
    status.regular = S_ISREG(st.st_mode);
    status.readOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    status.volume = static_cast<std::uint64_t>(st.st_dev);
    status.index = static_cast<std::uint64_t>(st.st_ino);
    status.size = static_cast<std::uint64_t>(st.st_size);
    status.modified = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    return status;
}

std::string PosixFileSystem::ResolveLinks(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : path;
}

std::string PosixFileSystem::CreateTemporary(const std::string& near) {
    const auto [folder, name] = SplitPath(near);
    // Hidden, and in the same folder so the rename stays on one file system.
    std::string pattern = folder + TemporaryPrefix(name) + std::string(kTemporarySuffix);
    FileDescriptor fd(::mkstemp(pattern.data()));
    if (fd.get() < 0) {
        throw FileError("无法在文件夹“" + FolderOf(near) + "”中创建临时文件：" +
                        DescribeErrno(errno));
    }
    return pattern;
}

std::vector<std::string> PosixFileSystem::LeftoverTemporaries(const std::string& near) {
    const auto [folder, name] = SplitPath(near);
    const std::string prefix = TemporaryPrefix(name);
    std::vector<std::string> found;
    const auto close = [](DIR* open) { ::closedir(open); };
    const std::unique_ptr<DIR, decltype(close)> listing(::opendir(folder.empty() ? "." : folder.c_str()), close);
    if (!listing) return found;
    while (const dirent* entry = ::readdir(listing.get())) {
        const std::string path = folder + entry->d_name;
        struct stat st {};
        // A link of that name is not one of ours.
        if (IsTemporaryName(entry->d_name, prefix) && ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            found.push_back(path);
        }
    }
    return found;
}

void PosixFileSystem::WriteAll(const std::string& path, const std::string& bytes) {
    RegularFile file = OpenRegularFile(path, O_WRONLY | O_TRUNC);
    FileDescriptor& fd = file.fd;
    const auto fail = [&](int error) {
        return FileError("写入文件“" + path + "”时出错：" + DescribeErrno(error));
    };
    if (file.outcome != OpenOutcome::Opened) {
        throw FileError("写入文件“" + path + "”时出错：" + DescribeOpenFailure(file));
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            throw fail(errno);
        }
        done += static_cast<std::size_t>(put);
    }
    if (::fsync(fd.get()) != 0) throw fail(errno);
    if (fd.Close() != 0) throw fail(errno);
}

void PosixFileSystem::CopyPermissions(const std::string& model, const std::string& path) {
    struct stat st {};
    mode_t mode = 0;
    if (::stat(model.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
        KeepOwner(path, st);  // before the mode: a change of owner may clear bits of it
    } else {
        // A temporary file is made private (0600); a new configuration file
        // gets what any new file of this user gets.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::chmod(path.c_str(), mode) != 0) {
        throw FileError("无法设置文件“" + path + "”的权限：" + DescribeErrno(errno));
    }
}

void PosixFileSystem::Rename(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        throw FileError("无法把“" + from + "”改名为“" + to + "”：" + DescribeErrno(errno));
    }
    SyncFolder(FolderOf(to));
}

std::optional<std::string> PosixFileSystem::ReplaceKeepingOld(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) != 0) {
        // A file system without the exchange (some network ones), or no file
        // at `to` any more: the caller renames instead.
        if (errno == EINVAL || errno == ENOSYS || errno == ENOENT || errno == EOPNOTSUPP) return std::nullopt;
        throw FileError("无法用“" + from + "”替换“" + to + "”：" + DescribeErrno(errno));
    }
    SyncFolder(FolderOf(to));
    return from;
}

void PosixFileSystem::Remove(const std::string& path) noexcept { ::unlink(path.c_str()); }

}  // namespace platform
