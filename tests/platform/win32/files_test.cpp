// The Windows files and GBK: every GBK character both ways, saves into folders with Chinese names and spaces,
// a read-only or held file, names that open devices.
#include <windows.h>

#include <gmock/gmock.h>

#include "config/clsConfigFile.h"
#include "platform/win32/FileSystem.h"
#include "platform/win32/GbkCodec.h"
#include "platform/win32/UserPath.h"
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

int FilesInFolder(const std::string& folder) {
    int count = 0;
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(platform::NativePath(folder + "/*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        count += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ? 1 : 0;
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return count;
}

TEST(Win32Files, SaveIntoAFolderWithAChineseNameAndSpacesKeepsAttributesAndLeavesNoTemporaryFile) {
    const testsupport::TestFolder folder("辩论赛 计时器 (决赛)");
    folder.Write("Tolvanexa.config", H + "<Tolvanexa>\\ApplicationTitle=\xB5\xDA\xCA\xAE\xBD\xEC\r\n");
    const std::wstring path = platform::NativePath(folder.File("Tolvanexa.config"));
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    auto files = FilesIn(folder.Path());
    clsConfigFile config(files, codec);
    config.NameSpace("Tolvanexa");
    EXPECT_EQ(config.Item("ApplicationTitle"), "第十届");
    config.Item("Stage9Caption", "自由辩论");
    config.Close();
    EXPECT_EQ(folder.Read("Tolvanexa.config"),
              H + "<Tolvanexa>\\ApplicationTitle = \xB5\xDA\xCA\xAE\xBD\xEC\r\n<Tolvanexa>\\Stage9Caption = "
                  "\xD7\xD4\xD3\xC9\xB1\xE7\xC2\xDB\r\n");
    EXPECT_NE(::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(FilesInFolder(folder.Path()), 1);
    EXPECT_EQ(files.ExecutableFolder().find('\\'), std::string::npos);
}

TEST(Win32Files, ReadOnlyFileIsNeverOverwrittenAndTheMessageNamesIt) {
    const testsupport::TestFolder folder("只读");
    const std::string old = H + "<Tolvanexa>\\Title = Old\r\n";
    folder.Write("Tolvanexa.config", old);
    const std::wstring path = platform::NativePath(folder.File("Tolvanexa.config"));
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    auto files = FilesIn(folder.Path());
    clsConfigFile config(files, codec);
    config.NameSpace("Tolvanexa");
    config.Item("Title", "New");
    EXPECT_THAT([&] { config.Close(); },
                testing::ThrowsMessage<platform::FileError>(testing::HasSubstr(folder.File("Tolvanexa.config"))));
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(folder.Read("Tolvanexa.config"), old);
    EXPECT_EQ(FilesInFolder(folder.Path()), 1) << "a temporary file was left behind";
}

// An editor holding the file open: with delete sharing the save goes through (the editor keeps the old file);
// without it the save fails, naming the file, and the old file stays whole.
TEST(Win32Files, FileHeldOpenByAnotherProgramIsReplacedWholeOrLeftWhole) {
    for (const DWORD sharing : {DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE}, DWORD{FILE_SHARE_READ}}) {
        const testsupport::TestFolder folder;
        const std::string old = H + "<Tolvanexa>\\Title = Old\r\n";
        folder.Write("Tolvanexa.config", old);
        const HANDLE editor = ::CreateFileW(platform::NativePath(folder.File("Tolvanexa.config")).c_str(), GENERIC_READ,
                                            sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(editor, INVALID_HANDLE_VALUE);
        auto files = FilesIn(folder.Path());
        clsConfigFile config(files, codec);
        config.NameSpace("Tolvanexa");
        config.Item("Title", "New");
        std::string failure;
        try {
            config.Close();
        } catch (const platform::FileError& error) {
            failure = error.what();
        }
        ::CloseHandle(editor);
        const std::string now = folder.Read("Tolvanexa.config");
        EXPECT_TRUE(now == H + "<Tolvanexa>\\Title = New\r\n" || (now == old && !failure.empty())) << now;
        if (!failure.empty()) {
            EXPECT_THAT(failure, testing::HasSubstr(folder.File("Tolvanexa.config")));
        }
        if (sharing & FILE_SHARE_DELETE) {
            EXPECT_EQ(failure, "");
        }
        EXPECT_EQ(FilesInFolder(folder.Path()), 1) << "a temporary or backup file was left behind";
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
