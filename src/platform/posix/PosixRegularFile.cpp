#include "platform/posix/PosixRegularFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/PosixSystemError.h"

namespace platform {

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.Release();
    }
    return *this;
}

int FileDescriptor::Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

int FileDescriptor::Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
}

RegularFile OpenRegularFile(const std::string& path, int flags) {
    RegularFile file;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        file.error = errno;
        file.outcome = errno == ENOENT ? OpenOutcome::Missing : OpenOutcome::Failed;
        return file;
    }
    if (!S_ISREG(st.st_mode)) {
        file.outcome = S_ISDIR(st.st_mode) ? OpenOutcome::Folder : OpenOutcome::NotRegular;
        return file;
    }
    // O_TRUNC waits until the kind is confirmed on the opened file: truncating
    // a device through a race is not harmless.
    const int truncate = flags & O_TRUNC;
    file.fd = FileDescriptor(::open(path.c_str(), (flags & ~O_TRUNC) | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.fd.get() < 0) {
        file.error = errno;
        file.outcome = errno == ENOENT ? OpenOutcome::Missing : OpenOutcome::Failed;
        return file;
    }
    if (::fstat(file.fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        file.fd.Close();
        file.outcome = OpenOutcome::NotRegular;
        return file;
    }
    const int status = ::fcntl(file.fd.get(), F_GETFL);
    if (status < 0 || ::fcntl(file.fd.get(), F_SETFL, status & ~O_NONBLOCK) != 0 ||
        (truncate && ::ftruncate(file.fd.get(), 0) != 0)) {
        file.error = errno;
        file.fd.Close();
        file.outcome = OpenOutcome::Failed;
        return file;
    }
    file.outcome = OpenOutcome::Opened;
    return file;
}

std::string DescribeOpenFailure(const RegularFile& file) {
    switch (file.outcome) {
        case OpenOutcome::Folder: return DescribeErrno(EISDIR);
        case OpenOutcome::NotRegular: return "这不是普通文件（而是管道、设备之类），程序没有打开它";
        case OpenOutcome::Missing: return DescribeErrno(ENOENT);
        case OpenOutcome::Opened:
        case OpenOutcome::Failed: break;
    }
    return DescribeErrno(file.error);
}

}  // namespace platform
