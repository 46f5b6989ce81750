// Files as the configuration store needs them: where the executable is, whole
// reads, and the steps of a save that never leaves a partial file behind.
// The steps are separate so a save can be made atomic by its caller and so
// faults can be injected between them in tests.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace platform {

// A failed file operation. what() is a complete Chinese sentence naming the file.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Folder of the running executable, without a trailing separator unless it is the root.
    virtual std::string ExecutableFolder() const = 0;
    // File name of the running executable without its extension.
    virtual std::string ExecutableBaseName() const = 0;

    // Whole content, or nullopt when the file cannot be opened (missing, no access).
    // Throws FileError when reading fails after the file was opened.
    virtual std::optional<std::string> ReadFile(const std::string& path) = 0;
    virtual bool Exists(const std::string& path) = 0;

    // Creates a new, empty file next to `near` (same folder) and returns its path.
    virtual std::string CreateTemporary(const std::string& near) = 0;
    // Writes all of `bytes` to the file, flushing it to the disk before returning.
    virtual void WriteAll(const std::string& path, const std::string& bytes) = 0;
    // Gives `path` the permission bits of `model` when `model` exists, and
    // otherwise those of a newly created file.
    virtual void CopyPermissions(const std::string& model, const std::string& path) = 0;
    // Atomically replaces `to` by `from`.
    virtual void Rename(const std::string& from, const std::string& to) = 0;
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
