// The store's saves on a real POSIX disk: a save killed part-way.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>

#include "config/clsConfigFile.h"
#include "platform/posix/PosixFileSystem.h"
#include "support/Codec.h"
#include "support/TestFolder.h"

namespace {

const std::string H = "#TarvelMonic Config File#\r\n";
const platform::TextCodec& codec = testsupport::GbkCodec();

// A child saving in a loop is killed at random moments; each save takes many system calls to land in.
TEST(Store, KilledSaveLeavesTheOldOrTheNewFileNeverAPartialOne) {
    const testsupport::TestFolder folder;
    platform::PosixFileSystem files(platform::ExecutableLocation{folder.Path(), "Tolvanexa"});
    const auto fileFor = [](long counter) {
        return H + "Padding = " + std::string(256 * 1024, 'x') + "\r\nCounter = " + std::to_string(counter) + "\r\n";
    };
    folder.Write("Tolvanexa.config", fileFor(0));
    std::mt19937 random(1234);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int runs = 0;
    for (; runs < 200 && std::chrono::steady_clock::now() < deadline; ++runs) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {  // an error aborts the child, which the check of its end reports
            [&]() noexcept {
                clsConfigFile config(files, codec);
                for (long counter = 1;; ++counter) config.Item("Counter", std::to_string(counter)), config.Save();
            }();
        }
        ::usleep(random() % 20000);
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the child stopped by itself: " << status;
        const std::string content = folder.Read("Tolvanexa.config");
        ASSERT_TRUE(content == fileFor(std::atol(content.substr(content.rfind(' ') + 1).c_str())))
            << "partial file of " << content.size() << " bytes after run " << runs;
    }
    EXPECT_GE(runs, 50) << "too few runs in the time allowed";
}

}  // namespace
