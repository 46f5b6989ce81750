// Files no editor should produce: random bytes, UTF-16, huge files and keys,
// long runs of blank lines. None may crash the store or lose what it held.
#include <gtest/gtest.h>

#include <random>

#include "ConfigTestSupport.h"

namespace {

const std::string H = "#TarvelMonic Config File#\r\n";

// Either the file is ours and the store holds it, or its bytes are kept beside it.
void ExpectNothingLost(configtest::MemoryInstall& install, const std::string& original) {
    clsConfigFile config(install.files, configtest::Codec());
    const std::string aside = config.SetAsidePath();
    ASSERT_FALSE(aside.empty());
    EXPECT_EQ(install.files.files.at(aside), original);
    config.Close();
    EXPECT_EQ(install.files.files.at(aside), original);
    EXPECT_EQ(install.File(), H);
}

TEST(BadInput, RandomBytesAreSetAside) {
    std::mt19937 random(7);
    for (int run = 0; run < 200; ++run) {
        std::string bytes(1 + random() % 2000, '\0');
        for (char& b : bytes) b = static_cast<char>(random());
        configtest::MemoryInstall install(bytes);
        ExpectNothingLost(install, bytes);
    }
}

TEST(BadInput, Utf16FileIsSetAside) {
    std::string utf16 = "\xFF\xFE";
    for (char c : H + "<Tolvanexa>\\ApplicationTitle = Final\r\n") {
        utf16 += c;
        utf16 += '\0';
    }
    configtest::MemoryInstall install(utf16);
    ExpectNothingLost(install, utf16);
}

TEST(BadInput, LongFilesAndKeysLoadWhole) {
    std::string file;
    for (int i = 0; i < 10000; ++i) file += "\r\n";  // blank lines before the header
    file += H;
    const std::string longKey(64 * 1024, 'K');
    file += longKey + " = long\r\n";
    for (int i = 0; i < 40000; ++i) file += "Key" + std::to_string(i) + " = " + std::to_string(i) + "\r\n";
    configtest::MemoryInstall install(file);
    clsConfigFile config(install.files, configtest::Codec());
    EXPECT_EQ(config.Items().Count(), 40001) << "no limit at 32,767 lines";
    EXPECT_EQ(config.Item(longKey), "long");
    EXPECT_EQ(config.Item("key39999"), "39999");
    EXPECT_EQ(config.SetAsidePath(), "");
}

}  // namespace
