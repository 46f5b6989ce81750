// The save on real files: the organiser's permission bits survive the
// temporary file renamed over the old one, and no temporary file is left.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "config/clsConfigFile.h"
#include "platform/posix/IconvCodec.h"
#include "platform/posix/PosixFileSystem.h"

namespace {

namespace fs = std::filesystem;

TEST(RealFiles, SaveKeepsPermissionsAndLeavesNoTemporaryFile) {
    std::string folder = (fs::temp_directory_path() / "tolvanexa-real-XXXXXX").string();
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    platform::PosixFileSystem files(platform::ExecutableLocation{folder, "Tolvanexa"});
    platform::IconvCodec codec;
    const std::string path = folder + "/Tolvanexa.config";
    const std::string normalised = "#TarvelMonic Config File#\r\n<Tolvanexa>\\ButtonPadding = 18\r\n";
    {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fputs("#TarvelMonic Config File#\r\n<Tolvanexa>\\ButtonPadding=18\r\n", file);
        std::fclose(file);
    }
    ::chmod(path.c_str(), 0640);
    clsConfigFile config(files, codec);
    config.Save();
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(files.ReadFile(path), normalised);

    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    config.Close();
    fs::remove_all(folder);
}

}  // namespace
