// How soon the real program shows its first frame, and how much memory it
// takes. Each run starts the built program, copied with the shipped
// configuration and icons into a private folder, and times it from the spawn
// to Qt's report that the window's first frame went to the screen (the first
// flush of its backing store, logged under qt.widgets.painting). It is then
// left running briefly, so the first clock tick is included, and ended with
// SIGTERM as a service manager would; wait4's rusage gives its peak resident
// memory. One warm-up run (font and file caches) is not counted.
//
//   build/bench/bench_startup [--runs 10] [--platform offscreen|xcb] [--hold-ms 1500]
//   xvfb-run -a build/bench/bench_startup --platform xcb
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <iomanip>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "BenchHarness.h"

extern char** environ;

namespace {

constexpr double kStartupBoundMs = 250;
constexpr double kMemoryBoundMb = 60;
// A program that never shows a frame is given up on after this long.
constexpr int kFrameTimeoutMs = 20000;
constexpr const char* kFirstFrameMark = "Flushing QRegion";

struct RunResult {
    std::optional<double> firstFrameMs;
    double peakRssMb = 0;
    int exitStatus = -1;
};

std::vector<std::string> ChildEnvironment(const std::string& platformName) {
    std::vector<std::string> env;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        if (text.rfind("QT_QPA_PLATFORM=", 0) == 0 || text.rfind("QT_LOGGING_RULES=", 0) == 0) continue;
        env.push_back(text);
    }
    env.push_back("QT_QPA_PLATFORM=" + platformName);
    env.push_back("QT_LOGGING_RULES=qt.widgets.painting=true");
    env.push_back("QT_FORCE_STDERR_LOGGING=1");
    if (!getenv("SDL_AUDIODRIVER")) env.push_back("SDL_AUDIODRIVER=dummy");
    return env;
}

// Reads the child's log until the first-frame mark or until `deadline`;
// true once the mark has been seen. `pending` keeps a partial line.
bool ReadUntilMark(int fd, bench::Clock::time_point deadline, std::string& pending, bool stopAtMark) {
    char buffer[4096];
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - bench::Clock::now());
        if (left.count() <= 0) return false;
        pollfd watch{fd, POLLIN, 0};
        if (poll(&watch, 1, static_cast<int>(left.count())) <= 0) continue;
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) return false;  // the program ended
        pending.append(buffer, static_cast<std::size_t>(got));
        if (stopAtMark && pending.find(kFirstFrameMark) != std::string::npos) return true;
        if (!stopAtMark) pending.clear();
    }
}

std::string FormatMs(double ms) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(1) << ms << " ms";
    return text.str();
}

void Drain(int fd) {
    char buffer[4096];
    while (read(fd, buffer, sizeof buffer) > 0) {
    }
}

RunResult RunOnce(const std::string& program, const std::vector<std::string>& env, int holdMs) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);

    std::vector<char*> envp;
    for (const std::string& entry : env) envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
    std::string name = program;
    char* const args[] = {name.data(), nullptr};

    RunResult result;
    pid_t child = 0;
    const auto spawned = bench::Clock::now();
    const int failed = posix_spawn(&child, program.c_str(), &actions, nullptr, args, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (failed != 0) {
        close(pipeEnds[0]);
        throw std::runtime_error("cannot start " + program);
    }

    std::string log;
    if (ReadUntilMark(pipeEnds[0], spawned + std::chrono::milliseconds(kFrameTimeoutMs), log, true)) {
        result.firstFrameMs = bench::Milliseconds(bench::Clock::now() - spawned);
    }
    ReadUntilMark(pipeEnds[0], bench::Clock::now() + std::chrono::milliseconds(holdMs), log, false);
    kill(child, SIGTERM);
    Drain(pipeEnds[0]);
    close(pipeEnds[0]);

    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    result.peakRssMb = static_cast<double>(usage.ru_maxrss) / 1024.0;  // kB on Linux
    result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    const long runs = bench::Option(argc, argv, "--runs", 10);
    const int holdMs = static_cast<int>(bench::Option(argc, argv, "--hold-ms", 1500));
    const char* platformFromEnv = getenv("QT_QPA_PLATFORM");
    const std::string platformName =
        bench::TextOption(argc, argv, "--platform", platformFromEnv ? platformFromEnv : "offscreen");
    const std::string built = bench::TextOption(argc, argv, "--program", bench::BuildDir() + "/Tolvanexa");

    std::cout << "load average at start: " << bench::LoadAverage() << "\n";
    const bench::RunFolder folder;
    const std::string program = folder.File("Tolvanexa");
    std::filesystem::copy_file(built, program);
    const std::vector<std::string> env = ChildEnvironment(platformName);

    RunOnce(program, env, 0);  // warm-up, not counted
    std::vector<double> startMs;
    std::vector<double> rssMb;
    std::cout << std::fixed << std::setprecision(1);
    for (long run = 1; run <= runs; ++run) {
        const RunResult result = RunOnce(program, env, holdMs);
        std::cout << "run " << run << ": first frame "
                  << (result.firstFrameMs ? FormatMs(*result.firstFrameMs) : std::string("not seen"))
                  << ", peak RSS " << result.peakRssMb << " MB, exit status " << result.exitStatus << "\n";
        if (result.firstFrameMs) startMs.push_back(*result.firstFrameMs);
        rssMb.push_back(result.peakRssMb);
    }
    if (startMs.empty()) {
        std::cout << "no first frame seen on platform " << platformName << "\n";
        return 0;
    }

    const double median = bench::Median(startMs);
    const double peak = *std::max_element(rssMb.begin(), rssMb.end());
    std::cout << "platform " << platformName << ", " << startMs.size() << " runs\n"
              << "first frame median / min / max: " << median << " / "
              << *std::min_element(startMs.begin(), startMs.end()) << " / "
              << *std::max_element(startMs.begin(), startMs.end()) << " ms\n"
              << "peak RSS median / max: " << bench::Median(rssMb) << " / " << peak << " MB\n"
              << "target: first frame under " << kStartupBoundMs << " ms: "
              << (median < kStartupBoundMs ? "met" : "missed") << "; peak RSS under " << kMemoryBoundMb
              << " MB: " << (peak < kMemoryBoundMb ? "met" : "missed") << "\n"
              << "load average at end: " << bench::LoadAverage() << "\n";
    return 0;
}
