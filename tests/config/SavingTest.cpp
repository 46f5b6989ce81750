// What Save writes: namespaces, new and removed keys, multi-line and empty
// values, and the file's encoding kept as it was read.
#include <gtest/gtest.h>

#include "ConfigTestSupport.h"

namespace {

const std::string H = "#TarvelMonic Config File#\r\n";

TEST(Saving, NamespaceReachesOnlyItsOwnItems) {
    configtest::MemoryInstall install(H + "<Other>\\Width = 3\r\nPlain = 4\r\n<Tolvanexa>\\Width = 5\r\n");
    clsConfigFile config(install.files, configtest::Codec());
    EXPECT_EQ(config.Item("Plain"), "4") << "an empty namespace looks keys up without a prefix";
    EXPECT_EQ(config.Item("<other>\\width"), "3");
    config.NameSpace("Tolvanexa");
    EXPECT_EQ(config.NameSpace(), "Tolvanexa");
    EXPECT_EQ(config.Item("Width"), "5");
    EXPECT_EQ(config.Item("Plain"), "");
    config.Remove("Width");
    config.Remove("NotStored");
    config.Item("Title", "  New  ");
    config.Item("Lines", "one\r\ntwo\r\n\r\nthree\r\n");
    config.Item("Empty", "\r\n\r\n");
    config.Close();
    EXPECT_EQ(install.File(), H + "<Other>\\Width = 3\r\nPlain = 4\r\n<Tolvanexa>\\Title = New\r\n"
                                  "<Tolvanexa>\\Lines = one\r\n<Tolvanexa>\\Lines = two\r\n"
                                  "<Tolvanexa>\\Lines = three\r\n<Tolvanexa>\\Empty = \r\n");
    EXPECT_EQ(config.Item("Title"), "  New  ") << "the stored value is not normalised";
}

TEST(Saving, MultiLineValueReadsBackAsTheSameLines) {
    configtest::MemoryInstall install;
    {
        clsConfigFile config(install.files, configtest::Codec());
        config.Item("Caption", "正方\r\n反方\r\n第三行");
    }
    const clsConfigFile again(install.files, configtest::Codec());
    EXPECT_EQ(again.Item("caption"), "正方\r\n反方\r\n第三行");
}

TEST(Saving, AssignedValueKeepsTheLoadedKeysLetterCase) {
    configtest::MemoryInstall install(H + "<tolvanexa>\\stage1timer1 = 180\r\n");
    clsConfigFile config(install.files, configtest::Codec());
    config.NameSpace("Tolvanexa");
    config.Item("Stage1Timer1", "240");
    config.Close();
    EXPECT_EQ(install.File(), H + "<tolvanexa>\\stage1timer1 = 240\r\n");
}

// A file written by a Windows editor in code page 936.
const std::string kGbkFile =
    "#TarvelMonic Config File#\r\n"
    "<Tolvanexa>\\ApplicationTitle = \xB5\xDA\xCA\xAE\xBD\xEC\xB1\xE7\xC2\xDB\xC8\xFC\r\n"  // 第十届辩论赛
    "<Tolvanexa>\\Stage9Caption = \xD7\xD4\xD3\xC9\xB1\xE7\xC2\xDB \x80" "5\r\n";          // 自由辩论 €5

TEST(Encoding, GbkFileLoadsAndSavesByteIdentical) {
    configtest::MemoryInstall install(kGbkFile);
    clsConfigFile config(install.files, configtest::Codec());
    config.NameSpace("Tolvanexa");
    EXPECT_EQ(config.Item("ApplicationTitle"), "第十届辩论赛");
    EXPECT_EQ(config.Item("Stage9Caption"), "自由辩论 €5");
    config.Close();
    EXPECT_EQ(install.File(), kGbkFile);
    EXPECT_EQ(config.Encoding(), config::FileEncoding::Gbk);
}

struct Utf8Case {
    const char* name;
    std::string prefix;
    config::FileEncoding encoding;
};

class Utf8Files : public testing::TestWithParam<Utf8Case> {};

TEST_P(Utf8Files, AreReadAsUtf8AndWrittenBackSo) {
    const std::string file = GetParam().prefix + H + "<Tolvanexa>\\ApplicationTitle = 辩论赛 ✓\r\n";
    configtest::MemoryInstall install(file);
    clsConfigFile config(install.files, configtest::Codec());
    config.NameSpace("Tolvanexa");
    EXPECT_EQ(config.Item("ApplicationTitle"), "辩论赛 ✓");
    config.Close();
    EXPECT_EQ(install.File(), file);
    EXPECT_EQ(config.Encoding(), GetParam().encoding);
    EXPECT_EQ(config.SetAsidePath(), "");
}

INSTANTIATE_TEST_SUITE_P(
    WithAndWithoutMark, Utf8Files,
    testing::Values(Utf8Case{"Plain", "", config::FileEncoding::Utf8},
                    Utf8Case{"ByteOrderMark", "\xEF\xBB\xBF", config::FileEncoding::Utf8WithBom}),
    [](const testing::TestParamInfo<Utf8Case>& info) { return std::string(info.param.name); });

TEST(Encoding, TextGbkCannotHoldIsSavedAsUtf8WithMark) {
    configtest::MemoryInstall install(kGbkFile);
    {
        clsConfigFile config(install.files, configtest::Codec());
        config.Item("Note", "한국어 ✓");
    }
    EXPECT_EQ(install.File().substr(0, 3), "\xEF\xBB\xBF");
    const clsConfigFile again(install.files, configtest::Codec());
    EXPECT_EQ(again.Item("Note"), "한국어 ✓");
    EXPECT_EQ(again.Item("<Tolvanexa>\\ApplicationTitle"), "第十届辩论赛");
}

TEST(Encoding, GbkThatWouldReadBackAsUtf8IsSavedAsUtf8WithMark) {
    configtest::MemoryInstall install;
    {
        clsConfigFile config(install.files, configtest::Codec());
        config.Item("Title", "臉");  // C4 98 in GBK, which is also UTF-8 for "Ę"
    }
    const clsConfigFile again(install.files, configtest::Codec());
    EXPECT_EQ(again.Item("Title"), "臉");
    EXPECT_EQ(again.Encoding(), config::FileEncoding::Utf8WithBom);
}

TEST(Encoding, UndecodableBytesAreSetAsideAndTheRestLoads) {
    // 0xFF begins no GBK character; 0x81 followed by a line end is half of one.
    const std::string file = H + "a = \xFF\xB5\xDA\r\nb = \x81\r\nc = 3\r\n";
    configtest::MemoryInstall install(file);
    clsConfigFile config(install.files, configtest::Codec());
    EXPECT_EQ(configtest::ItemsOf(config),
              (configtest::Items{{"a", "?第"}, {"b", "?"}, {"c", "3"}}));
    EXPECT_EQ(install.files.files.at(config.SetAsidePath()), file);
    config.Close();
    EXPECT_EQ(install.File(), H + "a = ?\xB5\xDA\r\nb = ?\r\nc = 3\r\n");
}

}  // namespace
