// A save that fails at any step leaves the old file exactly as it was, says
// so in words the time-keeper can act on, and does not stop a later save.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "ConfigTestSupport.h"
#include "config/TemporaryFolder.h"
#include "support/FaultyFileSystem.h"

namespace {

using testsupport::FaultStep;

const std::string kOriginal = "#TarvelMonic Config File#\r\n<Tolvanexa>\\ApplicationTitle = Old\r\n";
const std::string kUpdated = "#TarvelMonic Config File#\r\n<Tolvanexa>\\ApplicationTitle = New\r\n";

class FailedSave : public testing::TestWithParam<FaultStep> {};

TEST_P(FailedSave, LeavesTheOldFileWholeAndALaterSaveWorks) {
    testsupport::TemporaryFolder folder;
    folder.Write("Tolvanexa.config", kOriginal);
    testsupport::FaultyFileSystem files(folder.Path());
    clsConfigFile config(files, configtest::Codec());
    config.NameSpace("Tolvanexa");
    config.Item("ApplicationTitle", "New");

    files.FailAt(GetParam());
    try {
        config.Save();
        FAIL() << "the save reported success";
    } catch (const platform::FileError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("无法保存配置文件"), std::string::npos) << message;
        EXPECT_NE(message.find(folder.File("Tolvanexa.config")), std::string::npos) << message;
    }
    EXPECT_EQ(files.Failures(), 1);
    EXPECT_EQ(folder.Read("Tolvanexa.config"), kOriginal);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"Tolvanexa.config"}) << "temporary left behind";

    config.Close();
    EXPECT_EQ(folder.Read("Tolvanexa.config"), kUpdated);
}

INSTANTIATE_TEST_SUITE_P(EachStep, FailedSave,
                         testing::Values(FaultStep::CreateTemporary, FaultStep::WritePartly,
                                         FaultStep::CopyPermissions, FaultStep::Rename));

TEST(SafeSave, KeepsTheFilesPermissions) {
    testsupport::TemporaryFolder folder;
    folder.Write("Tolvanexa.config", kOriginal);
    ::chmod(folder.File("Tolvanexa.config").c_str(), 0640);
    testsupport::FaultyFileSystem files(folder.Path());
    clsConfigFile(files, configtest::Codec()).Close();
    struct stat st {};
    ASSERT_EQ(::stat(folder.File("Tolvanexa.config").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(SafeSave, NewFileGetsTheUsualPermissionsNotTheTemporarysOwn) {
    testsupport::TemporaryFolder folder;
    testsupport::FaultyFileSystem files(folder.Path());
    const mode_t mask = ::umask(022);
    clsConfigFile(files, configtest::Codec()).Close();
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(folder.File("Tolvanexa.config").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST(SafeSave, NoFileAndAFolderThatRefusesItFailsConstruction) {
    testsupport::TemporaryFolder folder;
    testsupport::FaultyFileSystem files(folder.Path());
    files.FailAt(FaultStep::CreateTemporary);
    EXPECT_THROW(clsConfigFile(files, configtest::Codec()), platform::FileError);
    EXPECT_TRUE(folder.Names().empty());
}

TEST(SafeSave, FileThatCannotBeSetAsideIsNeverWrittenOver) {
    testsupport::TemporaryFolder folder;
    const std::string foreign = "Width=3\r\n";
    folder.Write("Tolvanexa.config", foreign);
    testsupport::FaultyFileSystem files(folder.Path());
    files.FailAt(FaultStep::WritePartly, 2);
    clsConfigFile config(files, configtest::Codec());
    EXPECT_EQ(config.SetAsidePath(), "");
    try {
        config.Save();
        FAIL() << "the save wrote over a file it could not set aside";
    } catch (const platform::FileError& error) {
        EXPECT_NE(std::string(error.what()).find("另存"), std::string::npos) << error.what();
    }
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"Tolvanexa.config"});
    EXPECT_EQ(folder.Read("Tolvanexa.config"), foreign);

    config.Close();
    EXPECT_EQ(config.SetAsidePath(), folder.File("Tolvanexa.config.bak"));
    EXPECT_EQ(folder.Read("Tolvanexa.config.bak"), foreign);
    EXPECT_EQ(folder.Read("Tolvanexa.config"), "#TarvelMonic Config File#\r\n");
}

}  // namespace
