// Files on Windows: the executable's place from GetModuleFileNameW, whole
// reads of regular files only, and saves that reach the disk before they
// replace the old file. Every path goes to Windows as UTF-16.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace platform {

struct ExecutableLocation {
    std::string folder;    // With "/" separators, no trailing one.
    std::string baseName;  // Without extension.
};

class Win32FileSystem final : public FileSystem {
public:
    // Without a location, the running executable's own is used; tests pass a
    // temporary folder instead.
    explicit Win32FileSystem(std::optional<ExecutableLocation> location = std::nullopt);

    std::string ExecutableFolder() const override;
    std::string ExecutableBaseName() const override;
    std::optional<std::string> ReadFile(const std::string& path) override;
    bool Exists(const std::string& path) override;
    std::optional<FileStatus> Status(const std::string& path) override;
    std::string ResolveLinks(const std::string& path) override;
    std::string CreateTemporary(const std::string& beside) override;
    std::vector<std::string> LeftoverTemporaries(const std::string& beside) override;
    void WriteAll(const std::string& path, const std::string& bytes) override;
    void CopyPermissions(const std::string& model, const std::string& path) override;
    void Rename(const std::string& from, const std::string& to) override;
    std::optional<std::string> ReplaceKeepingOld(const std::string& from, const std::string& to) override;
    void Remove(const std::string& path) noexcept override;

private:
    ExecutableLocation location_;
};

// The executable's folder and base name from a full path to it.
ExecutableLocation LocationOf(const std::string& executablePath);

}  // namespace platform
