#include "record/RecordWriter.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "record/RecordCsv.h"

namespace record {
namespace {

// Names tried when a file of the debate's second exists already.
constexpr int kMaxNameTries = 100;

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsAbsolute(const std::string& path) {
    const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                       path[2] == '/';
    return path.starts_with('/') || drive;
}

}  // namespace

std::optional<std::string> RecordFolder(const std::string& setting, const std::string& executableFolder) {
    std::string folder = Trimmed(setting);
    if (folder == "-") return std::nullopt;
    std::replace(folder.begin(), folder.end(), '\\', '/');
    if (folder.empty()) folder = "records";
    if (!IsAbsolute(folder)) {
        folder = executableFolder.ends_with('/') ? executableFolder + folder : executableFolder + "/" + folder;
    }
    while (folder.size() > 1 && folder.ends_with('/') && !folder.ends_with(":/")) folder.pop_back();
    return folder;
}

std::string RecordFileName(const platform::LocalTime& time) {
    char name[64];
    std::snprintf(name, sizeof name, "%04d-%02d-%02d %02d-%02d-%02d.csv", time.year, time.month, time.day, time.hour,
                  time.minute, time.second);
    return name;
}

RecordWriter::RecordWriter(platform::RecordFiles& files, FailureHandler onFailure, std::chrono::milliseconds retry)
    : files_(files), onFailure_(std::move(onFailure)), retry_(retry) {}

RecordWriter::~RecordWriter() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void RecordWriter::Record(const platform::DebateEvent& event) {
    {
        const std::lock_guard lock(mutex_);
        events_.push_back(event);
    }
    wake_.notify_all();
}

void RecordWriter::WriteTo(std::optional<std::string> folder) {
    const std::lock_guard lock(mutex_);
    if (thread_.joinable() || !folder) return;
    folder_ = std::move(folder);
    thread_ = std::thread([this] { Run(); });
}

std::vector<platform::DebateEvent> RecordWriter::Events() const {
    const std::lock_guard lock(mutex_);
    return events_;
}

std::string RecordWriter::FilePath() const {
    const std::lock_guard lock(mutex_);
    return path_;
}

std::optional<std::string> RecordWriter::Folder() const {
    const std::lock_guard lock(mutex_);
    return folder_;
}

bool RecordWriter::WaitUntilWritten(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    const std::size_t target = events_.size();
    progress_.wait_for(lock, limit, [&] { return written_ >= target || (failing_ && failedWith_ >= target); });
    return written_ >= target;
}

void RecordWriter::Run() {
    std::unique_lock lock(mutex_);
    bool reported = false;
    for (;;) {
        if (failing_) {
            // Tried again when the next event comes, or after a while without one.
            const std::size_t known = events_.size();
            wake_.wait_for(lock, retry_, [&] { return stopping_ || events_.size() > known; });
        } else {
            wake_.wait(lock, [&] { return stopping_ || written_ < events_.size(); });
        }
        const bool last = stopping_;
        while (written_ < events_.size()) {
            const platform::DebateEvent event = events_[written_];
            const std::int64_t first = events_.front().steadyMs;
            lock.unlock();
            std::optional<std::string> failure;
            try {
                WriteOne(event, first);
            } catch (const std::exception& error) {
                failure = error.what();
            }
            lock.lock();
            if (failure) {
                failing_ = true;
                // Once while it lasts; after the program's end nobody is left to read it.
                if (!reported && !last && onFailure_) {
                    reported = true;
                    lock.unlock();
                    onFailure_("辩论记录无法写入：" + *failure +
                               "\n计时照常进行；记录暂存在内存中，能够写入时会自动补写。");
                    lock.lock();
                }
                failedWith_ = events_.size();
                progress_.notify_all();
                break;
            }
            ++written_;
            failing_ = false;
            reported = false;
            progress_.notify_all();
        }
        if (last) return;
    }
}

void RecordWriter::WriteOne(const platform::DebateEvent& event, std::int64_t firstSteadyMs) {
    if (!file_) OpenFile(event.wall);
    if (!headerWritten_) {
        file_->Append(RecordFileHeader(event.stage != platform::StageKind::Classic));
        headerWritten_ = true;
    }
    file_->Append(EncodeEvent(event, firstSteadyMs));
}

void RecordWriter::OpenFile(const platform::LocalTime& firstEvent) {
    const std::string folder = *Folder();
    files_.CreateFolder(folder);
    const std::string name = RecordFileName(firstEvent);
    for (int attempt = 1; attempt <= kMaxNameTries; ++attempt) {
        // Another record of the same second is never written over: " (2)" and so on.
        const std::string path =
            folder + "/" + (attempt == 1 ? name : name.substr(0, name.size() - 4) + " (" + std::to_string(attempt) + ").csv");
        if (auto file = files_.CreateNew(path)) {
            file_ = std::move(file);
            const std::lock_guard lock(mutex_);
            path_ = path;
            return;
        }
    }
    throw platform::FileError("文件夹“" + folder + "”中已有同名的辩论记录文件，无法新建。");
}

}  // namespace record
