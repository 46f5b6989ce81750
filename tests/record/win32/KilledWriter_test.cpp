// A writer process killed at random moments: every record in its file is whole and in order, at most the one
// being written at the kill is cut, and the reader leaves that one out.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "record/KilledWriterEvents.h"
#include "record/RecordWriter.h"
#include "record/win32/ChildProcess.h"
#include "platform/win32/RecordFile.h"
#include "support/TestFolder.h"

namespace {

using namespace std::chrono_literals;

constexpr int kKills = 8;
const std::string kFile = "2026-12-07 14-03-09.csv";
const std::string kFirstRecord = record::RecordFileHeader() +
    record::EncodeEvent(testsupport::KilledWriterEvent(0), testsupport::KilledWriterEvent(0).steadyMs);

// Runs only in the child, which the test below starts with this test alone selected.
TEST(KilledWriterChild, DISABLED_WritesUntilKilled) {
    const std::string folder = testchild::GivenFolder();
    ASSERT_FALSE(folder.empty());
    platform::Win32RecordFiles files;
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
    std::uniform_int_distribution<int> moment(0, 150);  // milliseconds after the first record is on the disk
    int cutRecords = 0;
    for (int round = 0; round < kKills; ++round) {
        const testsupport::TestFolder folder;
        const PROCESS_INFORMATION writer = testchild::Start(L"KilledWriterChild.*", folder.Path());
        ASSERT_NE(writer.hProcess, nullptr);
        // Starting a program takes long under Wine: the kill's moment counts from the first whole record.
        const auto end = std::chrono::steady_clock::now() + 30s;
        while (folder.Read(kFile).size() < kFirstRecord.size() && std::chrono::steady_clock::now() < end &&
               ::WaitForSingleObject(writer.hProcess, 0) == WAIT_TIMEOUT) {
            std::this_thread::sleep_for(1ms);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(moment(random)));
        ASSERT_EQ(testchild::Kill(writer), testchild::kKilled) << "the writer ended by itself";
        const record::ParsedRecord parsed = testsupport::CheckKilledWritersFile(folder.Read(kFile), round);
        ASSERT_FALSE(parsed.events.empty()) << "round " << round;
        cutRecords += parsed.unfinishedLine ? 1 : 0;
    }
    std::cout << cutRecords << " of " << kKills << " kills cut a record short\n";
}

}  // namespace
