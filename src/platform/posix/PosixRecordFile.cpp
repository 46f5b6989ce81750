#include "platform/posix/PosixRecordFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <vector>

#include "platform/posix/PosixSystemError.h"

namespace platform {
namespace {

FileError Failure(const std::string& what, const std::string& path, int error) {
    return FileError(what + "“" + path + "”时出错：" + DescribeErrno(error));
}

class PosixAppendFile final : public AppendFile {
public:
    PosixAppendFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~PosixAppendFile() override { ::close(fd_); }
    PosixAppendFile(const PosixAppendFile&) = delete;
    PosixAppendFile& operator=(const PosixAppendFile&) = delete;

    void Append(const std::string& bytes) override {
        // Written at the end of what is known to be whole, so a record cut
        // short by an earlier failure is overwritten, never built upon.
        off_t at = size_;
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t put = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, at);
            if (put < 0) {
                if (errno == EINTR) continue;
                Undo(errno);
            }
            done += static_cast<std::size_t>(put);
            at += put;
        }
        if (::fdatasync(fd_) != 0) Undo(errno);
        size_ = at;
    }

private:
    [[noreturn]] void Undo(int error) {
        // Best effort: when even this fails, the next append still starts at size_.
        if (::ftruncate(fd_, size_) == 0) ::fdatasync(fd_);
        throw Failure("写入辩论记录文件", path_, error);
    }

    int fd_;
    std::string path_;
    off_t size_ = 0;
};

void SyncFolder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

void PosixRecordFiles::CreateFolder(const std::string& folder) {
    // Each level in turn, from the top, so a missing parent is made too. When
    // a level cannot be made (a name too long, a file in the way), the levels
    // made before it are removed again: a failure leaves nothing behind.
    std::vector<std::string> made;
    const auto fail = [&](const std::string& level, int error) {
        for (auto each = made.rbegin(); each != made.rend(); ++each) ::rmdir(each->c_str());
        return Failure("创建辩论记录文件夹", level, error);
    };
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string level = folder.substr(0, slash);
        if (!level.empty()) {
            if (::mkdir(level.c_str(), 0777) == 0) {
                made.push_back(level);
            } else if (errno != EEXIST) {
                throw fail(level, errno);
            }
        }
        if (slash == std::string::npos) break;
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) throw fail(folder, errno);
    if (!S_ISDIR(st.st_mode)) throw fail(folder, ENOTDIR);
}

std::unique_ptr<AppendFile> PosixRecordFiles::CreateNew(const std::string& path) {
    // O_EXCL with O_CREAT never follows a link and never opens what is there.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST) return nullptr;
        throw Failure("创建辩论记录文件", path, errno);
    }
    SyncFolder(path);
    return std::make_unique<PosixAppendFile>(fd, path);
}

std::string PosixRecordFiles::ReadRegular(const std::string& path) {
    // Opened without waiting, so a pipe with no writer cannot hold us; refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) throw Failure("读取文件", path, errno);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) throw Failure("读取文件", path, errno);
    if (!S_ISREG(st.st_mode)) throw FileError("“" + path + "”不是普通文件，不能作为辩论记录读取。");
    if (static_cast<std::uint64_t>(st.st_size) > kMostRecordBytes) throw FileError(TooLargeForARecord(path));
    std::string content;
    std::array<char, 1 << 16> buffer{};
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            throw Failure("读取文件", path, errno);
        }
        content.append(buffer.data(), static_cast<std::size_t>(got));
        // Grown while being read: still never more than the limit in memory.
        if (content.size() > kMostRecordBytes) throw FileError(TooLargeForARecord(path));
    }
    return content;
}

}  // namespace platform
