// The record's files on Windows: the writer's whole record in a folder chain
// with Chinese names, never another's file taken, an append that fails
// part-way cut back to the record before it, and nothing but a regular file
// read back (a folder, a device, a named pipe refused without waiting).
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "platform/win32/RecordFile.h"
#include "platform/win32/Wide.h"
#include "record/RecordCsv.h"
#include "record/RecordWriter.h"
#include "support/TestFolder.h"

namespace {

using namespace std::chrono_literals;

platform::DebateEvent Event(int n) {
    platform::DebateEvent event;
    event.kind = platform::DebateEventKind::Started;
    event.wall = {2026, 12, 7, 9, 0, n};
    event.steadyMs = n * 1000;
    event.page = 1 + n % 11;
    event.caption = "正方一辩发言，“第 " + std::to_string(n) + " 次”\r\n";
    event.countdown = 1;
    event.side = "正方";
    event.allowance = 180;
    return event;
}

std::uint64_t SizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(platform::NativePath(path).c_str(), GetFileExInfoStandard, &data)) return 0;
    return static_cast<std::uint64_t>(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

std::string Thrown(const std::function<void()>& action) {
    try {
        action();
    } catch (const platform::FileError& error) {
        return error.what();
    }
    return "(nothing thrown)";
}

TEST(Win32RecordFiles, TheWriterMakesTheFolderChainAndItsFileReadsBackEveryEvent) {
    const testsupport::TestFolder root("辩论赛 记录");
    const std::string folder = root.Path() + "\\决赛/第一场";
    platform::Win32RecordFiles files;
    std::vector<std::string> failures;
    std::vector<platform::DebateEvent> events;
    std::string path;
    {
        record::RecordWriter writer(files, [&failures](const std::string& message) { failures.push_back(message); });
        for (int n = 0; n < 5; ++n) events.push_back(Event(n));
        for (const auto& event : events) writer.Record(event);
        writer.WriteTo(record::RecordFolder(folder, "C:/unused"));
        ASSERT_TRUE(writer.WaitUntilWritten(10s));
        path = writer.FilePath();
    }
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(path, root.Path() + "/决赛/第一场/2026-12-07 09-00-00.csv");
    EXPECT_EQ(record::ParseRecord(files.ReadRegular(path)).events, events);

    // Neither the file nor a folder of that name is ever opened to be written.
    EXPECT_EQ(files.CreateNew(path), nullptr);
    EXPECT_EQ(files.CreateNew(root.Path() + "/决赛"), nullptr);
    EXPECT_EQ(files.CreateNew(root.Path() + "/NUL.csv"), nullptr);
    EXPECT_EQ(record::ParseRecord(files.ReadRegular(path)).events, events);
}

TEST(Win32RecordFiles, AFolderLevelThatIsAFileIsNamed) {
    const testsupport::TestFolder root;
    root.Write("records", "not a folder");
    platform::Win32RecordFiles files;
    const std::string message = Thrown([&] { files.CreateFolder(root.File("records/2026")); });
    EXPECT_NE(message.find("“" + root.File("records") + "”"), std::string::npos) << message;
    EXPECT_NE(message.find("不是文件夹"), std::string::npos) << message;
}

// Another program's lock over bytes past the end: a long append's first
// piece is written, its second refused.
class LockedRange final {
public:
    explicit LockedRange(const std::string& path, DWORD from, DWORD length)
        : handle_(::CreateFileW(platform::NativePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr)),
          length_(length) {
        range_.Offset = from;
        locked_ = handle_ != INVALID_HANDLE_VALUE &&
                  ::LockFileEx(handle_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, length, 0, &range_);
    }
    ~LockedRange() {
        if (locked_) ::UnlockFileEx(handle_, 0, length_, 0, &range_);
        if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
    }
    LockedRange(const LockedRange&) = delete;
    LockedRange& operator=(const LockedRange&) = delete;
    bool Locked() const { return locked_; }

private:
    HANDLE handle_;
    DWORD length_;
    OVERLAPPED range_{};
    bool locked_ = false;
};

// Windows refuses a write into another handle's locked range; Wine does not.
bool LocksStopWrites(const std::string& scratch) {
    const HANDLE file = ::CreateFileW(platform::NativePath(scratch).c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW, 0, nullptr);
    const LockedRange lock(scratch, 0, 1);
    DWORD put = 0;
    const bool written = lock.Locked() && ::WriteFile(file, "x", 1, &put, nullptr);
    ::CloseHandle(file);
    return lock.Locked() && !written;
}

TEST(Win32RecordFiles, AnAppendThatFailsPartWayLeavesTheFileAsItWasAndTheNextOneStartsThere) {
    const testsupport::TestFolder root;
    if (!LocksStopWrites(root.File("probe"))) GTEST_SKIP() << "byte-range locks do not stop writes here (Wine)";
    platform::Win32RecordFiles files;
    const std::string path = root.File("record.csv");
    const auto file = files.CreateNew(path);
    ASSERT_NE(file, nullptr);
    file->Append("header\r\n");
    {
        const LockedRange lock(path, 100'000, 1000);
        ASSERT_TRUE(lock.Locked());
        const std::string message = Thrown([&] { file->Append(std::string(200'000, 'x')); });
        EXPECT_NE(message.find("写入辩论记录文件“" + path + "”时出错"), std::string::npos) << message;
        EXPECT_EQ(SizeOf(path), 8u);
    }
    file->Append("next\r\n");
    EXPECT_EQ(files.ReadRegular(path), "header\r\nnext\r\n");
}

TEST(Win32RecordFiles, OnlyARegularFileIsReadAndAPipeIsNeverWaitedOn) {
    const testsupport::TestFolder root;
    platform::Win32RecordFiles files;
    const std::wstring pipeName = L"\\\\.\\pipe\\tolvanexa-record-test-" + std::to_wstring(::GetCurrentProcessId());
    const HANDLE pipe = ::CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED,
                                           PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 0, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    for (const std::string& path : {root.Path(), std::string("\\\\.\\NUL"), root.File("nul"), root.File("CON.csv"),
                                    platform::PortablePath(pipeName), platform::ToUtf8(pipeName)}) {
        EXPECT_EQ(Thrown([&] { files.ReadRegular(path); }), "“" + path + "”不是普通文件，不能作为辩论记录读取。");
    }
    // The pipe's server never saw a client: it is still waiting for its first.
    OVERLAPPED waiting{};
    waiting.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_FALSE(::ConnectNamedPipe(pipe, &waiting));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_IO_PENDING));
    ::CancelIo(pipe);
    ::CloseHandle(waiting.hEvent);
    ::CloseHandle(pipe);

    const std::string missing = Thrown([&] { files.ReadRegular(root.File("无此文件.csv")); });
    EXPECT_NE(missing.find("读取文件“" + root.File("无此文件.csv") + "”时出错：文件或文件夹不存在"), std::string::npos)
        << missing;
}

}  // namespace
