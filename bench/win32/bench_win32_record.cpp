// What the debate record costs on Windows, printed beside its baseline in one
// run: the window's side of each event (handing it to the recorder: a lock
// and a wake-up) against no recorder at all, and the writer's side for a whole
// busy 11-stage debate (each event appended and flushed to the disk by the
// record's own thread), with the record file's size. Under Wine the flush is
// Linux's fsync: a Windows disk gives its own figure for the writer's side.
//   bench_win32_record
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "BusyDebate.h"
#include "platform/win32/Win32RecordFile.h"
#include "platform/win32/Timer.h"
#include "platform/win32/Wide.h"
#include "record/RecordWriter.h"

namespace {

double Microseconds(std::int64_t counter) {
    return static_cast<double>(counter) * 1e6 / static_cast<double>(platform::CounterFrequency());
}

// Microseconds each hand-over took.
std::vector<double> HandOvers(platform::DebateRecorder& recorder, const std::vector<platform::DebateEvent>& events) {
    std::vector<double> taken;
    for (const auto& event : events) {
        const std::int64_t before = platform::CounterNow();
        recorder.Record(event);
        taken.push_back(Microseconds(platform::CounterNow() - before));
    }
    return taken;
}

void Report(const char* name, std::vector<double> taken) {
    std::sort(taken.begin(), taken.end());
    std::printf("  %-28s %4zu events: p50 %7.2f us, p99 %7.2f us, max %8.2f us\n", name, taken.size(),
                taken[taken.size() / 2], taken[std::min(taken.size() - 1, taken.size() * 99 / 100)], taken.back());
}

std::string TemporaryFolder() {
    std::wstring temp(MAX_PATH + 1, L'\0');
    temp.resize(::GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
    return platform::PortablePath(temp) + "tolvanexa-record-bench-" + std::to_string(::GetCurrentProcessId());
}

}  // namespace

int main() {
    const std::vector<platform::DebateEvent> events = bench::BusyDebate();
    const std::string folder = TemporaryFolder();
    platform::Win32RecordFiles files;
    platform::NoRecorder none;
    std::vector<double> off = HandOvers(none, events);
    std::vector<double> on;
    std::string path;
    double writing = 0;
    bool written = false;
    {
        record::RecordWriter writer(files, [](const std::string& message) { std::printf("%s\n", message.c_str()); });
        writer.WriteTo(folder);
        const std::int64_t started = platform::CounterNow();
        on = HandOvers(writer, events);
        written = writer.WaitUntilWritten(std::chrono::seconds(60));
        writing = Microseconds(platform::CounterNow() - started) / 1000.0;
        path = writer.FilePath();
    }
    if (!written || path.empty()) {
        // No figure for a record that was not written: it would read as a fast one.
        std::printf("the record was not written within a minute (file \"%s\"); no figures\n", path.c_str());
        return 1;
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(platform::NativePath(path).c_str(), GetFileExInfoStandard, &data);
    ::DeleteFileW(platform::NativePath(path).c_str());
    ::RemoveDirectoryW(platform::NativePath(folder).c_str());

    std::printf("The debate record on Windows, under Wine\n");
    std::printf("the window's side of each event (one after the other, as fast as they come):\n");
    Report("recording off (no recorder)", off);
    Report("recording on (RecordWriter)", on);
    std::printf("the writer's side: %zu events written and flushed in %.1f ms (%.2f ms per event), "
                "%lu bytes in the record file of a busy 11-stage debate\n",
                events.size(), writing, writing / static_cast<double>(events.size()), data.nFileSizeLow);
    return 0;
}
