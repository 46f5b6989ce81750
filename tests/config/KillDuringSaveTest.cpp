// A program killed in the middle of a save leaves the old file or the new one,
// never a part of one: a child process saves in a loop and is killed at
// random moments.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "ConfigTestSupport.h"
#include "config/TemporaryFolder.h"
#include "platform/posix/PosixFileSystem.h"

namespace {

constexpr int kRuns = 200;
// Large enough that a write takes several system calls' worth of time.
const std::string kPadding(256 * 1024, 'x');

std::string FileFor(const std::string& counter) {
    return "#TarvelMonic Config File#\r\n<Tolvanexa>\\Padding = " + kPadding +
           "\r\n<Tolvanexa>\\Counter = " + counter + "\r\n";
}

[[noreturn]] void SaveForever(const std::string& folder) {
    try {
        platform::PosixFileSystem files(platform::ExecutableLocation{folder, "Tolvanexa"});
        clsConfigFile config(files, configtest::Codec());
        config.NameSpace("Tolvanexa");
        for (long counter = 1;; ++counter) {
            config.Item("Counter", std::to_string(counter));
            config.Save();
        }
    } catch (...) {
        ::_exit(2);
    }
}

// The counter of a complete file, or -1 when the file is not one the store wrote.
long CompleteFileCounter(const std::string& content) {
    const std::string marker = "\\Counter = ";
    const std::size_t at = content.rfind(marker);
    if (at == std::string::npos || content.size() < 2) return -1;
    const std::string counter = content.substr(at + marker.size(), content.size() - at - marker.size() - 2);
    return content == FileFor(counter) ? std::stol(counter) : -1;
}

TEST(KillDuringSave, LeavesTheOldOrTheNewFileNeverAPartialOne) {
    testsupport::TemporaryFolder folder;
    folder.Write("Tolvanexa.config", FileFor("0"));
    std::mt19937 random(1234);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    long last = 0;
    int runs = 0;
    for (; runs < kRuns && std::chrono::steady_clock::now() < deadline; ++runs) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) SaveForever(folder.Path());
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child stopped by itself, status " << status;
        const long counter = CompleteFileCounter(folder.Read("Tolvanexa.config"));
        ASSERT_GE(counter, 0) << "partial file after run " << runs;
        last = counter;
    }
    EXPECT_GE(runs, kRuns / 4) << "too few runs in the time allowed";
    RecordProperty("runs", runs);
    RecordProperty("last_counter", static_cast<int>(last));
}

}  // namespace
