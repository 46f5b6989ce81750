// One copy per folder on Windows: the lock's name, a second copy refused and the first told, nothing left behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/win32/Win32SingleInstance.h"
#include "platform/win32/TestMessages.h"
#include "support/TestFolder.h"

namespace platform {
namespace {

TEST(SingleInstanceName, IsTheFolderItselfHoweverItIsWritten) {
    const testsupport::TestFolder temp("计时器 文件夹");
    std::filesystem::create_directory(testsupport::TestFolder::Native(temp.File("Other")));
    const std::wstring name = SingleInstanceName(temp.Path());
    for (const std::string& same : {temp.Path() + "/", temp.Path() + "/Other/..", temp.root + "\\计时器 文件夹"}) {
        EXPECT_EQ(SingleInstanceName(same), name) << same;
    }
    EXPECT_NE(SingleInstanceName(temp.File("Other")), name);
}

TEST(Win32SingleInstance, ASecondCopyIsRefusedAndTheFirstAskedToTheFrontUntilItEnds) {
    const testsupport::TestFolder temp;
    int activations = 0;
    {
        Win32SingleInstance first(temp.Path());
        first.onActivate = [&] { ++activations; };
        ASSERT_TRUE(first.Acquire());
        Win32SingleInstance second(temp.Path());
        EXPECT_FALSE(second.Acquire());
        Win32SingleInstance elsewhere(temp.File("elsewhere"));
        EXPECT_TRUE(elsewhere.Acquire());
        testwin::RunUntil([&] { return activations > 0; }, 5000);
        EXPECT_EQ(activations, 1);
    }
    // Nothing outlives the copy that held the lock, so the next start is the only one again.
    Win32SingleInstance next(temp.Path());
    EXPECT_TRUE(next.Acquire());
    EXPECT_TRUE(std::filesystem::is_empty(testsupport::TestFolder::Native(temp.Path())));
}

}  // namespace
}  // namespace platform
