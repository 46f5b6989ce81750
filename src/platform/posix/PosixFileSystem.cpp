#include "platform/posix/PosixFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>

#include "platform/posix/SystemError.h"

namespace platform {
namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string RunningExecutable() {
    std::array<char, 4096> buffer{};
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) throw FileError("无法确定本程序所在的文件夹：" + DescribeErrno(errno));
    return std::string(buffer.data(), static_cast<std::size_t>(length));
}

// Closes on every path out of a function.
class FileDescriptor final {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, so a failure of the close itself (a late write error) is seen.
    int Close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

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
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    std::string content;
    content.reserve(static_cast<std::size_t>(st.st_size));
    std::array<char, 1 << 16> buffer{};
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer.data(), buffer.size());
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

std::string PosixFileSystem::CreateTemporary(const std::string& near) {
    const std::size_t slash = near.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : near.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? near : near.substr(slash + 1);
    // Hidden, and in the same folder so the rename stays on one file system.
    std::string pattern = folder + "." + name + ".XXXXXX";
    FileDescriptor fd(::mkstemp(pattern.data()));
    if (fd.get() < 0) {
        throw FileError("无法在文件夹“" + FolderOf(near) + "”中创建临时文件：" +
                        DescribeErrno(errno));
    }
    return pattern;
}

void PosixFileSystem::WriteAll(const std::string& path, const std::string& bytes) {
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
    const auto fail = [&](int error) {
        return FileError("写入文件“" + path + "”时出错：" + DescribeErrno(error));
    };
    if (fd.get() < 0) throw fail(errno);
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

void PosixFileSystem::Remove(const std::string& path) noexcept { ::unlink(path.c_str()); }

}  // namespace platform
