// An in-memory file system: a map from path to bytes, the program being /opt/Tolvanexa/Tolvanexa.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>

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
    std::optional<std::string> ReadFile(const std::string& path) override {
        if (!files.contains(path) || unreadable.contains(path)) return std::nullopt;
        return files[path];
    }
    bool Exists(const std::string& path) override { return files.contains(path); }
    std::string CreateTemporary(const std::string& near) override {  // one at a time is all a save needs
        Step(SaveStep::CreateTemporary);
        files[near + ".tmp"].clear();
        return near + ".tmp";
    }
    void WriteAll(const std::string& path, const std::string& bytes) override {
        files[path] = bytes.substr(0, bytes.size() / 2);  // what a failure part-way leaves
        Step(SaveStep::WriteAll);
        files[path] = bytes;
    }
    void CopyPermissions(const std::string&, const std::string&) override { Step(SaveStep::CopyPermissions); }
    void Rename(const std::string& from, const std::string& to) override {
        Step(SaveStep::Rename);
        if (!files.contains(from)) throw platform::FileError("没有文件 " + from);
        files[to] = files[from];
        files.erase(from);
        unreadable.erase(to);
    }
    void Remove(const std::string& path) noexcept override { files.erase(path); }

    std::map<std::string, std::string> files;  // path -> content, for tests to read and write
    std::set<std::string> unreadable;          // files that exist but cannot be opened
    // A read-only folder, a disk full part-way or a refused rename: this step of a save fails the next
    // `timesLeft` times it is taken. The message names no file: that is the store's job.
    std::optional<SaveStep> failing;
    int timesLeft = 1;

private:
    void Step(SaveStep step) {
        if (step == failing && timesLeft-- > 0) throw platform::FileError("磁盘已满或没有权限（故障注入）");
    }
};

}  // namespace testsupport
