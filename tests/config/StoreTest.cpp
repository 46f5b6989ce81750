// The settings store: hand-edited files as loaded and read, written back in their own encoding, saved safely.
// The saves on a real disk, which differ by system, are in posix/ and win32/.
#include <gmock/gmock.h>

#include <algorithm>
#include <cctype>
#include <random>

#include "config/ConfigText.h"
#include "config/clsConfigFile.h"
#include "support/Codec.h"
#include "support/MemoryFileSystem.h"

namespace {

using namespace std::string_literals;
using testsupport::MemoryFileSystem;
using Items = std::vector<std::pair<std::string, std::string>>;
using Files = std::map<std::string, std::string>;
const std::string H = "#TarvelMonic Config File#\r\n";
const platform::TextCodec& codec = testsupport::GbkCodec();

TEST(ConfigItems, KeepOrderAndPositionsRaiseThreeDistinctErrorsAndIgnoreLetterCaseBeyondAscii) {
    clsConfigItems items;
    for (const char* key : {"A", "B", "C", "D"}) items.Add(key, key);
    items.Remove("b");
    items.Remove(1);
    items.Add("a", "again");  // removal by position must forget the key too
    EXPECT_EQ(items.Item(1).Key + items.Item(2).Value + items.Item(3).Key, "CDa");
    EXPECT_THROW(items.Add("c", "twice"), DuplicateKeyError);
    EXPECT_THROW(items.Item(0), PositionOutOfRangeError);
    EXPECT_THROW(items.Remove(4), PositionOutOfRangeError);
    EXPECT_THROW(items.Remove("B"), KeyNotFoundError);
    EXPECT_THROW(items.Item("1"), KeyNotFoundError) << "a number in text is a key, not a position";
    const std::pair<const char*, const char*> sameKeys[] = {
        {"<Tolvanexa>\\Stage1Timer1", "<tolvanexa>\\STAGE1TIMER1"},
        {"ＡＢＣＺ ΑΒΓΩ АБВЯЁ", "ａｂｃｚ αβγω абвяё"},  // full-width Latin, Greek, Cyrillic (Ё apart)
        {"ⅠⅡⅫ ÀÉÜ ĀǍǗǛ", "ⅰⅱⅻ àéü āǎǘǜ"},              // Roman numerals, Latin-1, pinyin tones
        {"K\xC3", "k\xC3"}};                             // broken UTF-8 kept byte for byte
    for (const auto& [upper, lower] : sameKeys) {
        items.Add(upper, "value");
        EXPECT_THROW(items.Add(lower, "again"), DuplicateKeyError) << upper;
        EXPECT_EQ(items.Item(lower).Key, upper);
    }
    // Letters that only look alike ("Ａ" and the "a" above), and a broken character, stay apart.
    for (const char* key : {"ß", "ss", "Ａ", "\xC3\x80", "\xC3"}) EXPECT_NO_THROW(items.Add(key, key));
}

// Random adds and removals against a plain list: positions close up after a removal, each key is found
// (in any letter case) until it is removed and never after, and renaming a handed-out item does not refile it.
TEST(ConfigItems, StayInStepWithAPlainListThroughRandomAddsAndRemovals) {
    clsConfigItems items;
    Items model;  // the filed key, in upper case, and the value
    std::mt19937 random(20261207);
    const auto upper = [](std::string key) {
        for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return key;
    };
    for (int step = 0; step < 6000; ++step) {
        const std::string key = "<Tolvanexa>\\Key" + std::to_string(random() % 300);
        const auto filed = std::find_if(model.begin(), model.end(), [&](const auto& item) { return item.first == upper(key); });
        switch (random() % 4) {
            case 0:
            case 1:
                if (filed != model.end()) {
                    ASSERT_THROW(items.Add(key, "again"), DuplicateKeyError);
                } else if (random() % 2 == 0) {
                    items.Add(upper(key), std::to_string(step));
                    model.emplace_back(upper(key), std::to_string(step));
                } else {
                    bool added = false;
                    const std::int32_t at = items.FindOrAddText(upper(key), std::to_string(step), added);
                    ASSERT_TRUE(added);
                    items.AppendToValue(at, "\r\n", "more");
                    model.emplace_back(upper(key), std::to_string(step) + "\r\nmore");
                }
                break;
            case 2:
                if (filed == model.end()) {
                    ASSERT_THROW(items.Remove(key), KeyNotFoundError);
                } else {
                    items.Remove(key);  // in lower case: filed in upper case
                    model.erase(filed);
                }
                break;
            default:
                if (model.empty()) break;
                const auto at = static_cast<std::int32_t>(random() % model.size());
                items.Item(at + 1).Key = "renamed";  // still filed under its old key
                items.Remove(at + 1);
                model.erase(model.begin() + at);
        }
        ASSERT_EQ(items.Count(), static_cast<std::int32_t>(model.size()));
        const bool present = std::any_of(model.begin(), model.end(), [&](const auto& item) { return item.first == upper(key); });
        ASSERT_EQ(items.Find(key) != nullptr, present) << key << " at step " << step;
    }
    for (std::size_t i = 0; i < model.size(); ++i) {
        ASSERT_EQ(items.Item(static_cast<std::int32_t>(i + 1)).Value, model[i].second);
        ASSERT_EQ(items.Item(model[i].first).Value, model[i].second);
    }
    Items enumerated;
    for (const clsConfigItem& item : items) enumerated.emplace_back(item.Key, item.Value);
    EXPECT_EQ(enumerated, model);
}

Items ItemsOf(const clsConfigFile& config) {
    Items items;
    for (const clsConfigItem& item : config.Items()) items.emplace_back(item.Key, item.Value);
    return items;
}

// A file (empty: none at all), the items it loads as, and the file a save writes where it matters.
struct LoadCase { const char* name; std::string content; Items items; std::string saved = ""; };
void PrintTo(const LoadCase& loadCase, std::ostream* out) { *out << loadCase.name; }

class Loading : public testing::TestWithParam<LoadCase> {};

TEST_P(Loading, GivesTheseItemsAndWritesThemBack) {
    const LoadCase& param = GetParam();
    MemoryFileSystem files;
    if (!param.content.empty()) files.ConfigFile() = param.content;
    clsConfigFile config(files, codec);
    EXPECT_EQ(ItemsOf(config), param.items);
    // None of these is set aside: a file without its header is left as it is.
    EXPECT_EQ(config.SetAsidePath(), "");
    config.NameSpace("Tolvanexa");  // other namespaces and unprefixed keys never read under it
    EXPECT_EQ(config.Item("W") + config.Item("P"), "");
    config.Close();
    EXPECT_TRUE(param.saved.empty() || files.ConfigFile() == param.saved) << files.ConfigFile();
}

const std::string kGbkFile = H + "Caption = \xB5\xDA\xCA\xAE\xBD\xEC\xB1\xE7\xC2\xDB\xC8\xFC \x80" "5\r\n";

INSTANTIATE_TEST_SUITE_P(
    HandEditedFiles, Loading,
    testing::Values(
        // One blank line folds away; two or three leave one line end, four leave two.
        LoadCase{"BlankLinesFoldInPairs", H + "a=1\r\n\r\nb=2\r\n\r\n\r\nc=3\r\n\r\n\r\n\r\nd=4\r\n\r\n\r\n\r\n\r\ne=5",
                 {{"a", "1"}, {"b", "2\r\n"}, {"c", "3\r\n"}, {"d", "4\r\n\r\n"}, {"e", "5"}}},
        LoadCase{"ContinuationsAndRepeatedKeysJoinUnderTheFirstCase", H + "a = 1\r\n  two  \r\nA=three\r\nempty=\r\n",
                 {{"a", "1\r\ntwo\r\nthree"}, {"empty", ""}}, H + "a = 1\r\na = two\r\na = three\r\nempty = \r\n"},
        LoadCase{"EmptyKeySwallowsItsContinuations", H + "stray\r\na = 1\r\n = lost\r\nlost too\r\nb = 2\r\n",
                 {{"a", "1"}, {"b", "2"}}},
        LoadCase{"HeaderAfterBlanksAnyCaseSpaced", "\r\n\r\n  #TARVELMONIC config FILE# \r\na  =  x=y", {{"a", "x=y"}}},
        LoadCase{"FirstLineNotTheHeaderLoadsNothingAndStays", "<Tolvanexa>\\ApplicationTitle=Final\r\n", {},
                 "<Tolvanexa>\\ApplicationTitle=Final\r\n"},
        LoadCase{"OtherNamespacesAndBareKeysKept", H + "<Other>\\W=3\r\nP=4", {{"<Other>\\W", "3"}, {"P", "4"}}},
        // A file written from scratch by a Linux editor ends its lines with LF alone.
        LoadCase{"CrAloneAndLfAloneEndLines", "#TarvelMonic Config File#\na = 1\rb = 2\n\nc = 3\n",
                 {{"a", "1"}, {"b", "2"}, {"c", "3"}}},
        LoadCase{"NulBytesAndTabsAreOrdinary", H + "\ta\0b = c\0d\t\r\n"s, {{"\ta\0b"s, "c\0d\t"s}}},
        // Each encoding is written back as it was read, byte for byte.
        LoadCase{"GbkChineseCaptions", kGbkFile, {{"Caption", "第十届辩论赛 €5"}}, kGbkFile},
        LoadCase{"Utf8", H + "Caption = 辩论 €5\r\n", {{"Caption", "辩论 €5"}}, H + "Caption = 辩论 €5\r\n"},
        LoadCase{"Utf8WithMark", "\xEF\xBB\xBF" + H + "A = 辩论\r\n", {{"A", "辩论"}}, "\xEF\xBB\xBF" + H + "A = 辩论\r\n"},
        LoadCase{"NoFileGivesAHeaderOnlyFile", "", {}, H}),
    [](const testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

// Whatever the file holds, it loads, or it is kept whole beside it under the first free name before any write,
// or, when its first line is not the header and so nothing of it was read, it is never written over at all:
// bytes GBK cannot read (0xFF; 0x81 before a line end), no header, UTF-16, unreadable, random bytes.
TEST(Store, ForeignFileIsSetAsideWholeOrLeftAloneNeverSilentlyReplaced) {
    const std::string kLeft;  // the file is left as it was
    std::vector<std::pair<std::string, std::string>> cases = {  // the file, and the file after a save
        {H + "a = \xFF\xB5\xDA\r\nb = \x81\r\nc = 3\r\n", H + "a = ?\xB5\xDA\r\nb = ?\r\nc = 3\r\n"},
        // Pairs Windows' code page 936 maps to private-use characters (user-defined areas, A8BF, FE50) and
        // glibc refuses: both editions read them as undecodable, so such a file is set aside alike on each.
        {H + "a = \xA1\x40 \xFE\x50\r\nb = \xA8\xBF\r\nc = \xAA\xA1\r\n", H + "a = ?@ ?P\r\nb = ??\r\nc = ??\r\n"},
        {"Width = 3\r\n", kLeft}, {"\xFF\xFE#\0T\0a\0r\0v\0e\0l\0\r\0\n\0"s, kLeft}, {"unreadable", H}};
    std::mt19937 random(7);
    while (cases.size() < 200) {
        cases.emplace_back(std::string(1 + random() % 2000, '\0'), kLeft);
        for (char& byte : cases.back().first) byte = static_cast<char>(random());
        cases.back().first[0] = 'W';  // so the first line is never blank
    }
    for (const auto& [original, saved] : cases) {
        MemoryFileSystem files;
        const std::string path = files.ConfigPath();
        files.files = {{path, original}, {path + ".bak", "older"}};
        if (original == "unreadable") files.unreadable.insert(path);
        clsConfigFile config(files, codec);
        const bool left = saved.empty();
        ASSERT_EQ(config.SetAsidePath(), left ? "" : path + ".bak.1") << original;
        EXPECT_EQ(config.HeaderMissing(), left);
        config.Close();
        const Files after = left ? Files{{path, original}, {path + ".bak", "older"}}
                                 : Files{{path, saved}, {path + ".bak", "older"}, {path + ".bak.1", original}};
        EXPECT_EQ(files.files, after);
    }
}

// A UTF-8 file with a line pasted from a GBK one: each line is read in its own encoding, the file is set
// aside as it was, and written back in UTF-8, which holds both, behind its byte-order mark. (Without a mark,
// and a GBK file with a UTF-8 line: the test below.)
TEST(Store, MixedEncodingsAreReadLineByLineAndWrittenBackInUtf8) {
    const std::string mark = "\xEF\xBB\xBF";
    MemoryFileSystem files;
    const std::string original = mark + H + "<Tolvanexa>\\ApplicationTitle = 华语辩论赛\r\n<Tolvanexa>\\Stage1Caption = " +
                                 *codec.Utf8ToGbk("正方一辩") + "\r\n";
    files.ConfigFile() = original;
    clsConfigFile config(files, codec);
    EXPECT_EQ(ItemsOf(config), (Items{{"<Tolvanexa>\\ApplicationTitle", "华语辩论赛"},
                                      {"<Tolvanexa>\\Stage1Caption", "正方一辩"}}));
    EXPECT_EQ(files.files[config.SetAsidePath()], original);
    config.Close();
    EXPECT_EQ(files.ConfigFile(),
              mark + H + "<Tolvanexa>\\ApplicationTitle = 华语辩论赛\r\n<Tolvanexa>\\Stage1Caption = 正方一辩\r\n");
}

// Before, a GBK file as a whole won over its lines: a UTF-8 caption of an even number of Chinese characters
// pasted into it, whose bytes also make GBK characters, read as mojibake ("决赛" as "鍐宠禌") without a word.
// Each line is UTF-8 when it can be; a file of GBK lines stays GBK, byte for byte, and a text whose GBK bytes
// would read back as UTF-8 is written as UTF-8.
TEST(Store, EachLineIsUtf8WhenItCanBeAndGbkLinesStayGbk) {
    const std::string gbkLine = "<Tolvanexa>\\ApplicationTitle = 第十届辩论赛 决赛";
    for (const std::string pasted : {"决赛", "正方一辩", "自由辩论", "总结陈词 反方"}) {
        MemoryFileSystem files;
        const std::string line = "<Tolvanexa>\\Stage0Caption = " + pasted;
        files.ConfigFile() = *codec.Utf8ToGbk(H + gbkLine + "\r\n") + line + "\r\n";
        clsConfigFile config(files, codec);
        config.NameSpace("Tolvanexa");
        EXPECT_EQ(config.Item("Stage0Caption"), pasted);
        EXPECT_EQ(config.Item("ApplicationTitle"), "第十届辩论赛 决赛");
        EXPECT_NE(config.SetAsidePath(), "") << "a file of two encodings is kept as it was";
        config.Close();
        EXPECT_EQ(files.ConfigFile(), H + gbkLine + "\r\n" + line + "\r\n");
    }
    // GBK "一" (D2 BB) is also well-formed UTF-8, as Cyrillic "һ": a GBK line or file of such characters alone
    // stays GBK (a format's button "一" read as "һ" before).
    for (const std::string& other : {gbkLine + "\r\n", std::string()}) {
        MemoryFileSystem one;
        one.ConfigFile() = *codec.Utf8ToGbk(H + other + "<Tolvanexa>\\Stage1Button = 一\r\n");
        clsConfigFile config(one, codec);
        config.NameSpace("Tolvanexa");
        EXPECT_EQ(config.Item("Stage1Button"), "一");
        EXPECT_EQ(config.Encoding(), config::FileEncoding::Gbk);
    }
    MemoryFileSystem files;
    const std::string gbk = *codec.Utf8ToGbk(H + gbkLine + "\r\n<Tolvanexa>\\Stage0Caption = 决赛 反方\r\n");
    files.ConfigFile() = gbk;
    {
        clsConfigFile config(files, codec);
        EXPECT_EQ(config.Encoding(), config::FileEncoding::Gbk);
        EXPECT_EQ(config.Items().Item("<Tolvanexa>\\Stage0Caption").Value, "决赛 反方");
    }
    EXPECT_EQ(files.files, (Files{{files.ConfigPath(), gbk}}));
    clsConfigFile config(files, codec);
    config.Item("<Tolvanexa>\\Stage0Caption", "鍐宠禌");  // GBK E5 86 B3 E8 B5 9B, which is UTF-8 "决赛"
    config.Close();
    EXPECT_EQ(config.Encoding(), config::FileEncoding::Utf8WithBom);
    EXPECT_EQ(clsConfigFile(files, codec).Items().Item("<Tolvanexa>\\Stage0Caption").Value, "鍐宠禌");
}

// Neither blank lines before the header, nor a 64 KB key, nor more lines than 16 bits count lose anything.
TEST(Store, HugeFileLoadsWhole) {
    MemoryFileSystem files;
    const std::string longKey(64 * 1024, 'K');
    std::string& file = files.ConfigFile();
    for (int i = 0; i < 10000; ++i) file += "\r\n";
    file += H + longKey + " = long\r\n";
    for (int i = 0; i < 40000; ++i) file += "Key" + std::to_string(i) + " = " + std::to_string(i) + "\r\n";
    const clsConfigFile config(files, codec);
    EXPECT_EQ(config.Items().Count(), 40001);
    EXPECT_EQ(config.Item(longKey), "long");
    EXPECT_EQ(config.Item("key39999"), "39999");
}

// A file past a megabyte is decoded a run of lines at a time: a UTF-8 line or an undecodable byte far
// into it still decides its encoding and whether it is set aside, and a value of many lines that outgrows
// its storage, a key written again after it, reads back whole.
TEST(Store, LargeFileIsDecodedAsAWholeAndItsLongValueReadsBack) {
    std::string lines;
    for (int i = 0; lines.size() < 1600 * 1024; ++i) lines += "正方一辩开篇立论 " + std::to_string(i) + "\r\n";
    const std::string gbk = *codec.Utf8ToGbk(H + "<Tolvanexa>\\Stage1Caption = " + lines + "<Tolvanexa>\\Notes = a\r\n");
    const std::pair<std::string, config::FileEncoding> cases[] = {
        {gbk, config::FileEncoding::Gbk},
        {gbk + "<Tolvanexa>\\Stage2Caption = 决赛\r\n", config::FileEncoding::Utf8},  // the pasted line: set aside
        {gbk + "<Tolvanexa>\\Stage2Caption = \xFF\r\n", config::FileEncoding::Gbk},  // undecodable: set aside
    };
    for (const auto& [file, encoding] : cases) {
        MemoryFileSystem files;
        files.ConfigFile() = file + "<TOLVANEXA>\\stage1caption = again\r\n";
        clsConfigFile config(files, codec);
        config.NameSpace("Tolvanexa");
        EXPECT_EQ(config.Encoding(), encoding);
        EXPECT_EQ(config.SetAsidePath().empty(), &file == &cases[0].first);
        EXPECT_EQ(config.Item("Stage1Caption"), lines.substr(0, lines.size() - 2) + "\r\nagain");
        EXPECT_EQ(config.Item("Notes"), "a");
        config.Item("Notes", "b");
        config.Close();
        const clsConfigFile again(files, codec);
        EXPECT_EQ(again.Items().Item(1).Value, lines.substr(0, lines.size() - 2) + "\r\nagain");
        EXPECT_EQ(again.Items().Item(2).Value, "b");
    }
}

// Random files from awkward pieces: what the store saves (or leaves) reads back as the same items.
TEST(Store, SavedFileReadsBackAsTheSameItems) {
    const std::vector<std::string> pieces = {"a", "A", "<Tolvanexa>\\", "<Other>\\", "=", " ", "\t", "正方", "€", "ＡＢ",
                                             "ａｂ", "Ё", "ё", "\n", "#", "\r\n", "\r\n", "\r", "\r\n\r\n", "\r\r\r"};
    std::mt19937 random(20240611);
    for (int run = 0; run < 400; ++run) {
        std::string file = (random() % 8 == 0 ? "\r\n" : "") + H;
        for (int piece = random() % 80; piece > 0; --piece) file += pieces[random() % pieces.size()];
        MemoryFileSystem files;
        files.ConfigFile() = *codec.Utf8ToGbk(file);
        const std::string before = files.ConfigFile();
        Items expected = ItemsOf(clsConfigFile(files, codec));  // loads, then saves as it ends
        // A file holding lines no setting reads (a "#" line, say) is left as it is.
        for (auto& [key, value] : expected) {
            if (files.ConfigFile() == before) break;
            const std::vector<std::string> lines = config::ValueLines(value);
            value = lines.front();
            for (std::size_t i = 1; i < lines.size(); ++i) value += "\r\n" + lines[i];
        }
        const clsConfigFile again(files, codec);
        ASSERT_EQ(ItemsOf(again), expected) << "run " << run;
        ASSERT_EQ(again.SetAsidePath(), "") << "run " << run;
    }
}

// A fix made in an editor while the timer is open (its message invites it) is not overwritten by closing,
// also after a first start wrote a header-only file; a change of the store's own sets the fix aside.
TEST(Store, AnEditMadeWhileOpenIsNeverLost) {
    const std::string loaded = H + "<Tolvanexa>\\ButtonPadding = abc\r\n";
    const std::string edited = H + "<Tolvanexa>\\ButtonPadding = 18\r\n";
    const std::pair<std::string, bool> cases[] = {{loaded, false}, {"", false}, {loaded, true}};  // file, store changes
    for (const auto& [before, changed] : cases) {
        MemoryFileSystem files;
        if (!before.empty()) files.ConfigFile() = before;
        clsConfigFile config(files, codec);
        config.NameSpace("Tolvanexa");
        if (changed) config.Item("SeparatorWidth", "12");
        files.ConfigFile() = edited;
        config.Close();
        EXPECT_EQ(files.files[changed ? config.SetAsidePath() : files.ConfigPath()], edited);
        EXPECT_EQ(files.ConfigFile().find("SeparatorWidth = 12") != std::string::npos, changed);
    }
}

}  // namespace
