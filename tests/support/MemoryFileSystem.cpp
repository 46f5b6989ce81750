#include "support/MemoryFileSystem.h"

namespace testsupport {
namespace {
constexpr unsigned kDefaultMode = 0644;
}  // namespace

MemoryFileSystem::MemoryFileSystem(std::string folder, std::string baseName)
    : folder_(std::move(folder)), baseName_(std::move(baseName)) {}

std::string MemoryFileSystem::ConfigPath() const {
    const std::string slash = (!folder_.empty() && folder_.back() == '/') ? "" : "/";
    return folder_ + slash + baseName_ + ".config";
}

std::string MemoryFileSystem::ExecutableFolder() const { return folder_; }

std::string MemoryFileSystem::ExecutableBaseName() const { return baseName_; }

std::optional<std::string> MemoryFileSystem::ReadFile(const std::string& path) {
    if (unreadable.contains(path)) return std::nullopt;
    const auto found = files.find(path);
    if (found == files.end()) return std::nullopt;
    return found->second;
}

bool MemoryFileSystem::Exists(const std::string& path) { return files.contains(path); }

std::string MemoryFileSystem::CreateTemporary(const std::string& near) {
    if (readOnly) throw platform::FileError("只读：无法创建临时文件 " + near);
    std::string path;
    do {
        path = near + ".tmp" + std::to_string(nextTemporary_++);
    } while (files.contains(path));
    files[path];
    return path;
}

void MemoryFileSystem::WriteAll(const std::string& path, const std::string& bytes) {
    if (readOnly) throw platform::FileError("只读：无法写入 " + path);
    files[path] = bytes;
    ++writes;
}

void MemoryFileSystem::CopyPermissions(const std::string& model, const std::string& path) {
    const auto found = modes.find(model);
    if (files.contains(model)) modes[path] = found == modes.end() ? kDefaultMode : found->second;
}

void MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
    if (readOnly) throw platform::FileError("只读：无法改名 " + from);
    const auto found = files.find(from);
    if (found == files.end()) throw platform::FileError("没有文件 " + from);
    files[to] = std::move(found->second);
    files.erase(from);
    const auto mode = modes.find(from);
    if (mode != modes.end()) {
        modes[to] = mode->second;
        modes.erase(from);
    } else {
        modes.erase(to);
    }
    if (unreadable.erase(from) > 0) unreadable.insert(to);
    else unreadable.erase(to);
}

void MemoryFileSystem::Remove(const std::string& path) noexcept {
    files.erase(path);
    modes.erase(path);
    unreadable.erase(path);
}

}  // namespace testsupport
