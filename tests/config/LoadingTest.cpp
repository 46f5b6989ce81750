// How a hand-edited file is read: blank lines folded in pairs, continuation
// lines, empty keys, header variants and line ends.
#include <errno.h>
#include <gtest/gtest.h>

#include "config/ConfigText.h"
#include "platform/posix/PosixFileSystem.h"
#include "ConfigTestSupport.h"

namespace {

using configtest::Items;

constexpr const char* kHead = "#TarvelMonic Config File#\r\n";

struct LoadCase {
    const char* name;
    std::string content;
    Items expected;
};

class Loading : public testing::TestWithParam<LoadCase> {};

TEST_P(Loading, GivesTheseItems) {
    configtest::MemoryInstall install(GetParam().content);
    const clsConfigFile config(install.files, configtest::Codec());
    EXPECT_EQ(configtest::ItemsOf(config), GetParam().expected);
    EXPECT_EQ(config.SetAsidePath(), "");
}

const std::string H = kHead;

INSTANTIATE_TEST_SUITE_P(
    Rules, Loading,
    testing::Values(
        LoadCase{"SpacingAroundEqualsIsFree", H + "a=1\r\nb   =   2\r\nc = x=y\r\n",
                 {{"a", "1"}, {"b", "2"}, {"c", "x=y"}}},
        LoadCase{"OneBlankLineFoldsAway", H + "a = 1\r\n\r\nb = 2\r\n", {{"a", "1"}, {"b", "2"}}},
        LoadCase{"TwoOrThreeBlankLinesLeaveOne", H + "a = 1\r\n\r\n\r\nb = 2\r\n\r\n\r\n\r\nc = 3",
                 {{"a", "1\r\n"}, {"b", "2\r\n"}, {"c", "3"}}},
        LoadCase{"FourBlankLinesLeaveTwo", H + "a = 1\r\n\r\n\r\n\r\n\r\nb = 2",
                 {{"a", "1\r\n\r\n"}, {"b", "2"}}},
        LoadCase{"ContinuationLinesAreTrimmed", H + "a = 1\r\n  two  \r\n three=\r\n",
                 {{"a", "1\r\ntwo"}, {"three", ""}}},
        LoadCase{"EmptyKeySwallowsUntilNextKey", H + "a = 1\r\n = lost\r\nlost too\r\nb = 2\r\n",
                 {{"a", "1"}, {"b", "2"}}},
        LoadCase{"TextBeforeFirstKeyIgnored", H + "stray\r\na = 1\r\n", {{"a", "1"}}},
        LoadCase{"RepeatedKeyJoinsInFirstCase", H + "Key = 1\r\nKEY = 2\r\n", {{"Key", "1\r\n2"}}},
        LoadCase{"HeaderAfterBlankLinesAnyCaseSpaces",
                 "\r\n\r\n   #TARVELMONIC config FILE#  \r\na = 1", {{"a", "1"}}},
        LoadCase{"CrAloneEndsALine", H + "a = 1\rb = 2\r", {{"a", "1"}, {"b", "2"}}},
        // A file written from scratch by a Linux editor ends its lines with LF alone.
        LoadCase{"LfAloneEndsALine", "#TarvelMonic Config File#\na = 1\n\nb = 2\n", {{"a", "1"}, {"b", "2"}}},
        LoadCase{"TabsAreNotTrimmed", H + "\ta = 1\t\r\n", {{"\ta", "1\t"}}},
        LoadCase{"OtherNamespacesAndNoPrefixKept", H + "<Other>\\W = 3\r\nPlain = 4\r\n",
                 {{"<Other>\\W", "3"}, {"Plain", "4"}}},
        LoadCase{"NulBytesAreOrdinaryCharacters", H + std::string("a\0b = c\0d\r\n", 11),
                 {{std::string("a\0b", 3), std::string("c\0d", 3)}}},
        LoadCase{"HeaderAloneLoadsNothing", H, {}}),
    [](const testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

TEST(Loading, FirstLineNotTheHeaderLoadsNothingAndSetsTheFileAside) {
    const std::string content = "<Tolvanexa>\\ApplicationTitle = Final\r\n";
    configtest::MemoryInstall install(content);
    clsConfigFile config(install.files, configtest::Codec());
    config.NameSpace("Tolvanexa");
    EXPECT_EQ(config.Item("ApplicationTitle"), "");
    const std::string aside = install.files.ConfigPath() + ".bak";
    EXPECT_EQ(config.SetAsidePath(), aside);
    EXPECT_EQ(install.files.files.at(aside), content);
    EXPECT_EQ(install.File(), content) << "setting aside does not touch the original";
    config.Close();
    EXPECT_EQ(install.File(), H);
    EXPECT_EQ(install.files.files.at(aside), content);
}

TEST(Loading, SetAsideNeverOverwritesAnEarlierCopy) {
    configtest::MemoryInstall install("not ours");
    const std::string path = install.files.ConfigPath();
    install.files.files[path + ".bak"] = "older";
    install.files.files[path + ".bak.1"] = "older still";
    const clsConfigFile config(install.files, configtest::Codec());
    EXPECT_EQ(config.SetAsidePath(), path + ".bak.2");
    EXPECT_EQ(install.files.files.at(path + ".bak"), "older");
    EXPECT_EQ(install.files.files.at(path + ".bak.2"), "not ours");
}

TEST(Loading, UnreadableFileIsMovedAsideNotWrittenOver) {
    configtest::MemoryInstall install("secret settings");
    const std::string path = install.files.ConfigPath();
    install.files.unreadable.insert(path);
    const clsConfigFile config(install.files, configtest::Codec());
    EXPECT_EQ(config.SetAsidePath(), path + ".bak");
    EXPECT_EQ(install.files.files.at(path + ".bak"), "secret settings");
    EXPECT_EQ(install.File(), H);
}

TEST(Loading, FileOfBlankLinesIsLeftUntilTheStoreEnds) {
    configtest::MemoryInstall install("\r\n\r\n\r\n");
    {
        const clsConfigFile config(install.files, configtest::Codec());
        EXPECT_TRUE(configtest::ItemsOf(config).empty());
        EXPECT_EQ(install.File(), "\r\n\r\n\r\n");
        EXPECT_EQ(config.SetAsidePath(), "");
    }
    EXPECT_EQ(install.File(), H);
}

TEST(Loading, NoFileWritesTheHeaderAlone) {
    configtest::MemoryInstall install;
    clsConfigFile config(install.files, configtest::Codec());
    config.NameSpace("Tolvanexa");
    EXPECT_EQ(install.File(), H);
    EXPECT_EQ(config.Item("ApplicationTitle"), "");
}

TEST(Loading, FileLiesBesideTheExecutableNamedAfterIt) {
    testsupport::MemoryFileSystem root("/", "Tolvanexa");
    const clsConfigFile config(root, configtest::Codec());
    EXPECT_EQ(config.Path(), "/Tolvanexa.config");
    EXPECT_EQ(NormalizeFolder("  ", root), "/");
    EXPECT_EQ(NormalizeFolder(" /srv/a", root), " /srv/a/");
    EXPECT_EQ(NormalizeFolder("/srv/a/", root), "/srv/a/");
}

TEST(Loading, RealExecutableFolderAndBaseName) {
    const platform::ExecutableLocation here = platform::LocationOf("/opt/timer/Tolvanexa");
    EXPECT_EQ(here.folder, "/opt/timer");
    EXPECT_EQ(here.baseName, "Tolvanexa");
    EXPECT_EQ(platform::LocationOf("/Tolvanexa.bin").folder, "/");
    EXPECT_EQ(platform::LocationOf("/Tolvanexa.bin").baseName, "Tolvanexa");
    const platform::PosixFileSystem running;
    EXPECT_EQ(running.ExecutableBaseName() + ".", std::string(program_invocation_short_name) + ".");
    EXPECT_EQ(running.ExecutableFolder().front(), '/');
}

}  // namespace
