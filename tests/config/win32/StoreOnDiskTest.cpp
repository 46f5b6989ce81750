// The store's saves on a real Windows disk: a save killed part-way leaves the old or the new file.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include "config/clsConfigFile.h"
#include "platform/win32/FileSystem.h"
#include "platform/win32/Wide.h"
#include "record/win32/ChildProcess.h"
#include "support/Codec.h"
#include "support/TestFolder.h"

namespace {

std::string FileFor(long counter) {
    return "#TarvelMonic Config File#\r\nPadding = " + std::string(256 * 1024, 'x') + "\r\nCounter = " +
           std::to_string(counter) + "\r\n";
}

// The child of the test below: saves for ever, each time a new counter.
TEST(StoreChild, DISABLED_SavesForever) {
    const std::string folder = testchild::GivenFolder();
    if (folder.empty()) GTEST_SKIP() << "only run as the child of KilledSaveLeavesTheOldOrTheNewFileNeverAPartialOne";
    platform::Win32FileSystem files(platform::ExecutableLocation{folder, "Tolvanexa"});
    [&]() noexcept {  // an error ends the child, which the check of its exit code reports
        clsConfigFile config(files, testsupport::GbkCodec());
        for (long counter = 1;; ++counter) config.Item("Counter", std::to_string(counter)), config.Save();
    }();
}

FILETIME LastWrite(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(platform::NativePath(path).c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

// A child saving in a loop is killed at random moments, once it has saved at least once.
TEST(Store, KilledSaveLeavesTheOldOrTheNewFileNeverAPartialOne) {
    const testsupport::TestFolder folder;
    folder.Write("Tolvanexa.config", FileFor(0));
    std::mt19937 random(1234);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    int runs = 0;
    for (; runs < 40 && std::chrono::steady_clock::now() < deadline; ++runs) {
        const FILETIME before = LastWrite(folder.File("Tolvanexa.config"));
        const PROCESS_INFORMATION child = testchild::Start(L"StoreChild.DISABLED_SavesForever", folder.Path());
        ASSERT_NE(child.hProcess, nullptr);
        // Watched without opening the file: a reader holding it open would itself make the saves fail.
        for (int wait = 0; wait < 2000; ++wait, ::Sleep(5)) {
            const FILETIME now = LastWrite(folder.File("Tolvanexa.config"));
            if (::CompareFileTime(&before, &now) != 0) break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        ASSERT_EQ(testchild::Kill(child), testchild::kKilled) << "the child stopped by itself";
        const std::string content = folder.Read("Tolvanexa.config");
        ASSERT_TRUE(content == FileFor(std::atol(content.substr(content.rfind(' ') + 1).c_str())))
            << "partial file of " << content.size() << " bytes after run " << runs;
    }
    EXPECT_GE(runs, 5) << "too few runs in the time allowed";
}

}  // namespace
