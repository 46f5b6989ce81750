// Settings the window cannot use give way to built-in values, said once at start-up, the file left as it is.
#include <gmock/gmock.h>

#include "WindowFixture.h"

namespace testsupport {

using ::testing::HasSubstr;

struct FallbackCase {
    const char* key;
    const char* value;
    const char* shown;  // what the window shows for it, see Shown()
    bool told;          // whether start-up's message names the setting
};

class BuiltInValues : public WindowTest, public ::testing::WithParamInterface<FallbackCase> {
protected:
    // The home bar's "正" (3 bytes) and first gap for the bar's sizes; a countdown's display for a duration.
    std::string Shown() {
        const std::string key = GetParam().key;
        if (key == "ButtonPadding") return std::to_string(static_cast<int>(Button(0).width));
        if (key == "SeparatorWidth") return std::to_string(static_cast<int>(Button(2).width));
        const bool second = key.ends_with("Timer2");
        form->ShowPage(static_cast<std::int16_t>(std::stoi(key.substr(5))));
        return (second ? lblTimer2 : lblTimer1).caption;
    }
};

// Before, a broken padding left only the first button of every bar ("退出" out of reach), and a broken
// duration a page whose hidden countdown still ran; a negative one counted on from "00:-5" and never rang.
TEST_P(BuiltInValues, ReplaceWhatCannotBeUsedAndLeaveTheFileAsItIs) {
    Load({{GetParam().key, GetParam().value}});
    const std::string file = files.files[kConfigPath];
    EXPECT_EQ(Shown(), GetParam().shown);
    if (GetParam().told) {
        ASSERT_EQ(errors.messages.size(), 1u);
        EXPECT_THAT(errors.messages[0], HasSubstr(std::string("“") + GetParam().key + "”"));
    } else {
        EXPECT_TRUE(errors.messages.empty()) << errors.messages[0];
    }
    form->Form_Unload();
    EXPECT_EQ(files.files[kConfigPath], file);
}

// 18 px is 270 twips of padding, plus 225 for "正"; a 12 px gap is 180 twips.
INSTANTIATE_TEST_SUITE_P(
    Unusable, BuiltInValues,
    ::testing::Values(FallbackCase{"ButtonPadding", "-4", "495", true}, FallbackCase{"ButtonPadding", "abc", "495", true},
                      FallbackCase{"SeparatorWidth", "-0.5", "180", true},
                      FallbackCase{"Stage1Timer1", "-0.6", "03:00", true},  // -1 once rounded
                      FallbackCase{"Stage3Timer2", "\t", "00:20", true},
                      FallbackCase{"Stage9Timer2", "4:00", "04:00", true},
                      FallbackCase{"Stage11Timer1", "99999", "04:00", true}));
INSTANTIATE_TEST_SUITE_P(Usable, BuiltInValues,
                         ::testing::Values(FallbackCase{"ButtonPadding", "0", "225", false},
                                           FallbackCase{"SeparatorWidth", "0", "0", false},
                                           FallbackCase{"Stage1Timer1", "0", "00:00", false},
                                           FallbackCase{"Stage1Timer1", "-0.4", "00:00", false}));

// The program copied alone: a usable bar and one line instead of eighteen.
using StartUpTest = WindowTest;
TEST_F(StartUpTest, MissingFileGivesTheDesignBarAndOneLine) {
    form.reset();  // which saves the file
    files.files.erase(kConfigPath);
    Open();
    EXPECT_EQ(Bar(), std::string(Stage(kHomePage).buttons));
    EXPECT_TRUE(Button(19).visible);  // "退出"
    EXPECT_EQ(std::pair(Button(0).width, Button(2).width), std::pair(495.0, 180.0));
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_THAT(errors.messages[0], HasSubstr("没有按钮栏和各环节时长的设置，本次使用内置的值"));
    EXPECT_THAT(errors.messages[0], ::testing::Not(HasSubstr("Stage1Timer1")));
    cmdCommand.Click(0);
    EXPECT_EQ(lblTimer1.caption, "03:00");
}

struct TypoCase {
    const char* name;
    std::string lines;  // appended to a working file
    std::string pointedOut;  // what the message says of them; empty: nothing
};
void PrintTo(const TypoCase& typo, std::ostream* out) { *out << typo.name; }

class Typos : public WindowTest, public ::testing::WithParamInterface<TypoCase> {};

// Before, "<Tolvanexa>\\Stage2Timer1＝180" became part of stage 1's caption, and "Stage2Timer1<tab>" a key of its
// own, with nothing said but that Stage2Timer1 was missing. Now the first is read into nothing (see the store's
// tests) and the message says so; the second still loads as written.
TEST_P(Typos, ArePointedOutWithTheKeyTheyFollow) {
    Load({}, codec.Utf8ToGbk(GetParam().lines).value());
    if (GetParam().pointedOut.empty()) {
        EXPECT_TRUE(errors.messages.empty()) << errors.messages[0];
    } else {
        ASSERT_EQ(errors.messages.size(), 1u);
        EXPECT_THAT(errors.messages[0], HasSubstr("可能有笔误"));
        EXPECT_THAT(errors.messages[0], HasSubstr(GetParam().pointedOut));
    }
}

// Before any key a line is read by no setting: one of ours there is pointed out too, a comment-like one is not.
TEST_F(WindowTest, AnOurLineBeforeAnyKeyIsPointedOut) {
    files.files[kConfigPath] =
        codec.Utf8ToGbk("#TarvelMonic Config File#\r\n<Tolvanexa>\\Stage1Timer1＝180\r\n# 决赛用\r\n"
                        "<Tolvanexa>\\ButtonPadding = 18\r\n").value();
    Open();
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_THAT(errors.messages[0], HasSubstr("“<Tolvanexa>\\Stage1Timer1＝180”一行在所有设置之前，程序不读取它：其中的“＝”"));
    EXPECT_THAT(errors.messages[0], ::testing::Not(HasSubstr("决赛用")));
}

// Before, a file without its header was cut to the header at the close, while the message said both that it
// would be written back and that it would not be changed. (A "＝" slip kept out of the file: the store's tests.)
TEST_F(WindowTest, AMissingHeaderIsNeverWrittenOverAndTheMessageSaysSoOnce) {
    form.reset();
    const std::string headless = "<Tolvanexa>\\Stage1Caption = 开篇\r\n<Tolvanexa>\\ButtonPadding = 18\r\n";
    files.files[kConfigPath] = headless;
    errors.messages.clear();
    Open();
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_THAT(errors.messages[0], HasSubstr("请在该文件的最前面加上一行“#TarvelMonic Config File#”"));
    for (const char* untrue : {"写回", "另存", "没有按钮栏"}) EXPECT_THAT(errors.messages[0], ::testing::Not(HasSubstr(untrue)));
    form->Form_Unload();
    EXPECT_EQ(files.files, (std::map<std::string, std::string>{{kConfigPath, headless}}));
}

INSTANTIATE_TEST_SUITE_P(
    HandEdits, Typos,
    ::testing::Values(
        TypoCase{"FullWidthEquals", "<Tolvanexa>\\Stage1Caption = 开篇\r\n<tolvanexa>\\Stage2Timer1＝180\r\n",
                 "“<tolvanexa>\\Stage2Timer1＝180”一行不是新的设置，程序没有读取它（也没有接在“Stage1Caption”的值后面）：其中的“＝”是全角等号"},
        TypoCase{"PrefixWithoutEquals", "<Tolvanexa>\\Stage1Caption = 开篇\r\n<TOLVANEXA>\\Stage2Timer1 180\r\n",
                 "接在“Stage1Caption”的值后面）：它像一个设置，却没有等号"},
        TypoCase{"SemicolonComment", "<Tolvanexa>\\Stage1Caption = 开篇\r\n  ; 决赛用\r\n", "“; 决赛用”一行"},
        TypoCase{"HashComment", "<Tolvanexa>\\Stage1Caption = 开篇\r\n# 决赛用\r\n", "当作注释"},
        TypoCase{"OurLineUnderAnotherProgramsKey", "<Other>\\Notes = a\r\n<Tolvanexa>\\Stage2Timer1＝180\r\n",
                 "接在“<Other>\\Notes”的值后面"},
        TypoCase{"TabAfterTheKey", "<Tolvanexa>\\Stage2Timer1\t = 180\r\n",
                 "键名“Stage2Timer1[制表符]”中有空格或制表符，程序不把它当作“Stage2Timer1”读取"},
        TypoCase{"BlankInsideTheKey", "<Tolvanexa>\\Stage 2 Timer1 = 180\r\n", "当作“Stage2Timer1”读取"},
        TypoCase{"BlankInsideAnAudienceKey", "<Tolvanexa>\\Audience Screen = 2\r\n", "当作“AudienceScreen”读取"},
        // Not typos: a second line of our caption, another program's comment-like lines, unknown keys.
        TypoCase{"SecondCaptionLine", "<Tolvanexa>\\Stage1Caption = 开篇\r\n第二行 = 不是\r\n", ""},
        TypoCase{"OtherProgramsComment", "<Other>\\Notes = a\r\n# b\r\n", ""},
        TypoCase{"UnknownKeyWithoutBlanks", "<Tolvanexa>\\Stage12Timer1 = 180\r\n<Tolvanexa>\\ Extra = 1\r\n", ""}),
    [](const ::testing::TestParamInfo<TypoCase>& info) { return std::string(info.param.name); });

}  // namespace testsupport
