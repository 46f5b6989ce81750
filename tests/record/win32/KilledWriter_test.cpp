// A writer process killed at random moments with TerminateProcess: every
// record in its file is whole and in order, at most the one being written at
// the kill is cut, and the reader leaves that one out. The writer is this test
// program started again to run only the disabled writer below.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <thread>

#include "platform/win32/RecordFile.h"
#include "platform/win32/Wide.h"
#include "record/KilledWriterEvents.h"
#include "record/RecordCsv.h"
#include "record/RecordWriter.h"
#include "support/TestFolder.h"

namespace {

using namespace std::chrono_literals;

constexpr int kKills = 8;
constexpr int kLatestKillMs = 150;  // after the writer's first record is on the disk
constexpr wchar_t kFolderVariable[] = L"TOLVANEXA_KILLED_WRITER_FOLDER";
const std::string kFile = "2026-12-07 14-03-09.csv";

// Runs only in the child, which the test below starts with this test alone selected.
TEST(KilledWriterChild, DISABLED_WritesUntilKilled) {
    std::wstring folder(32768, L'\0');
    folder.resize(::GetEnvironmentVariableW(kFolderVariable, folder.data(), static_cast<DWORD>(folder.size())));
    ASSERT_FALSE(folder.empty());
    platform::Win32RecordFiles files;
    record::RecordWriter writer(files, {});
    writer.WriteTo(platform::PortablePath(folder));
    for (int n = 0;; ++n) {
        writer.Record(testsupport::KilledWriterEvent(n));
        // The window records a few events a second; keep the backlog short so the kill meets writes.
        if (n % 8 == 7) writer.WaitUntilWritten(1s);
    }
}

PROCESS_INFORMATION StartWriter(const std::string& folder) {
    std::wstring self(32768, L'\0');
    self.resize(::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    std::wstring command = L"\"" + self + L"\" --gtest_filter=KilledWriterChild.* --gtest_also_run_disabled_tests";
    ::SetEnvironmentVariableW(kFolderVariable, platform::NativePath(folder).c_str());
    // No standard handles: the writer's own test report stays out of this one's.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        process.hProcess = nullptr;
    }
    ::SetEnvironmentVariableW(kFolderVariable, nullptr);
    return process;
}

TEST(KilledWriter, LeavesOnlyWholeRecordsInOrder) {
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> moment(0, kLatestKillMs);
    int cutRecords = 0;
    for (int round = 0; round < kKills; ++round) {
        const testsupport::TestFolder folder;
        const PROCESS_INFORMATION writer = StartWriter(folder.Path());
        ASSERT_NE(writer.hProcess, nullptr);
        // Starting a program takes long under Wine: the kill's moment counts from the first write.
        const auto end = std::chrono::steady_clock::now() + 30s;
        while (folder.Read(kFile).empty() && std::chrono::steady_clock::now() < end &&
               ::WaitForSingleObject(writer.hProcess, 0) == WAIT_TIMEOUT) {
            std::this_thread::sleep_for(1ms);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(moment(random)));
        ::TerminateProcess(writer.hProcess, 9);
        ::WaitForSingleObject(writer.hProcess, INFINITE);
        DWORD status = 0;
        ::GetExitCodeProcess(writer.hProcess, &status);
        ::CloseHandle(writer.hThread);
        ::CloseHandle(writer.hProcess);
        ASSERT_EQ(status, 9u) << "the writer ended by itself";

        const record::ParsedRecord parsed = testsupport::CheckKilledWritersFile(folder.Read(kFile), round);
        ASSERT_FALSE(parsed.events.empty()) << "round " << round;
        cutRecords += parsed.unfinishedLine ? 1 : 0;
    }
    std::cout << cutRecords << " of " << kKills << " kills cut a record short\n";
}

}  // namespace
