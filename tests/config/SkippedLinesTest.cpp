// The lines loading reads into no setting: kept for the window to point out a likely typo, never joined to the
// value above them, and never dropped by a close.
#include <gtest/gtest.h>

#include "config/clsConfigFile.h"
#include "support/Codec.h"
#include "support/MemoryFileSystem.h"

namespace {

using Why = clsConfigFile::SkippedLine::Why;
using Skipped = std::vector<std::tuple<std::string, std::string, Why>>;
const std::string H = "#TarvelMonic Config File#\r\n";

// Before, the "＝" line was joined to stage 1's caption (the hall saw it) and the close wrote it into the file
// as part of that caption; a comment line vanished at the close.
TEST(Store, SkipsLinesThatLookLikeSlipsAndNeverRewritesAFileHoldingOne) {
    testsupport::MemoryFileSystem files;
    const std::string file = H +
                             "# 决赛配置 2026\r\n"
                             "<Tolvanexa>\\Stage1Caption = 开篇\r\n"
                             "  <Tolvanexa>\\Stage2Timer1＝180  \r\n"
                             "second line\r\n"
                             "<Tolvanexa>\\Stage1Caption = again\r\n"
                             "<Other>\\X 3\r\n"
                             " = nothing\r\n"
                             "dropped\r\n"
                             "<Other>\\Notes = a\r\n"
                             "// b\r\n"
                             "\t; c\r\n";
    files.ConfigFile() = file;
    const platform::TextCodec& codec = testsupport::GbkCodec();
    {
        clsConfigFile config(files, codec);
        Skipped skipped;
        for (const auto& [key, line, why] : config.SkippedLines()) skipped.emplace_back(key, line, why);
        EXPECT_EQ(skipped, (Skipped{{"", "# 决赛配置 2026", Why::Comment},
                                    {"<Tolvanexa>\\Stage1Caption", "<Tolvanexa>\\Stage2Timer1＝180", Why::FullWidthEquals},
                                    {"<Tolvanexa>\\Stage1Caption", "<Other>\\X 3", Why::KeyWithoutEquals},
                                    {"", "nothing", Why::NoKey},
                                    {"", "dropped", Why::NoKey},
                                    {"<Other>\\Notes", "// b", Why::Comment},
                                    {"<Other>\\Notes", "\t; c", Why::Comment}}));
        EXPECT_EQ(config.Items().Item("<tolvanexa>\\stage1caption").Value, "开篇\r\nsecond line\r\nagain");
        EXPECT_EQ(config.Items().Item("<other>\\notes").Value, "a");
        EXPECT_EQ(config.FileNotice(), "");
    }
    EXPECT_EQ(files.files, (std::map<std::string, std::string>{{files.ConfigPath(), file}}));
    // A change of the store's own is written, the file kept beside it first.
    clsConfigFile config(files, codec);
    config.Item("<Tolvanexa>\\Stage2Timer1", "180");
    config.Close();
    EXPECT_EQ(files.files[config.SetAsidePath()], file);
    EXPECT_NE(files.ConfigFile().find("<Tolvanexa>\\Stage2Timer1 = 180"), std::string::npos);
}

}  // namespace
