// A writer process killed at random moments (fork and SIGKILL) leaves only whole records, in order.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "platform/posix/PosixRecordFile.h"
#include "record/KilledWriterEvents.h"
#include "record/RecordCsv.h"
#include "record/RecordWriter.h"
#include "support/TestFolder.h"

namespace {

using namespace std::chrono_literals;

constexpr int kKills = 12;
constexpr int kEarliestKillMs = 20;
constexpr int kLatestKillMs = 250;

[[noreturn]] void WriteForever(const std::string& folder) {
    platform::PosixRecordFiles files;
    record::RecordWriter writer(files, {});
    writer.WriteTo(folder);
    for (int n = 0;; ++n) {
        writer.Record(testsupport::KilledWriterEvent(n));
        // The window records a few events a second; keep the backlog short so the kill meets writes.
        if (n % 8 == 7) writer.WaitUntilWritten(1s);
    }
}

TEST(KilledWriter, LeavesOnlyWholeRecordsInOrder) {
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> moment(kEarliestKillMs, kLatestKillMs);
    int cutRecords = 0;
    for (int round = 0; round < kKills; ++round) {
        testsupport::TestFolder folder;
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) WriteForever(folder.Path());
        std::this_thread::sleep_for(std::chrono::milliseconds(moment(random)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        const std::string file = folder.Read("2026-12-07 14-03-09.csv");
        if (file.empty()) continue;  // killed before its first write
        const record::ParsedRecord parsed = testsupport::CheckKilledWritersFile(file, round);
        cutRecords += parsed.unfinishedLine ? 1 : 0;
    }
    std::cout << cutRecords << " of " << kKills << " kills cut a record short\n";
}

}  // namespace
