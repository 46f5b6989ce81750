// The debate record's files in memory, safe to use from the writer's thread
// and the test's at once, with a read-only folder and a full disk to switch on.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "platform/RecordFile.h"

namespace testsupport {

class MemoryRecordFiles final : public platform::RecordFiles {
public:
    void CreateFolder(const std::string& folder) override {
        const std::lock_guard lock(mutex_);
        if (readOnly_ && !folders_.contains(folder)) throw platform::FileError("无法创建“" + folder + "”：只读（故障注入）");
        folders_.insert(folder);
    }
    std::unique_ptr<platform::AppendFile> CreateNew(const std::string& path) override {
        const std::lock_guard lock(mutex_);
        if (files_.contains(path)) return nullptr;
        if (readOnly_) throw platform::FileError("无法创建“" + path + "”：只读（故障注入）");
        files_[path];
        return std::make_unique<File>(*this, path);
    }
    std::string ReadRegular(const std::string& path) override {
        const std::lock_guard lock(mutex_);
        if (!files_.contains(path)) throw platform::FileError("没有文件“" + path + "”");
        return files_[path];
    }

    // Folders made and files created stay; nothing new can be made or written.
    void SetReadOnly(bool on) { const std::lock_guard lock(mutex_); readOnly_ = on; }
    // The disk takes this many more bytes (nullopt: any number).
    void SetSpaceLeft(std::optional<std::size_t> bytes) { const std::lock_guard lock(mutex_); spaceLeft_ = bytes; }
    void Put(const std::string& path, const std::string& bytes) { const std::lock_guard lock(mutex_); files_[path] = bytes; }
    std::optional<std::string> Content(const std::string& path) const {
        const std::lock_guard lock(mutex_);
        const auto found = files_.find(path);
        return found == files_.end() ? std::nullopt : std::optional(found->second);
    }
    std::set<std::string> Folders() const { const std::lock_guard lock(mutex_); return folders_; }
    int Appends() const { const std::lock_guard lock(mutex_); return appends_; }

private:
    class File final : public platform::AppendFile {
    public:
        File(MemoryRecordFiles& owner, std::string path) : owner_(owner), path_(std::move(path)) {}
        // As the contract says: all the bytes or, on failure, none of them.
        void Append(const std::string& bytes) override {
            const std::lock_guard lock(owner_.mutex_);
            if (owner_.readOnly_) throw platform::FileError("无法写入“" + path_ + "”：只读（故障注入）");
            if (owner_.spaceLeft_ && *owner_.spaceLeft_ < bytes.size()) {
                throw platform::FileError("无法写入“" + path_ + "”：磁盘已满（故障注入）");
            }
            if (owner_.spaceLeft_) *owner_.spaceLeft_ -= bytes.size();
            owner_.files_[path_] += bytes;
            ++owner_.appends_;
        }

    private:
        MemoryRecordFiles& owner_;
        std::string path_;
    };

    mutable std::mutex mutex_;
    std::map<std::string, std::string> files_;
    std::set<std::string> folders_;
    bool readOnly_ = false;
    std::optional<std::size_t> spaceLeft_;
    int appends_ = 0;
};

}  // namespace testsupport
