// An organiser may fix the configuration in an editor while the timer is
// open (the timer's own message about bad settings invites it). Closing the
// timer must not write the old content back over that fix.
#include <gtest/gtest.h>

#include "config/clsConfigFile.h"
#include "platform/posix/IconvCodec.h"
#include "support/MemoryFileSystem.h"

namespace {

const std::string kLoaded = "#TarvelMonic Config File#\r\n<Tolvanexa>\\ButtonPadding = abc\r\n";
const std::string kEdited = "#TarvelMonic Config File#\r\n<Tolvanexa>\\ButtonPadding = 18\r\n";

class EditedWhileRunning : public testing::Test {
protected:
    testsupport::MemoryFileSystem files;
    platform::IconvCodec codec;
};

TEST_F(EditedWhileRunning, AnEditStandsWhenTheStoreChangedNothing) {
    files.files[files.ConfigPath()] = kLoaded;
    clsConfigFile config(files, codec);
    files.files[files.ConfigPath()] = kEdited;
    config.Close();
    EXPECT_EQ(files.files[files.ConfigPath()], kEdited);
}

TEST_F(EditedWhileRunning, AFileCopiedInAfterAFirstStartStands) {
    clsConfigFile config(files, codec);  // no file yet: a header-only one is written
    files.files[files.ConfigPath()] = kEdited;
    config.Close();
    EXPECT_EQ(files.files[files.ConfigPath()], kEdited);
}

TEST_F(EditedWhileRunning, AnEditIsSetAsideBeforeTheStoreWritesItsOwnChange) {
    files.files[files.ConfigPath()] = kLoaded;
    clsConfigFile config(files, codec);
    config.NameSpace("Tolvanexa");
    config.Item("SeparatorWidth", "12");
    files.files[files.ConfigPath()] = kEdited;
    config.Close();
    EXPECT_EQ(files.files[config.SetAsidePath()], kEdited);
    EXPECT_NE(files.files[files.ConfigPath()].find("SeparatorWidth = 12"), std::string::npos);
}

}  // namespace
