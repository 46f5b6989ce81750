// The store end to end on the example a time-keeper's hand-edited file gives:
// what loads, what reads under the namespace, and the exact bytes written back.
#include <gtest/gtest.h>

#include "config/clsConfigFile.h"
#include "platform/posix/IconvCodec.h"
#include "support/MemoryFileSystem.h"

namespace {

const std::string kEditedFile =
    "#TarvelMonic Config File#\r\n"
    "<Tolvanexa>\\ApplicationTitle=Grand final\r\n"
    "\r\n"
    "<tolvanexa>\\stage1timer1 =  180\r\n"
    "<Tolvanexa>\\Stage9Caption = Free debate\r\n"
    "   second line\r\n"
    "<Other>\\Width = 3\r\n"
    "<Tolvanexa>\\Stage9Caption = third line\r\n";

const std::string kSavedFile =
    "#TarvelMonic Config File#\r\n"
    "<Tolvanexa>\\ApplicationTitle = Grand final\r\n"
    "<tolvanexa>\\stage1timer1 = 180\r\n"
    "<Tolvanexa>\\Stage9Caption = Free debate\r\n"
    "<Tolvanexa>\\Stage9Caption = second line\r\n"
    "<Tolvanexa>\\Stage9Caption = third line\r\n"
    "<Other>\\Width = 3\r\n";

TEST(WorkedExample, LoadsReadsAndSavesTheNormalisedFile) {
    testsupport::MemoryFileSystem files;
    const platform::IconvCodec codec;
    files.files[files.ConfigPath()] = kEditedFile;
    {
        clsConfigFile config(files, codec);
        std::vector<std::pair<std::string, std::string>> items;
        for (const clsConfigItem& item : config.Items()) items.emplace_back(item.Key, item.Value);
        const std::vector<std::pair<std::string, std::string>> expected = {
            {"<Tolvanexa>\\ApplicationTitle", "Grand final"},
            {"<tolvanexa>\\stage1timer1", "180"},
            {"<Tolvanexa>\\Stage9Caption", "Free debate\r\nsecond line\r\nthird line"},
            {"<Other>\\Width", "3"},
        };
        EXPECT_EQ(items, expected);
        EXPECT_EQ(files.writes, 0) << "loading a good file writes nothing";

        config.NameSpace("Tolvanexa");
        EXPECT_EQ(config.Item("ApplicationTitle"), "Grand final");
        EXPECT_EQ(config.Item("Stage1Timer1"), "180");
        EXPECT_EQ(config.Item("Width"), "");
    }
    EXPECT_EQ(files.files.at(files.ConfigPath()), kSavedFile);
    EXPECT_EQ(files.files.size(), 1u) << "no temporary or set-aside file is left behind";
}

}  // namespace
