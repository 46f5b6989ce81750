// An in-memory file system for tests: files are a map from path to bytes, and
// the executable's folder and base name are whatever the test says.
#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/FileSystem.h"

namespace testsupport {

class MemoryFileSystem final : public platform::FileSystem {
public:
    explicit MemoryFileSystem(std::string folder = "/opt/Tolvanexa",
                              std::string baseName = "Tolvanexa");

    // The configuration file's path under the default layout: folder/base.config.
    std::string ConfigPath() const;

    std::string ExecutableFolder() const override;
    std::string ExecutableBaseName() const override;
    std::optional<std::string> ReadFile(const std::string& path) override;
    bool Exists(const std::string& path) override;
    std::string CreateTemporary(const std::string& near) override;
    void WriteAll(const std::string& path, const std::string& bytes) override;
    void CopyPermissions(const std::string& model, const std::string& path) override;
    void Rename(const std::string& from, const std::string& to) override;
    void Remove(const std::string& path) noexcept override;

    // Path -> content. Tests read and write it directly.
    std::map<std::string, std::string> files;
    // Path -> permission bits; a file without an entry has 0644.
    std::map<std::string, unsigned> modes;
    // Files that exist but cannot be opened for reading.
    std::set<std::string> unreadable;
    // When set, every step that writes throws platform::FileError.
    bool readOnly = false;
    // Number of completed WriteAll calls, to tell whether anything was written.
    int writes = 0;

private:
    std::string folder_;
    std::string baseName_;
    int nextTemporary_ = 0;
};

}  // namespace testsupport
