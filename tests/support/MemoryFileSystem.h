// An in-memory file system: a map from path to bytes, the program being /opt/Tolvanexa/Tolvanexa.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace testsupport {

// The steps of a save that write, each of which may fail.
enum class SaveStep { CreateTemporary, WriteAll, CopyPermissions, Rename };

class MemoryFileSystem final : public platform::FileSystem {
public:
    std::string ConfigPath() const { return "/opt/Tolvanexa/Tolvanexa.config"; }
    // The configuration file's bytes, to set or read (reading an absent file creates it empty).
    std::string& ConfigFile() { return files[ConfigPath()]; }

    std::string ExecutableFolder() const override { return "/opt/Tolvanexa"; }
    std::string ExecutableBaseName() const override { return "Tolvanexa"; }
    std::optional<std::string> ReadFile(const std::string& path) override;
    bool Exists(const std::string& path) override { return files.contains(path) || links.contains(path); }
    std::optional<platform::FileStatus> Status(const std::string& path) override;
    std::string ResolveLinks(const std::string& path) override;
    std::string CreateTemporary(const std::string& near) override;  // one at a time is all a save needs
    std::vector<std::string> LeftoverTemporaries(const std::string& near) override;
    void WriteAll(const std::string& path, const std::string& bytes) override;
    void CopyPermissions(const std::string& model, const std::string& path) override;
    void Rename(const std::string& from, const std::string& to) override;
    // Exchanges the two, as Linux does; nullopt when `to` is missing or `exchanges` is false.
    std::optional<std::string> ReplaceKeepingOld(const std::string& from, const std::string& to) override;
    void Remove(const std::string& path) noexcept override;

    // A read-only folder, a disk full part-way or a refused rename: `step` of a save fails the next
    // `times` times it is taken. The message names no file: that is the store's job.
    void Fail(SaveStep step, int times = 1) { failing[step] = times; }

    std::map<std::string, std::string> files;  // path -> content, for tests to read and write
    std::map<std::string, std::string> links;  // symbolic links: path -> the path they lead to
    std::set<std::string> unreadable;          // files that exist but cannot be opened (no permission)
    std::set<std::string> special;             // pipes and devices: there, but never to be opened
    std::set<std::string> readOnly;            // files without a write permission bit
    std::set<std::string> locked;              // refused for writing before a byte is written (held by another program)
    // Called as each step of a save is taken, before it acts: another program's edit lands here.
    std::function<void(SaveStep)> onStep;
    bool exchanges = true;  // false: a file system without the exchange, where a save renames

private:
    void Step(SaveStep step);
    std::string Follow(const std::string& path) const;

    std::map<SaveStep, int> failing;
    std::map<std::string, std::uint64_t> identity;  // a file renamed into place becomes another file
    std::uint64_t renames = 0;
};

}  // namespace testsupport
