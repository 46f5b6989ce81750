#include "support/MemoryFileSystem.h"

namespace testsupport {

std::optional<std::string> MemoryFileSystem::ReadFile(const std::string& path) {
    const std::string file = Follow(path);
    if (special.contains(file)) throw platform::FileError("无法读取文件“" + path + "”：这不是普通文件");
    if (unreadable.contains(file)) throw platform::FileError("无法读取文件“" + path + "”：没有权限");
    if (!files.contains(file)) return std::nullopt;
    return files[file];
}

std::optional<platform::FileStatus> MemoryFileSystem::Status(const std::string& path) {
    const std::string file = Follow(path);
    if (!files.contains(file)) return std::nullopt;
    // The content stands in for the time of the last write: any write of other bytes changes it.
    return platform::FileStatus{!special.contains(file), readOnly.contains(file), 1, identity[file],
                                files[file].size(), static_cast<std::int64_t>(std::hash<std::string>{}(files[file]))};
}

std::string MemoryFileSystem::ResolveLinks(const std::string& path) {
    const std::string file = Follow(path);
    return files.contains(file) ? file : path;
}

std::string MemoryFileSystem::CreateTemporary(const std::string& near) {
    Step(SaveStep::CreateTemporary);
    files[near + ".tmp"].clear();
    return near + ".tmp";
}

std::vector<std::string> MemoryFileSystem::LeftoverTemporaries(const std::string& near) {
    if (files.contains(near + ".tmp")) return {near + ".tmp"};
    return {};
}

void MemoryFileSystem::WriteAll(const std::string& path, const std::string& bytes) {
    const std::string file = Follow(path);
    if (!files.contains(file) || special.contains(file)) throw platform::FileError("不是普通文件 " + path);
    if (locked.contains(file)) throw platform::FileError("另一程序正在使用 " + path);
    files[file] = bytes.substr(0, bytes.size() / 2);  // what a failure part-way leaves
    Step(SaveStep::WriteAll);
    files[file] = bytes;
}

void MemoryFileSystem::CopyPermissions(const std::string& model, const std::string& path) {
    Step(SaveStep::CopyPermissions);
    if (readOnly.contains(Follow(model))) readOnly.insert(path);
}

void MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
    Step(SaveStep::Rename);
    if (!files.contains(from) && !links.contains(from)) throw platform::FileError("没有文件 " + from);
    // As on a real disk, a rename replaces the name itself: a link there, not the file it leads to.
    for (auto* set : {&unreadable, &special, &readOnly}) {
        set->erase(to);
        if (set->erase(from)) set->insert(to);
    }
    files.erase(to);
    links.erase(to);
    if (links.contains(from)) {
        links[to] = links[from];
        links.erase(from);
    } else {
        files[to] = files[from];
        files.erase(from);
        identity[to] = ++renames;
    }
}

std::optional<std::string> MemoryFileSystem::ReplaceKeepingOld(const std::string& from, const std::string& to) {
    Step(SaveStep::Rename);
    if (!exchanges || !files.contains(to) || links.contains(to)) return std::nullopt;
    if (!files.contains(from)) throw platform::FileError("没有文件 " + from);
    std::swap(files[from], files[to]);
    std::swap(identity[from], identity[to]);
    for (auto* set : {&unreadable, &special, &readOnly}) {
        const bool atFrom = set->erase(from) > 0;
        const bool atTo = set->erase(to) > 0;
        if (atFrom) set->insert(to);
        if (atTo) set->insert(from);
    }
    return from;
}

void MemoryFileSystem::Remove(const std::string& path) noexcept {
    files.erase(path);
    links.erase(path);
}

void MemoryFileSystem::Step(SaveStep step) {
    if (onStep) onStep(step);
    const auto failure = failing.find(step);
    if (failure != failing.end() && failure->second-- > 0) throw platform::FileError("磁盘已满或没有权限（故障注入）");
}

std::string MemoryFileSystem::Follow(const std::string& path) const {
    const auto link = links.find(path);
    return link == links.end() ? path : link->second;
}

}  // namespace testsupport
