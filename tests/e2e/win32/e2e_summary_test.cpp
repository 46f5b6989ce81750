// `Tolvanexa.exe --summary FILE.csv` through the real program, its output
// redirected to files as a batch file or a script would: the table for a record
// whose captions hold commas, quotes, line breaks and Chinese, in a folder with
// a Chinese name; a clear error and the Linux edition's exit status otherwise.
// And the text file written beside the record when there is no console.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/win32/SummaryConsole.h"
#include "platform/win32/Wide.h"
#include "record/RecordCsv.h"
#include "record/Summary.h"
#include "record/SummaryText.h"
#include "support/SummaryEvents.h"
#include "support/TestFolder.h"

namespace {

struct Outcome {
    DWORD status = 0xFFFF;
    std::string out;
    std::string err;
};

// The program beside the tests' folder, as the build places it.
std::wstring Program() {
    std::wstring self(MAX_PATH, L'\0');
    self.resize(::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    self.erase(self.find_last_of(L"\\/"));
    return self.substr(0, self.find_last_of(L"\\/")) + L"\\Tolvanexa.exe";
}

HANDLE Inheritable(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return ::CreateFileW(platform::NativePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                         0, nullptr);
}

Outcome Summary(const testsupport::TestFolder& folder, const std::wstring& arguments) {
    const HANDLE out = Inheritable(folder.File("out"));
    const HANDLE err = Inheritable(folder.File("err"));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = err;
    std::wstring command = L"\"" + Program() + L"\" " + arguments;
    PROCESS_INFORMATION process{};
    Outcome outcome;
    if (::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        if (::WaitForSingleObject(process.hProcess, 30'000) == WAIT_OBJECT_0) {
            ::GetExitCodeProcess(process.hProcess, &outcome.status);
        } else {
            ::TerminateProcess(process.hProcess, 0xDEAD);
        }
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    ::CloseHandle(out);
    ::CloseHandle(err);
    outcome.out = folder.Read("out");
    outcome.err = folder.Read("err");
    return outcome;
}

TEST(SummaryCommand, PrintsTheTableToTheRedirectedOutput) {
    const testsupport::TestFolder folder("辩论 记录");
    folder.Write("决赛 记录.csv", testsupport::RecordFileOf(testsupport::OddCaptionsDebate()));
    const Outcome outcome = Summary(folder, L"--summary \"" + platform::NativePath(folder.File("决赛 记录.csv")) + L"\"");
    EXPECT_EQ(outcome.status, 0u) << outcome.err;
    EXPECT_EQ(outcome.out, record::AsText(record::Summarise(testsupport::OddCaptionsDebate())));
    EXPECT_NE(outcome.out.find("决赛, \"第一场\"  正方一辩"), std::string::npos) << outcome.out;
    EXPECT_EQ(outcome.err, "");
}

TEST(SummaryCommand, AFaultIsToldNamingTheFileAndTheStatusSaysWhich) {
    const testsupport::TestFolder folder;
    folder.Write("bad.csv", record::RecordFileHeader() + "2026-12-07 19:30:00,0,开始,1,x,1\r\n");
    struct Case {
        std::wstring arguments;
        DWORD status;
        std::string told;
    };
    const Case cases[] = {
        {L"--summary \"" + platform::NativePath(folder.File("bad.csv")) + L"\"", 1, "第 2 行有误"},
        {L"--summary \"" + platform::NativePath(folder.File("无此.csv")) + L"\"", 1, "文件或文件夹不存在"},
        {L"--summary", 2, "用法"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Summary(folder, c.arguments);
        EXPECT_EQ(outcome.status, c.status) << outcome.err;
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(outcome.err.find(c.told), std::string::npos) << outcome.err;
    }
}

TEST(SummaryCommand, TheTextFileBesideTheRecordNeverReplacesAnother) {
    const testsupport::TestFolder folder("辩论 记录");
    folder.Write("决赛.txt", "the adjudicators' notes");
    EXPECT_EQ(WriteSummaryBeside(folder.File("决赛.CSV"), "a\nb\n"), folder.File("决赛 (2).txt"));
    EXPECT_EQ(folder.Read("决赛.txt"), "the adjudicators' notes");
    EXPECT_EQ(folder.Read("决赛 (2).txt"), "\xEF\xBB\xBF" "a\r\nb\r\n");
}

}  // namespace
