// `Tolvanexa --summary FILE.csv` through the real program, with no display at all: the table on standard output
// for a record whose captions hold commas, quotes, line breaks and Chinese; a clear error naming the line otherwise.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "e2e/e2e_support.h"
#include "record/RecordCsv.h"
#include "record/Summary.h"
#include "record/SummaryText.h"
#include "support/SummaryEvents.h"

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

// Runs `Tolvanexa --summary` with the file (unless none).
Outcome Summary(const testsupport::TestFolder& folder, const char* file) {
    return RunProgram(folder, std::string("--summary ") + (file ? "'" + folder.File(file) + "'" : ""));
}

TEST(SummaryCommand, PrintsTheTableWithoutADisplay) {
    testsupport::TestFolder folder;
    const auto events = testsupport::OddCaptionsDebate();
    folder.Write("record.csv", testsupport::RecordFileOf(events));
    const Outcome outcome = Summary(folder, "record.csv");
    EXPECT_EQ(std::tie(outcome.status, outcome.err), std::tuple(0, ""));
    EXPECT_EQ(outcome.out, record::AsText(record::Summarise(events)));
    // The caption's line break is a space in the table; its comma and quotes are as written.
    EXPECT_NE(outcome.out.find("决赛, \"第一场\"  正方一辩"), std::string::npos) << outcome.out;
}

TEST(SummaryCommand, MalformedFileNamesTheLineAndFails) {
    testsupport::TestFolder folder;
    folder.Write("bad.csv", record::RecordFileHeader() + "2026-12-07 19:30:00,0,开始,1,\"a\r\nb\",1,正方,1,1,0\r\n"
                                                          "2026-12-07 19:30:00,5,开始,1,x,1\r\n");
    const Outcome outcome = Summary(folder, "bad.csv");
    EXPECT_EQ(std::tie(outcome.status, outcome.out), std::tuple(1, ""));
    EXPECT_NE(outcome.err.find(folder.File("bad.csv") + "”第 4 行"), std::string::npos) << outcome.err;
}

TEST(SummaryCommand, MissingFileOrArgumentFails) {
    testsupport::TestFolder folder;
    const Outcome missing = Summary(folder, "none.csv"), bare = Summary(folder, nullptr);
    EXPECT_EQ(std::pair(missing.status, bare.status), std::pair(1, 2));
    EXPECT_NE(missing.err.find(folder.File("none.csv")), std::string::npos) << missing.err;
    EXPECT_NE(bare.err.find("用法"), std::string::npos) << bare.err;
}

}  // namespace
}  // namespace e2e

namespace e2e {
namespace {

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
                                           std::pair("--summary a.csv b.csv", "只能有一个记录文件")}) {
        const Outcome outcome = RunProgram(folder, arguments);
        EXPECT_EQ(std::tie(outcome.status, outcome.out), std::tuple(2, "")) << arguments;
        EXPECT_NE(outcome.err.find(named), std::string::npos) << outcome.err;
        EXPECT_NE(outcome.err.find(configuration), std::string::npos) << outcome.err;
    }
}

}  // namespace
}  // namespace e2e
