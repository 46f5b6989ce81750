// The real program, started as the time-keeper's desktop or a service manager
// would start it, ended by a signal. It must close like "退出": save the
// configuration (the normalised form proves the save ran) and exit with 0.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>
#include <vector>

#include "e2e/e2e_support.h"

extern char** environ;

namespace e2e {
namespace {

// As a time-keeper might leave it after editing: header in lower case,
// spacing of their own, blank lines and a continued value.
constexpr const char* kEdited =
    "  #tarvelmonic config file#\r\n"
    "<Tolvanexa>\\ApplicationTitle=Grand final\r\n"
    "\r\n"
    "<tolvanexa>\\stage1timer1 =  180\r\n"
    "<Tolvanexa>\\Stage9Caption = Free debate\r\n"
    "   second line\r\n"
    "<Other>\\Width = 3\r\n";
constexpr const char* kNormalised =
    "#TarvelMonic Config File#\r\n"
    "<Tolvanexa>\\ApplicationTitle = Grand final\r\n"
    "<tolvanexa>\\stage1timer1 = 180\r\n"
    "<Tolvanexa>\\Stage9Caption = Free debate\r\n"
    "<Tolvanexa>\\Stage9Caption = second line\r\n"
    "<Other>\\Width = 3\r\n";

const std::vector<int> kEndingSignals = {SIGTERM, SIGINT, SIGHUP};

// Starts `program` with the ending signals blocked, so one sent at once
// waits until the program is ready for it: no guessing how long start-up takes.
pid_t StartBlocked(const std::string& program, const std::string& log) {
    std::vector<std::string> settings;
    for (char** entry = environ; *entry != nullptr; ++entry) settings.emplace_back(*entry);
    settings.insert(settings.end(), {"QT_QPA_PLATFORM=offscreen", "SDL_AUDIODRIVER=dummy", "ASAN_OPTIONS=detect_leaks=0"});
    std::vector<char*> env;
    for (std::string& setting : settings) env.push_back(setting.data());
    env.push_back(nullptr);

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t blocked;
    sigemptyset(&blocked);
    for (const int signal : kEndingSignals) sigaddset(&blocked, signal);
    posix_spawnattr_setsigmask(&attributes, &blocked);
    posix_spawnattr_setsigdefault(&attributes, &blocked);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, STDOUT_FILENO, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&files, STDOUT_FILENO, STDERR_FILENO);

    pid_t pid = -1;
    std::string path = program;
    char* argv[] = {path.data(), nullptr};
    if (posix_spawn(&pid, path.c_str(), &files, &attributes, argv, env.data()) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    return pid;
}

std::optional<int> WaitFor(pid_t pid, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        if (::waitpid(pid, &status, WNOHANG) == pid) return status;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return std::nullopt;
}

// The built program: in TOLVANEXA_BUILD_DIR, or else one folder above this
// test (the build puts the tests in its "tests" folder).
std::string BuiltProgram() {
    const char* build = std::getenv("TOLVANEXA_BUILD_DIR");
    std::error_code error;
    const std::filesystem::path folder =
        build != nullptr ? std::filesystem::path(build)
                         : std::filesystem::read_symlink("/proc/self/exe", error).parent_path().parent_path();
    return (folder / "Tolvanexa").string();
}

class EndingSignal : public testing::TestWithParam<int> {};

TEST_P(EndingSignal, SavesTheConfigurationAndExitsCleanly) {
    const std::string program = BuiltProgram();
    if (!std::filesystem::exists(program)) GTEST_SKIP() << "no built program at " << program;
    // A copy, so the program reads the configuration beside the copy, not the developer's.
    qttest::TestFolder folder;
    std::filesystem::copy_file(program, folder.File("Tolvanexa"));
    folder.Write("Tolvanexa.config", kEdited);

    const pid_t pid = StartBlocked(folder.File("Tolvanexa"), folder.File("run.log"));
    ASSERT_GT(pid, 0);
    ::kill(pid, GetParam());
    const std::optional<int> status = WaitFor(pid, std::chrono::seconds(20));
    ASSERT_TRUE(status.has_value()) << "still running:\n" << folder.Read("run.log");
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << folder.Read("run.log");
    EXPECT_EQ(folder.Read("Tolvanexa.config"), kNormalised);
}

INSTANTIATE_TEST_SUITE_P(Signals, EndingSignal, testing::ValuesIn(kEndingSignals),
                         [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

}  // namespace
}  // namespace e2e
