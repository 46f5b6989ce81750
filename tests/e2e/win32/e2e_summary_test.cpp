// `Tolvanexa.exe --summary FILE.csv` with its output redirected to files as a script would: the table, or a
// clear error and the Linux edition's exit status; and the text file written beside the record without a console.
#include <windows.h>

#include <gtest/gtest.h>

#include <tuple>

#include "app/win32/SummaryConsole.h"
#include "e2e/win32/Program.h"
#include "platform/win32/Wide.h"
#include "record/Summary.h"
#include "record/SummaryText.h"
#include "support/SummaryEvents.h"
#include "support/TestFolder.h"

namespace {

struct Outcome {
    DWORD status;
    std::string out, err;
};

HANDLE Inheritable(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return ::CreateFileW(platform::NativePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                         CREATE_ALWAYS, 0, nullptr);
}

Outcome Summary(const testsupport::TestFolder& folder, const std::wstring& arguments) {
    STARTUPINFOW startup{};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = Inheritable(folder.File("out"));
    startup.hStdError = Inheritable(folder.File("err"));
    const DWORD status = e2e::Run(L"\"" + e2e::BuiltProgram() + L"\" " + arguments, startup);
    ::CloseHandle(startup.hStdOutput);
    ::CloseHandle(startup.hStdError);
    return {status, folder.Read("out"), folder.Read("err")};
}

// The table for a record with odd captions in a Chinese-named folder; else only an error, with the Linux status.
TEST(SummaryCommand, PrintsTheTableOrTellsTheFaultAndTheStatusSaysWhich) {
    const testsupport::TestFolder folder("辩论 记录");
    folder.Write("决赛 记录.csv", testsupport::RecordFileOf(testsupport::OddCaptionsDebate()));
    const auto of = [&folder](const std::string& name) { return L"--summary \"" + platform::NativePath(folder.File(name)) + L"\""; };
    const std::tuple<std::wstring, DWORD, std::string, std::string> cases[] = {
        {of("决赛 记录.csv"), 0, record::AsText(record::Summarise(testsupport::OddCaptionsDebate())), ""},
        {of("无此.csv"), 1, "", "文件或文件夹不存在"},
        {L"--summary", 2, "", "用法"}};
    for (const auto& [arguments, status, out, told] : cases) {
        const Outcome outcome = Summary(folder, arguments);
        EXPECT_EQ(outcome.status, status) << outcome.err;
        EXPECT_EQ(outcome.out, out);
        EXPECT_EQ(outcome.err.empty(), told.empty()) << outcome.err;
        EXPECT_NE(outcome.err.find(told), std::string::npos) << outcome.err;
    }
}

// /? (as well as --help and -h) prints the usage, naming the configuration beside the program, and ends without a
// window (a window would keep the program running past Run's wait); anything else is a wrong command line.
TEST(CommandLine, HelpPrintsTheUsageAndAnythingElseIsAWrongCommandLine) {
    const testsupport::TestFolder folder("辩论 记录");
    std::wstring program = e2e::BuiltProgram();
    const std::string configuration = platform::ToUtf8(program.substr(0, program.size() - 4)) + ".config";
    const std::tuple<std::wstring, DWORD, std::string> cases[] = {
        {L"/?", 0, "/?"}, {L"--help", 0, "--summary 记录文件.csv"}, {L"-h", 0, configuration},
        {L"/fullscreen", 2, "不认识的选项“/fullscreen”"}, {L"比赛.config", 2, "多余的参数“比赛.config”"}};
    for (const auto& [arguments, status, told] : cases) {
        const Outcome outcome = Summary(folder, arguments);
        EXPECT_EQ(outcome.status, status) << outcome.err;
        const std::string& text = status == 0 ? outcome.out : outcome.err;
        EXPECT_EQ((status == 0 ? outcome.err : outcome.out), "");
        for (const std::string& part : {told, configuration, std::string("用法")})
            EXPECT_NE(text.find(part), std::string::npos) << text;
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
