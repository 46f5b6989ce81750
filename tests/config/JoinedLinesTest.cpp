// The lines loading joins to the value above them, kept for the window to point out likely typos.
#include <gtest/gtest.h>

#include "config/clsConfigFile.h"
#include "support/Codec.h"
#include "support/MemoryFileSystem.h"

namespace {

using Joined = std::vector<std::pair<std::string, std::string>>;

// Only a line without "=" counts: a repeated key adds a line as well; a line after an empty key joins no
// value and is kept with no key.
TEST(Store, KeepsEveryLineItJoinedWithTheKeyItJoined) {
    testsupport::MemoryFileSystem files;
    files.ConfigFile() = "#TarvelMonic Config File#\r\n"
                         "<Tolvanexa>\\Stage1Caption = 开篇\r\n"
                         "  <Tolvanexa>\\Stage2Timer1＝180  \r\n"
                         "<Tolvanexa>\\Stage1Caption = again\r\n"
                         " = nothing\r\n"
                         "dropped\r\n"
                         "<Other>\\Notes = a\r\n"
                         "# b\r\n";
    const platform::TextCodec& codec = testsupport::GbkCodec();
    const clsConfigFile config(files, codec);
    Joined joined;
    for (const auto& [key, line] : config.JoinedLines()) joined.emplace_back(key, line);
    EXPECT_EQ(joined, (Joined{{"<Tolvanexa>\\Stage1Caption", "<Tolvanexa>\\Stage2Timer1＝180"},
                              {"", "dropped"},
                              {"<Other>\\Notes", "# b"}}));
    EXPECT_EQ(config.Items().Item("<tolvanexa>\\stage1caption").Value, "开篇\r\n<Tolvanexa>\\Stage2Timer1＝180\r\nagain");
}

}  // namespace
