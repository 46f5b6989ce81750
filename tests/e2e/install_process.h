// Child processes for the installation tests: cmake --install, and the
// installed program itself. Arguments go straight to exec, never to a shell.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace installtest {

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline std::string EnvOr(const char* name, const std::string& fallback) {
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

// The cmake that configured the build, as its cache records it.
inline std::string CmakeOf(const std::string& buildDir) {
    std::ifstream cache(buildDir + "/CMakeCache.txt");
    const std::string prefix = "CMAKE_COMMAND:INTERNAL=";
    for (std::string line; std::getline(cache, line);) {
        if (line.rfind(prefix, 0) == 0) return line.substr(prefix.size());
    }
    return "cmake";
}

// A private folder under the system's temporary folder, removed afterwards.
class TempFolder final {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tolvanexa-install-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// The current environment with some variables replaced or added.
class Environment final {
public:
    explicit Environment(const std::vector<std::string>& overrides) {
        for (char** e = environ; *e; ++e) {
            const std::string entry = *e;
            bool replaced = false;
            for (const std::string& o : overrides) replaced |= SameName(entry, o);
            if (!replaced) entries_.push_back(entry);
        }
        entries_.insert(entries_.end(), overrides.begin(), overrides.end());
        for (std::string& e : entries_) pointers_.push_back(e.data());
        pointers_.push_back(nullptr);
    }
    char** Get() { return pointers_.data(); }

private:
    static bool SameName(const std::string& a, const std::string& b) {
        const auto n = a.find('=');
        return n != std::string::npos && b.compare(0, n + 1, a, 0, n + 1) == 0;
    }
    std::vector<std::string> entries_;
    std::vector<char*> pointers_;
};

// Starts `args` with stdout and stderr going to `logPath`; returns the pid or -1.
inline pid_t Start(std::vector<std::string> args, const std::string& logPath,
                   const std::vector<std::string>& environment = {}) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    Environment env(environment);
    pid_t pid = -1;
    const int failed = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), env.Get());
    posix_spawn_file_actions_destroy(&actions);
    return failed ? -1 : pid;
}

// The exit status once the child has ended, or nullopt if it is still running
// after `limit` (it is then killed, so no test leaves a process behind).
inline std::optional<int> WaitFor(pid_t pid, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return status;
}

// Runs cmake --install of the build into `prefix`; returns its exit code (-1
// when it did not run or end) and leaves its output in `logPath`.
inline int InstallInto(const std::string& buildDir, const std::string& prefix, const std::string& logPath) {
    const pid_t pid = Start({CmakeOf(buildDir), "--install", buildDir, "--prefix", prefix}, logPath);
    if (pid < 0) return -1;
    const std::optional<int> status = WaitFor(pid, std::chrono::seconds(120));
    return status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
}

}  // namespace installtest
