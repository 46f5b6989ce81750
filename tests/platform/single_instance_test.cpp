// One copy per folder: the lock's name, a second copy refused and the first told, nothing left behind.
#include <QCoreApplication>
#include <QElapsedTimer>

#include <sys/mount.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/qt/QtSingleInstance.h"
#include "support/TestFolder.h"

namespace platform {
namespace {

TEST(SingleInstanceName, IsTheFolderItselfHoweverItIsReachedAndNeedsNoFile) {
    testsupport::TestFolder temp;
    std::filesystem::create_directory(temp.File("hall"));
    std::filesystem::create_directory(temp.File("other"));
    std::filesystem::create_directory_symlink(temp.File("hall"), temp.File("link"));
    const QString name = SingleInstanceName(temp.File("hall"));
    for (const char* same : {"link", "hall/", "other/../hall"}) EXPECT_EQ(SingleInstanceName(temp.File(same)), name) << same;
    EXPECT_NE(SingleInstanceName(temp.File("other")), name);
    // Before, a folder reached through a bind mount ran a second copy: the lock went by the path.
    std::filesystem::create_directory(temp.File("bound"));
    if (::mount(temp.File("hall").c_str(), temp.File("bound").c_str(), nullptr, MS_BIND, nullptr) == 0) {
        EXPECT_EQ(SingleInstanceName(temp.File("bound")), name);
        ::umount(temp.File("bound").c_str());
    }
    // Absolute, or Qt puts it under a temporary folder that varies with the environment; within a socket address.
    EXPECT_TRUE(name.startsWith(QLatin1Char('/')) && name.size() < 100) << name.toStdString();
}

TEST(QtSingleInstance, ASecondCopyIsRefusedAndTheFirstAskedToTheFrontUntilItEnds) {
    testsupport::TestFolder temp;
    int activations = 0;
    {
        QtSingleInstance first(temp.Path());
        first.onActivate = [&] { ++activations; };
        ASSERT_TRUE(first.Acquire());
        EXPECT_FALSE(QtSingleInstance(temp.Path()).Acquire());
        EXPECT_TRUE(QtSingleInstance(temp.File("elsewhere")).Acquire());
        QElapsedTimer waited;
        waited.start();
        while (activations == 0 && waited.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_EQ(activations, 1);
    }
    // Nothing outlives the copy that held the lock, so the next start is the only one again.
    EXPECT_TRUE(QtSingleInstance(temp.Path()).Acquire());
    EXPECT_TRUE(std::filesystem::is_empty(temp.Path()));
}

}  // namespace
}  // namespace platform
