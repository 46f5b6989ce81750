// The store's saves on the file-system fake: nothing written when nothing is new, no write over a file
// that must not be written over, failures that leave the old file whole, an edit made during a save.
#include <gmock/gmock.h>

#include "config/clsConfigFile.h"
#include "support/Codec.h"
#include "support/MemoryFileSystem.h"

namespace {

using testing::HasSubstr;
using testsupport::MemoryFileSystem;
using testsupport::SaveStep;
using Files = std::map<std::string, std::string>;
const std::string H = "#TarvelMonic Config File#\r\n";
const std::string kTidy = H + "<Tolvanexa>\\Title = Old\r\n";
const std::string kUntidy = H + "<Tolvanexa>\\Title=Old\r\n";  // the same item; a save writes it as kTidy
const std::string kForeign = H + "W = \xFF\r\n";                  // not GBK: set aside before any write
const platform::TextCodec& codec = testsupport::GbkCodec();

auto ThrowsNaming(const std::string& part) {
    return testing::ThrowsMessage<platform::FileError>(testing::AllOf(HasSubstr("/opt/Tolvanexa/Tolvanexa.config"),
                                                                      HasSubstr(part)));
}

// Nearly every close has nothing new to write: then no step of a save is taken, so a folder or a file
// that cannot be written is no failure, whatever the store was told.
TEST(Save, WritesNothingWhenTheFileAlreadyHoldsTheStore) {
    MemoryFileSystem files;
    files.ConfigFile() = kTidy;
    files.readOnly.insert(files.ConfigPath());
    std::vector<SaveStep> taken;
    files.onStep = [&](SaveStep step) { taken.push_back(step); };
    clsConfigFile config(files, codec);
    config.Item("<Tolvanexa>\\Title", "Old");  // assigned, but to the same value
    EXPECT_NO_THROW(config.Close());
    EXPECT_TRUE(taken.empty());
    EXPECT_EQ(files.files, (Files{{files.ConfigPath(), kTidy}}));
}

// Each step of a save through a temporary file fails in turn: the old file stays whole and named, and a
// later save works. Without a temporary file, see the in-place test below.
class FailedSave : public testing::TestWithParam<SaveStep> {};

TEST_P(FailedSave, LeavesTheOldFileWholeNamesItAndALaterSaveWorks) {
    MemoryFileSystem files;
    files.ConfigFile() = kUntidy;
    files.Fail(GetParam());
    clsConfigFile config(files, codec);
    EXPECT_THAT([&] { config.Save(); }, ThrowsNaming(""));
    EXPECT_EQ(files.files, (Files{{files.ConfigPath(), kUntidy}})) << "the old file changed, or a copy is left";
    config.Close();
    EXPECT_EQ(files.files, (Files{{files.ConfigPath(), kTidy}}));
}

INSTANTIATE_TEST_SUITE_P(EachStep, FailedSave,
                         testing::Values(SaveStep::WriteAll, SaveStep::CopyPermissions, SaveStep::Rename),
                         [](const auto& info) { return std::to_string(static_cast<int>(info.param)); });

// A folder only the file in it may be written to (a shared installation): the file is never rewritten in
// place, where a kill part-way would leave it empty. A change of the store's own is refused, and the message
// says the file is untouched. (Tidying alone is given up without a word: the window's guard tests.)
TEST(Save, WithoutATemporaryFileNeverWritesInPlace) {
    MemoryFileSystem files;
    files.ConfigFile() = kUntidy;
    files.Fail(SaveStep::CreateTemporary, 2);
    std::vector<SaveStep> taken;
    files.onStep = [&](SaveStep step) { taken.push_back(step); };
    clsConfigFile config(files, codec);
    config.Item("<Tolvanexa>\\Title", "New");
    EXPECT_THAT([&] { config.Save(); }, ThrowsNaming("文件未被改动"));
    EXPECT_EQ(files.files, (Files{{files.ConfigPath(), kUntidy}}));
    EXPECT_EQ(taken, std::vector<SaveStep>{SaveStep::CreateTemporary});
}

// A file the store must set aside before writing over it, and cannot (a full disk), is never written over
// while the store runs: it is said at start-up and at the close, unless the user mended it in between.
TEST(Save, NeverWritesOverAFileItCouldNotSetAsideAndLeavesAMendedOneAlone) {
    for (const bool mended : {false, true}) {
        MemoryFileSystem files;
        files.ConfigFile() = kForeign;
        files.Fail(SaveStep::WriteAll);
        clsConfigFile config(files, codec);
        EXPECT_THAT(config.FileNotice(), HasSubstr("本次运行中程序不会改写该文件"));
        EXPECT_EQ(config.SetAsidePath(), "");
        const std::string last = mended ? kUntidy + std::string(1400, ' ') : kForeign;
        files.ConfigFile() = last;
        if (mended) EXPECT_NO_THROW(config.Close());
        else EXPECT_THAT([&] { config.Close(); }, ThrowsNaming("另存失败"));
        EXPECT_EQ(files.files, (Files{{files.ConfigPath(), last}}));
    }
}

// Another program writes the file while the store is saving over it, after the store's first look: the
// store looks again before it replaces the file, and, as the edit may land even after that look (before,
// 3 of 500 did), it keeps the file it replaced, finds the edit in it and puts it back. With nothing of its
// own to add the edit stands; with a change of its own the edit is set aside first. Nothing else stays.
TEST(Save, AnEditMadeDuringTheSaveStands) {
    const std::string edit = H + "<Tolvanexa>\\Title = Edited\r\n";
    for (const bool changed : {false, true}) {
        for (const SaveStep during : {SaveStep::WriteAll, SaveStep::CopyPermissions, SaveStep::Rename}) {
            MemoryFileSystem files;
            files.ConfigFile() = kUntidy;
            clsConfigFile config(files, codec);
            if (changed) config.Item("<Tolvanexa>\\Extra", "1");
            bool edited = false;
            files.onStep = [&](SaveStep step) {
                if (step == during && !edited) files.ConfigFile() = edit, edited = true;
            };
            config.Close();
            EXPECT_EQ(files.files, (changed ? Files{{files.ConfigPath(), kTidy + "<Tolvanexa>\\Extra = 1\r\n"},
                                                    {files.ConfigPath() + ".bak", edit}}
                                            : Files{{files.ConfigPath(), edit}}));
        }
    }
}

// What start-up tells of a file it could not take over names the true cause and where the file went.
struct NoticeCase {
    const char* name;
    std::function<void(MemoryFileSystem&)> make;
    std::vector<std::string> parts;
    bool copied = true;  // whether a copy of the file was made
};
void PrintTo(const NoticeCase& notice, std::ostream* out) { *out << notice.name; }
class Notice : public testing::TestWithParam<NoticeCase> {};

TEST_P(Notice, NamesTheCause) {
    MemoryFileSystem files;
    GetParam().make(files);
    const clsConfigFile config(files, codec);
    for (const std::string& part : GetParam().parts) EXPECT_THAT(config.FileNotice(), HasSubstr(part));
    EXPECT_EQ(files.files.contains(files.ConfigPath() + ".bak"), GetParam().copied) << config.FileNotice();
}

INSTANTIATE_TEST_SUITE_P(
    Causes, Notice,
    testing::Values(
        NoticeCase{"Unreadable", [](auto& f) { f.ConfigFile() = kTidy, f.unreadable.insert(f.ConfigPath()); },
                   {"没有权限", "Tolvanexa.config.bak", "并已写入新的配置文件"}},
        NoticeCase{"PipeThatCannotBeMoved", [](auto& f) {
                       f.ConfigFile() = "", f.special.insert(f.ConfigPath()), f.Fail(SaveStep::Rename);
                   }, {"不是普通文件", "另存失败", "不会改写该文件"}, false},
        NoticeCase{"NoHeader", [](auto& f) { f.ConfigFile() = "\r\n<Tolvanexa>\\" + std::string(60, 'x') + "\r\n"; },
                   {"第一行应是文件头“#TarvelMonic Config File#”，实际却是“<Tolvanexa>\\xxxxxxxxxxxxxxxxxxxxxxxxxxxx……”",
                    "程序不会改动该文件", "请在该文件的最前面加上一行“#TarvelMonic Config File#”"}, false},
        // Never rewritten at the close, so not copied at every start either.
        NoticeCase{"SkippedLine", [](auto& f) { f.ConfigFile() = H + "A = \xFF\r\n# 决赛\r\n"; },
                   {"既不是 GBK 也不是 UTF-8", "程序不会改写该文件"}, false},
        NoticeCase{"MixedEncodings", [](auto& f) { f.ConfigFile() = H + "A = 辩论\r\nB = \xB1\xE7\xC2\xDB\r\n"; },
                   {"既有 UTF-8 编码的行，也有 GBK 编码的行", "以 UTF-8 编码写回"}}),
    [](const testing::TestParamInfo<NoticeCase>& info) { return std::string(info.param.name); });

TEST(Save, LeftoverTemporaryFilesAreRemovedBesideTheFileAndItsLinkTarget) {
    MemoryFileSystem files;
    files.links[files.ConfigPath()] = "/srv/timer.config";
    files.files = {{"/srv/timer.config", kTidy}, {"/srv/timer.config.tmp", "x"}, {files.ConfigPath() + ".tmp", "y"}};
    clsConfigFile::RemoveLeftovers(files);
    EXPECT_EQ(files.files, (Files{{"/srv/timer.config", kTidy}}));
}

}  // namespace
