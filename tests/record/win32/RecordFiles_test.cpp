// The record's files on Windows: the writer's whole record in a folder chain
// with Chinese names, never another's file taken, and nothing but a regular
// file read back (a folder, a device, a named pipe refused without waiting).
// An append cut short is not provoked here: Wine enforces neither byte-range
// locks on writes nor a full disk the tests could reach.
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
