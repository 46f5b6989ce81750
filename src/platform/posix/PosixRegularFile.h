// Opening a file only when it is a regular one. Opening a pipe waits for a
// writer forever, and opening a device may act on it; what the time-keeper
// names in the configuration (or as the configuration) may be either.
#pragma once

#include <string>

namespace platform {

// Closes on every path out of a function.
class FileDescriptor final {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.Release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    int get() const { return fd_; }
    // Hands the descriptor over to whoever closes it from now on.
    int Release();
    // Closes now, so a failure of the close itself (a late write error) is seen.
    int Close();

private:
    int fd_;
};

enum class OpenOutcome {
    Opened,
    Missing,     // Nothing by that name, or a link that leads nowhere.
    Folder,
    NotRegular,  // A pipe, device or socket: left unopened.
    Failed,      // No permission, and the like: `error` says why.
};

struct RegularFile {
    OpenOutcome outcome = OpenOutcome::Failed;
    FileDescriptor fd;
    int error = 0;  // The errno of a failure.
};

// Opens `path` (through links) with `flags` (O_RDONLY or O_WRONLY, maybe
// O_TRUNC) when it is a regular file. The kind is checked before the open and
// again on the opened file, which is opened without waiting, so a pipe swapped
// in between is still never waited on.
RegularFile OpenRegularFile(const std::string& path, int flags);

// The sentence part saying why a file could not be opened, for a message
// that names it: "不是普通文件……" or the system's reason.
std::string DescribeOpenFailure(const RegularFile& file);

}  // namespace platform
