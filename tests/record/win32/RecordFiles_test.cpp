// The record's files on Windows: the writer's record in a folder chain with Chinese names, never another's
// file taken, and only a regular file read back.
#include <windows.h>

#include <gmock/gmock.h>

#include <functional>

#include "platform/win32/Win32RecordFile.h"
#include "platform/win32/Wide.h"
#include "record/RecordCsv.h"
#include "record/RecordWriter.h"
#include "support/SummaryEvents.h"
#include "support/TestFolder.h"

namespace {

using namespace std::chrono_literals;

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
    const std::vector<platform::DebateEvent> events = testsupport::OddCaptionsDebate();
    std::string path;
    {
        record::RecordWriter writer(files, [&failures](const std::string& message) { failures.push_back(message); });
        for (const auto& event : events) writer.Record(event);
        writer.WriteTo(record::RecordFolder(folder, "C:/unused"));
        ASSERT_TRUE(writer.WaitUntilWritten(10s));
        path = writer.FilePath();
    }
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(path, root.Path() + "/决赛/第一场/2026-12-07 19-30-00.csv");
    EXPECT_EQ(record::ParseRecord(files.ReadRegular(path)).events, events);

    // Neither the file, a folder nor a device is ever opened to be written.
    for (const std::string& taken : {path, root.Path() + "/决赛", root.Path() + "/NUL.csv"})
        EXPECT_EQ(files.CreateNew(taken), nullptr) << taken;
    EXPECT_EQ(record::ParseRecord(files.ReadRegular(path)).events, events);
    // A level of the chain that is a file is named.
    root.Write("records", "not a folder");
    EXPECT_THAT(Thrown([&] { files.CreateFolder(root.File("records/2026")); }),
                testing::AllOf(testing::HasSubstr("“" + root.File("records") + "”"), testing::HasSubstr("不是文件夹")));
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

    EXPECT_THAT(Thrown([&] { files.ReadRegular(root.File("无此文件.csv")); }),
                testing::HasSubstr("读取文件“" + root.File("无此文件.csv") + "”时出错：文件或文件夹不存在"));
}

}  // namespace
