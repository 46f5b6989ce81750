// `Tolvanexa --summary FILE.csv` through the real program, with no display at all: the table on standard output
// for a record whose captions hold commas, quotes, line breaks and Chinese; a clear error naming the line otherwise.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "e2e/e2e_support.h"
#include "record/RecordCsv.h"
#include "record/Summary.h"
#include "record/SummaryText.h"
#include "support/SummaryEvents.h"

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

namespace e2e {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out, err;
};

const fs::path kProgram = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "Tolvanexa";

// Runs the program with `arguments` (quoted for the shell), with no display and no Qt platform set: a
// command line that opened a window would fail for want of one.
Outcome RunProgram(const testsupport::TestFolder& folder, const std::string& arguments) {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" + kProgram.string() + "' " +
                                arguments + " >'" + folder.File("out") + "' 2>'" + folder.File("err") + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, folder.Read("out"), folder.Read("err")};
}

TEST(SummaryCommand, PrintsTheTableWithoutADisplay) {
    testsupport::TestFolder folder;
    const auto events = testsupport::OddCaptionsDebate();
    folder.Write("record.csv", testsupport::RecordFileOf(events));
    const Outcome outcome = RunProgram(folder, "--summary '" + folder.File("record.csv") + "'");
    EXPECT_EQ(std::tie(outcome.status, outcome.err), std::tuple(0, ""));
    EXPECT_EQ(outcome.out, record::AsText(record::Summarise(events)));
    // The caption's line break is a space in the table; its comma and quotes are as written.
    EXPECT_NE(outcome.out.find("决赛, \"第一场\"  正方一辩"), std::string::npos) << outcome.out;
}

struct Hostile {
    const char* name;
    std::function<void(const std::string& path)> make;
    const char* output;  // where standard output goes
    int status;
    std::string says;    // on standard error, after the file's name
};
void PrintTo(const Hostile& hostile, std::ostream* out) { *out << hostile.name; }

// A record of `lines` lines, each starting a countdown on a new stage run: the most runs bytes can make.
std::string BusyRecord(int lines) {
    std::string file = record::RecordFileHeader();
    for (int i = 0; i < lines; ++i) {
        file += "2026-12-07 19:30:00," + std::to_string(i) + ",开始," + std::to_string(1 + i % 2) + ",x,1,正方,1,1,0\r\n";
    }
    return file;
}

class HostileRecord : public testing::TestWithParam<Hostile> {};

// Before, 10 MB of line ends took 946 MB, a valid million-line record 898 MB, an 8 GB sparse file ran out of
// memory with a message naming no file, and a full standard output failed without a word. (Offsets at the
// reader's limit and a record saved again in GBK: the summary's own tests.)
TEST_P(HostileRecord, StaysSmallAndEveryFailureNamesTheFile) {
    testsupport::TestFolder folder;
    const std::string path = folder.File("record.csv");
    GetParam().make(path);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(GetParam().output == std::string("file") ? folder.File("out").c_str() : GetParam().output,
                               O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(folder.File("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1), ::dup2(err, 2);
        ::execl(kProgram.c_str(), kProgram.c_str(), "--summary", path.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    ::wait4(pid, &status, 0, &usage);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, GetParam().status);
    // AddressSanitizer's shadow memory and quarantine are no part of the program's own figure.
    EXPECT_TRUE(kSanitized || usage.ru_maxrss < 64 * 1024) << usage.ru_maxrss << " kB at the peak";
    const std::string err = folder.Read("err");
    if (GetParam().status != 0) {
        EXPECT_NE(err.find(path), std::string::npos) << err;
    }
    EXPECT_NE(err.find(GetParam().says), std::string::npos) << err;
}

void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

INSTANTIATE_TEST_SUITE_P(
    Inputs, HostileRecord,
    testing::Values(
        Hostile{"Missing", [](auto&) {}, "file", 1, ""},
        Hostile{"TenMegabytesOfLineEnds", [](auto& p) { Write(p, std::string(10 << 20, '\n')); }, "file", 1, "大于 4 MB"},
        Hostile{"SparseEightGigabytes", [](auto& p) { fs::resize_file((Write(p, ""), p), 8ull << 30); }, "file", 1,
                "大于 4 MB"},
        // Under the size limit, but more stage runs than any record holds.
        Hostile{"TooManyRuns", [](auto& p) { Write(p, BusyRecord(60'000)); }, "file", 1, "环节超过 10000 次"},
        Hostile{"ManyRunsWithinTheLimit", [](auto& p) { Write(p, BusyRecord(10'000)); }, "file", 0, ""},
        Hostile{"OffsetPastTheLimit", [](auto& p) { Write(p, BusyRecord(1) + "2026-12-07 19:30:00,10000000001,暂停,1,x,1,正方,1,1,0\r\n"); },
                "file", 1, "第 3 行有误"},
        Hostile{"FullStandardOutput", [](auto& p) { Write(p, testsupport::RecordFileOf(testsupport::TwoStages())); },
                "/dev/full", 1, "无法写到标准输出"}),
    [](const testing::TestParamInfo<Hostile>& info) { return std::string(info.param.name); });

// --help and -h print the usage, naming the one option and the configuration beside the program; anything else
// prints it as an error with status 2. None of them opens a window (there is no display to open one on).
TEST(CommandLine, HelpPrintsTheUsageAndAnythingElseIsAWrongCommandLine) {
    testsupport::TestFolder folder;
    const std::string configuration = (kProgram.parent_path() / "Tolvanexa.config").string();
    for (const char* help : {"--help", "-h"}) {
        const Outcome outcome = RunProgram(folder, help);
        EXPECT_EQ(std::tie(outcome.status, outcome.err), std::tuple(0, "")) << help;
        for (const std::string& told : {std::string("--summary 记录文件.csv"), configuration})
            EXPECT_NE(outcome.out.find(told), std::string::npos) << help << "\n" << outcome.out;
    }
    for (const auto& [arguments, named] : {std::pair("--fullscreen", "不认识的选项“--fullscreen”"),
                                           std::pair("'/?'", "多余的参数“/?”"), std::pair("x.config", "多余的参数"),
                                           std::pair("--summary a.csv b.csv", "只能有一个记录文件"),
                                           std::pair("--summary", "“--summary”后面缺少记录文件")}) {
        const Outcome outcome = RunProgram(folder, arguments);
        EXPECT_EQ(std::tie(outcome.status, outcome.out), std::tuple(2, "")) << arguments;
        EXPECT_NE(outcome.err.find(named), std::string::npos) << outcome.err;
        EXPECT_NE(outcome.err.find(configuration), std::string::npos) << outcome.err;
    }
}

}  // namespace
}  // namespace e2e
