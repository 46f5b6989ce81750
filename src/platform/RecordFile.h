// Files as the debate record needs them: a folder made when missing, a new
// file that grows one record at a time, each record on the disk before the
// next is written, and a whole record file read back for its summary.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/FileSystem.h"

namespace platform {

// A record file open for adding to its end. Only this program writes it.
class AppendFile {
public:
    virtual ~AppendFile() = default;
    // Adds all of `bytes` at the end and returns once they are on the disk
    // (written, flushed and synced). Throws FileError, naming the file, when
    // that fails; the file is then left as it was before the call, so a later
    // call can add the same bytes again without a broken record between.
    virtual void Append(const std::string& bytes) = 0;
};

// The largest record file read back: a busy debate's record is some 15 kB,
// so this holds a few hundred, and its summary stays within a few megabytes.
inline constexpr std::uint64_t kMostRecordBytes = 4 << 20;

// The message for a file past kMostRecordBytes, naming it.
inline std::string TooLargeForARecord(const std::string& path) {
    return "“" + path + "”大于 4 MB，不像是本程序写的辩论记录（一场辩论的记录约 15 KB），因此没有读取。";
}

class RecordFiles {
public:
    virtual ~RecordFiles() = default;
    // Makes `folder` and any missing folders above it; nothing when it exists.
    // Throws FileError, naming the folder, when it cannot be made.
    virtual void CreateFolder(const std::string& folder) = 0;
    // Creates a new, empty regular file for appending. Returns null when
    // something of that name exists already (it is never opened, so nobody's
    // file is written over). Throws FileError, naming the file, on failure.
    virtual std::unique_ptr<AppendFile> CreateNew(const std::string& path) = 0;
    // Whole content of a regular file. Throws FileError, naming the file, when
    // it is missing, unreadable, not a regular file (a pipe or a device is
    // never opened for reading, so it cannot hang the caller), or larger than
    // kMostRecordBytes (told from its size before a byte is read).
    virtual std::string ReadRegular(const std::string& path) = 0;
};

}  // namespace platform
