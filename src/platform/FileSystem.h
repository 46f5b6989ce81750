// Files as the configuration store needs them: where the executable is, whole
// reads, and the steps of a save that never leaves a partial file behind.
// The steps are separate so a save can be made atomic by its caller and so
// faults can be injected between them in tests. Each operation is small
// enough to have a plain equivalent on every system the program runs on.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

// A failed file operation. what() is a complete Chinese sentence naming the file.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a file is, read without opening it for reading, so a pipe or a device
// can be told apart before anything waits on it. Two statuses of one file
// compare equal only while nobody has written, truncated or replaced it.
struct FileStatus {
    bool regular = false;   // An ordinary file: not a folder, pipe, device or socket.
    bool readOnly = false;  // No write permission for anyone (POSIX: no "w" in the
                            // mode bits; Windows: the read-only attribute), whoever runs.
    std::uint64_t volume = 0;  // With `index`, which file this is: a file renamed over
    std::uint64_t index = 0;   // it by an editor has another (POSIX: st_dev, st_ino).
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // Last write, in the system's finest unit.

    bool operator==(const FileStatus&) const = default;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Folder of the running executable, without a trailing separator unless it is the root.
    virtual std::string ExecutableFolder() const = 0;
    // File name of the running executable without its extension.
    virtual std::string ExecutableBaseName() const = 0;

    // Whole content, or nullopt when there is no file by that name. Throws
    // FileError, naming the file and the cause, when something is there but
    // cannot be read: no permission, a read error, or not a regular file (a
    // pipe, a device, a folder), which is refused without being opened, so
    // nothing ever waits on it.
    virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
    // Whether the name is taken (a link that leads nowhere counts).
    virtual bool Exists(const std::string& path) = 0;
    // The status of the file the path leads to (through symbolic links), or
    // nullopt when it leads to nothing.
    virtual std::optional<FileStatus> Status(const std::string& path) = 0;
    // The path of the file itself once symbolic links are followed, so a save
    // replaces the file a link leads to and not the link; `path` unchanged when
    // it is no link or its target does not exist.
    virtual std::string ResolveLinks(const std::string& path) = 0;

    // Creates a new, empty file next to `near` (same folder) and returns its path.
    virtual std::string CreateTemporary(const std::string& near) = 0;
    // The files CreateTemporary(near) made that are still there: a save ended
    // by a kill leaves its temporary file behind. Only files of that form, in
    // the same folder; never the one `near` names.
    virtual std::vector<std::string> LeftoverTemporaries(const std::string& near) = 0;
    // Replaces the content of the existing regular file `path` by all of
    // `bytes`, flushing it to the disk before returning.
    virtual void WriteAll(const std::string& path, const std::string& bytes) = 0;
    // Gives `path` the permission bits of `model` when `model` exists, and
    // otherwise those of a newly created file. Where the system lets this
    // process do so, `path` also gets `model`'s owner and group (an
    // administrator's save keeps the user's file the user's); where it does
    // not, they stay this process's, and that is no error.
    virtual void CopyPermissions(const std::string& model, const std::string& path) = 0;
    // Atomically replaces `to` by `from`.
    virtual void Rename(const std::string& from, const std::string& to) = 0;
    // Puts `from` in the place of the existing file `to` as Rename does, and
    // keeps `to`'s old file, returning where it now is, so the caller can see
    // what it replaced (an edit that landed in the last instant) and put that
    // back with the same call. On Linux the two are exchanged in one step
    // (the old file is then at `from`). nullopt, with nothing done, where the
    // system or the file system cannot; the caller then renames.
    virtual std::optional<std::string> ReplaceKeepingOld(const std::string& from, const std::string& to) = 0;
    // Best effort; used to clean up a temporary file after a failure.
    virtual void Remove(const std::string& path) noexcept = 0;
};

// Conversion between the file's bytes and the UTF-8 text held in memory.
class TextCodec {
public:
    virtual ~TextCodec() = default;
    // nullopt when the bytes are not valid GBK (code page 936).
    virtual std::optional<std::string> GbkToUtf8(const std::string& bytes) const = 0;
    // nullopt when the text holds a character GBK cannot hold.
    virtual std::optional<std::string> Utf8ToGbk(const std::string& text) const = 0;
};

}  // namespace platform
