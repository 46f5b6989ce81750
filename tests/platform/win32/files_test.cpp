// The Windows files and GBK: every GBK character both ways, saves, names that open devices.
#include <windows.h>

#include <gmock/gmock.h>

#include <filesystem>
#include <iterator>

#include "config/clsConfigFile.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/GbkCodec.h"
#include "platform/win32/Win32UserPath.h"
#include "platform/win32/Wide.h"
#include "support/TestFolder.h"

namespace {

const std::string H = "#TarvelMonic Config File#\r\n";
const platform::GbkCodec codec;

// The two-byte characters glibc's GBK table holds; code page 936 holds about 2,150 more, all private-use.
constexpr int kGbkPairs = 21791;

TEST(GbkCodec, EveryGbkCharacterRoundTripsAndTheTableIsGlibcs) {
    int accepted = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            const std::optional<std::string> text = codec.GbkToUtf8(pair);
            if (!text) continue;
            ++accepted;
            ASSERT_EQ(codec.Utf8ToGbk(*text), pair) << std::hex << lead << trail;
        }
    }
    EXPECT_EQ(accepted, kGbkPairs);
    EXPECT_EQ(codec.GbkToUtf8("\x80"), "€");
    EXPECT_EQ(codec.Utf8ToGbk("第十届辩论赛 €5"), "\xB5\xDA\xCA\xAE\xBD\xEC\xB1\xE7\xC2\xDB\xC8\xFC \x80" "5");
}

TEST(GbkCodec, RefusesWhatGlibcRefusesInBothDirections) {
    // User-defined areas and single pairs code page 936 maps to private-use characters; a lone lead byte; 0xFF.
    for (const char* bytes : {"\xA1\x40", "\xA6\xD9", "\xA8\xBF", "\xFE\x50", "\xAA\xA1", "\xF8\xA1", "\xFF", "a\x81"}) {
        EXPECT_EQ(codec.GbkToUtf8(bytes), std::nullopt) << bytes;
    }
    // A private-use character, a character GBK lacks (no best fit to "e"), one beyond 16 bits, broken UTF-8.
    for (const char* text : {"\xEE\x80\x80", "ệ", "😀", "\xC3"}) EXPECT_EQ(codec.Utf8ToGbk(text), std::nullopt) << text;
    EXPECT_EQ(codec.GbkToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
}

platform::Win32FileSystem FilesIn(const std::string& folder) {
    return platform::Win32FileSystem(platform::ExecutableLocation{folder, "Tolvanexa"});
}

// Saves into a folder with a Chinese name and spaces. A hidden file stays hidden; a read-only one is never
// replaced. An editor holding the file open with delete sharing does not stop the save; without it the save
// may fail. A failure names the file and leaves the old one whole; no temporary or backup file is left.
TEST(Win32Files, SavesKeepAttributesAndReplaceTheFileWholeOrLeaveItWholeNamingIt) {
    struct Case {
        DWORD attributes, sharing;  // sharing 0: no editor holds it
        bool mayFail, mustFail;
    };
    for (const Case c : {Case{FILE_ATTRIBUTE_HIDDEN, 0, false, false}, Case{FILE_ATTRIBUTE_READONLY, 0, true, true},
                         Case{FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, false, false},
                         Case{FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ, true, false}}) {
        SCOPED_TRACE(testing::Message() << c.attributes << " " << c.sharing);
        const testsupport::TestFolder folder("辩论赛 计时器 (决赛)");
        const std::string old = H + "<Tolvanexa>\\Title=\xB5\xDA\xCA\xAE\xBD\xEC\r\n";  // 第十届
        folder.Write("Tolvanexa.config", old);
        const std::wstring path = platform::NativePath(folder.File("Tolvanexa.config"));
        ::SetFileAttributesW(path.c_str(), c.attributes);
        const HANDLE editor = c.sharing == 0 ? INVALID_HANDLE_VALUE
            : ::CreateFileW(path.c_str(), GENERIC_READ, c.sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        auto files = FilesIn(folder.Path());
        clsConfigFile config(files, codec);
        config.NameSpace("Tolvanexa");
        config.Item("Title", "自由辩论");
        std::string failure;
        try {
            config.Close();
        } catch (const platform::FileError& error) {
            failure = error.what();
        }
        if (editor != INVALID_HANDLE_VALUE) ::CloseHandle(editor);
        constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY;
        EXPECT_EQ(::GetFileAttributesW(path.c_str()) & kKept, c.attributes & kKept);
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_TRUE(failure.empty() ? !c.mustFail : c.mayFail && failure.find(folder.File("Tolvanexa.config")) != std::string::npos) << failure;
        EXPECT_EQ(folder.Read("Tolvanexa.config"),
                  failure.empty() ? H + "<Tolvanexa>\\Title = \xD7\xD4\xD3\xC9\xB1\xE7\xC2\xDB\r\n" : old);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(testsupport::TestFolder::Native(folder.Path())), {}), 1)
            << "a temporary or backup file was left behind";
    }
}

TEST(Win32Files, NamesThatOpenDevicesOrFoldersAreNeverRead) {
    const testsupport::TestFolder folder("图片");
    folder.Write("bg.png", "x");
    auto files = FilesIn(folder.Path());
    for (const std::string& name : {std::string("NUL"), std::string("con.txt"), folder.Path() + "/AUX",
                                    std::string("\\\\.\\pipe\\tolvanexa"), std::string("COM1"), folder.Path()}) {
        EXPECT_THROW(files.ReadFile(name), platform::FileError) << name;
        EXPECT_FALSE(platform::IsRegularFile(name)) << name;
    }
    EXPECT_EQ(files.ReadFile(folder.File("missing.png")), std::nullopt);
    EXPECT_TRUE(platform::IsRegularFile(folder.File("bg.png")));
    // A configured path with either separator, relative to the program's folder.
    EXPECT_EQ(platform::ResolveUserPath("bg.png", folder.Path()), folder.Path() + "/bg.png");
    EXPECT_TRUE(platform::IsRegularFile(platform::ResolveUserPath("..\\图片\\bg.png", folder.Path())));
}

}  // namespace
