// The recorder the program uses: keeps every event in memory for the summary
// and writes each to the record file on a thread of its own, so the window's
// thread never waits on the disk. A write that fails (a read-only folder, a
// full disk) is told once through `onFailure`, from the writer's thread; the
// events wait in memory and are written, in order, once writing works again,
// so the file and the summary agree.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/DebateRecord.h"
#include "platform/RecordFile.h"

namespace record {

// The folder the `RecordFolder` setting names: empty for "records" beside the
// program, "-" for none (nullopt: recording to a file is off), else the path
// given, taken from the program's folder when relative. A "\" is read as "/",
// so a setting brought from a Windows installation keeps working.
std::optional<std::string> RecordFolder(const std::string& setting, const std::string& executableFolder);

// "2026-12-07 14-03-09.csv": the file of a debate that began at `time`.
std::string RecordFileName(const platform::LocalTime& time);

class RecordWriter final : public platform::DebateRecorder {
public:
    using FailureHandler = std::function<void(const std::string& message)>;

    // `retry` is how long a failed write waits before it is tried again when
    // no new event comes first.
    RecordWriter(platform::RecordFiles& files, FailureHandler onFailure,
                 std::chrono::milliseconds retry = std::chrono::seconds(5));
    // Writes what is still waiting, one attempt, then ends the thread.
    ~RecordWriter() override;
    RecordWriter(const RecordWriter&) = delete;
    RecordWriter& operator=(const RecordWriter&) = delete;

    void Record(const platform::DebateEvent& event) override;

    // Starts writing into `folder` (made when missing), the events recorded so
    // far first; the file is created with the first event. Called once; with
    // nullopt the events are kept in memory only.
    void WriteTo(std::optional<std::string> folder);

    // Every event recorded so far, in order.
    std::vector<platform::DebateEvent> Events() const;
    // The record file once it exists, else empty.
    std::string FilePath() const;
    // The folder written to; nullopt when recording to a file is off.
    std::optional<std::string> Folder() const;

    // For tests and measurements: waits until every event recorded so far is
    // on the disk (true) or writing them has failed, with no success since
    // (false), at most `limit`.
    bool WaitUntilWritten(std::chrono::milliseconds limit);

private:
    void Run();
    // Writes the event at `index` (and the file's header first, when the file
    // is new); throws platform::FileError.
    void WriteOne(const platform::DebateEvent& event, std::int64_t firstSteadyMs);
    void OpenFile(const platform::LocalTime& firstEvent);

    platform::RecordFiles& files_;
    FailureHandler onFailure_;
    const std::chrono::milliseconds retry_;

    // Touched by the writer's thread only.
    std::unique_ptr<platform::AppendFile> file_;
    bool headerWritten_ = false;

    mutable std::mutex mutex_;
    std::condition_variable wake_;      // a new event, or the end
    std::condition_variable progress_;  // a write done or failed
    std::vector<platform::DebateEvent> events_;
    std::size_t written_ = 0;
    bool failing_ = false;
    std::size_t failedWith_ = 0;  // events recorded when a write last failed
    bool stopping_ = false;
    std::optional<std::string> folder_;
    std::string path_;
    std::thread thread_;
};

}  // namespace record
