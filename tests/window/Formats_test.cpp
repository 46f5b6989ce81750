// Debate formats: the classic stages as they always were, a format's shapes through the window, the home
// page of thirty stages, and every bad format ending in a usable window with one message.
#include <algorithm>
#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <sstream>

#include "WindowFixture.h"
#include "config/SettingLines.h"
#include "window/StageFormat.h"

namespace testsupport {
namespace {

const char* GroupName(PageGroup group) {
    switch (group) {
        case PageGroup::Home: return "home";
        case PageGroup::Speech: return "speech";
        case PageGroup::Questioning: return "questioning";
        case PageGroup::FreeDebate: return "alternating";
    }
    return "?";
}

std::string Describe(const CountdownEntry& entry) {
    return entry.key + " " + entry.description + " " + std::to_string(entry.builtInSeconds);
}

// One page as a line: name, kind, bar, countdowns, and a questioning page's side captions and hand-back.
std::string Describe(const StagePage& page) {
    std::string line = page.name + " " + GroupName(page.group) + " " + page.buttons;
    if (page.timer1) line += " / " + Describe(*page.timer1);
    if (page.timer2) line += " / " + Describe(*page.timer2);
    if (page.group == PageGroup::Questioning)
        line += " / " + page.answering + " " + page.questioning + (page.handBackStartsQuestioner ? " starts" : "");
    return line;
}

// What each button of the home page does: the page it opens, "-" for a gap, "about", "exit".
std::string HomeActions(const StageTable& table) {
    std::string actions;
    const int buttons = static_cast<int>(std::count(table.Page(0).buttons.begin(), table.Page(0).buttons.end(), '|')) + 1;
    for (int i = 0; i < buttons; ++i) {
        const HomeButton button = table.HomeAction(i);
        actions += i == 0 ? "" : " ";
        switch (button.action) {
            case HomeButton::Action::Open: actions += std::to_string(button.page); break;
            case HomeButton::Action::About: actions += "about"; break;
            case HomeButton::Action::Exit: actions += "exit"; break;
            case HomeButton::Action::None: actions += "-"; break;
        }
    }
    return actions;
}

// The default, exactly as it was before formats existed.
TEST(ClassicStages, AreTheElevenStagesAndTheHomeBarOfBefore) {
    const StageTable& classic = StageTable::Classic();
    EXPECT_FALSE(classic.fromFormat);
    EXPECT_EQ(classic.Page(0).buttons, "正|反方一辩发言||正|反二选择正二、三||正|反三选择正二、三||正|反一辩攻辩小结||"
                                       "自由辩论||反|正方四辩总结陈词||关于||退出");
    EXPECT_EQ(HomeActions(classic), "1 2 - 3 4 - 5 6 - 7 8 - 9 - 10 11 - about - exit");
    std::vector<std::string> pages;
    for (std::int16_t page = 0; page <= classic.LastPage(); ++page) pages.push_back(Describe(classic.Page(page)));
    const std::vector<std::string> before = {
        "主页 home " + classic.Page(0).buttons,
        "正方一辩发言 speech 开始|暂停|重置||返回 / Stage1Timer1 正方 180",
        "反方一辩发言 speech 开始|暂停|重置||返回 / Stage2Timer1 反方 180",
        "正二选择反二、三 questioning 开始|暂停|反方|重置||返回 / Stage3Timer1 正方 90 / Stage3Timer2 反方 20 / 反方 正方",
        "反二选择正二、三 questioning 开始|暂停|正方|重置||返回 / Stage4Timer1 反方 90 / Stage4Timer2 正方 20 / 正方 反方 starts",
        "正三选择反二、三 questioning 开始|暂停|反方|重置||返回 / Stage5Timer1 正方 90 / Stage5Timer2 反方 20 / 反方 正方",
        "反三选择正二、三 questioning 开始|暂停|正方|重置||返回 / Stage6Timer1 反方 90 / Stage6Timer2 正方 20 / 正方 反方 starts",
        "正一辩攻辩小结 speech 开始|暂停|重置||返回 / Stage7Timer1 正方 90",
        "反一辩攻辩小结 speech 开始|暂停|重置||返回 / Stage8Timer1 反方 90",
        "自由辩论 alternating 正方|反方||暂停||重置||返回 / Stage9Timer1 正方 240 / Stage9Timer2 反方 240",
        "反方四辩总结陈词 speech 开始|暂停|重置||返回 / Stage10Timer1 反方 240",
        "正方四辩总结陈词 speech 开始|暂停|重置||返回 / Stage11Timer1 正方 240"};
    EXPECT_EQ(pages, before);
}

std::string ShippedFormat(const std::string& name) {
    std::ifstream file(std::string(TOLVANEXA_FORMATS_DIR) + "/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

FormatLoad ReadText(const std::string& utf8) {
    return ReadFormat(config::SettingLines::Read(utf8).value(), "<Tolvanexa>\\", "/opt/Tolvanexa/formats/f.config");
}

// The classic format written out in the format's keys is the built-in table (the others run whole end to end).
TEST(ShippedFormats, ClassicIsTheBuiltInTable) {
    const FormatLoad classic = ReadText(GbkCodec().GbkToUtf8(ShippedFormat("classic.config")).value());
    ASSERT_TRUE(classic.stages);
    EXPECT_EQ(classic.notice, "");
    ASSERT_EQ(classic.stages->LastPage(), kLastPage);
    for (std::int16_t page = 0; page <= kLastPage; ++page) {
        StagePage read = classic.stages->Page(page);
        for (auto [timer, shipped] : {std::pair{&read.timer1, Stage(page).timer1}, std::pair{&read.timer2, Stage(page).timer2}}) {
            if (!*timer || !shipped) continue;
            // The shipped durations; what stands in for an unusable one is the kind's own.
            EXPECT_EQ((*timer)->seconds, shipped->builtInSeconds) << page;
            (*timer)->seconds.reset();
            (*timer)->builtInSeconds = shipped->builtInSeconds;
        }
        EXPECT_EQ(read, Stage(page)) << Describe(read);
    }
    EXPECT_EQ(HomeActions(*classic.stages), HomeActions(StageTable::Classic()));
}

// A window whose configuration holds a format: `stages` are "Kind,Button,Caption,Side1,Side2,Timer1,Timer2"
// rows (empty fields unwritten), numbered from 1.
class FormatTest : public WindowTest {
protected:
    void SetUp() override {}
    void LoadStages(const std::vector<std::string>& stages, std::map<std::string, std::string> more = {}) {
        more.emplace("StageCount", std::to_string(stages.size()));
        for (std::size_t n = 1; n <= stages.size(); ++n) {
            std::stringstream row(stages[n - 1]);
            std::string field;
            for (const char* key : {"Kind", "Button", "Caption", "Side1", "Side2", "Timer1", "Timer2"}) {
                if (!std::getline(row, field, ',')) break;
                if (!field.empty()) more.emplace("Stage" + std::to_string(n) + key, field);
            }
        }
        Load(more);
    }
    // The captions of each stage's page, as PageDown walks them from home, and back home.
    std::vector<std::string> Walk() {
        std::vector<std::string> pages;
        form->ShowPage(kHomePage);
        while (window.onKey(Key::PageDown)) pages.push_back(lblCaption.caption + ":" + Bar());
        while (form->intPage() != kHomePage) window.onKey(Key::PageUp);
        return pages;
    }
};

struct ShapeCase { const char* name; std::vector<std::string> stages; std::string home; std::string page1; std::string sides; };
void PrintTo(const ShapeCase& row, std::ostream* out) { *out << row.name; }
class Shapes : public FormatTest, public ::testing::WithParamInterface<ShapeCase> {};
TEST_P(Shapes, OpenFromTheirButtonsWithTheirBarsAndSides) {
    const ShapeCase& row = GetParam();
    LoadStages(row.stages);
    EXPECT_EQ(errors.messages, std::vector<std::string>{});
    EXPECT_EQ(Bar(), row.home);
    cmdCommand.Click(0);
    EXPECT_EQ(lblCaption.caption + ":" + Bar(), row.page1);
    EXPECT_EQ(lblTimer1Desc.caption + " " + std::to_string(form->intTimer1()) + " " +
                  (lblTimer2.visible ? lblTimer2Desc.caption + " " + std::to_string(form->intTimer2()) : "-"),
              row.sides);
    EXPECT_EQ(window.title, "校际辩论赛 - " + lblCaption.caption);
}
const ShapeCase kShapes[] = {
    {"SpeechOfTheNegative", {"Speech,反方陈词,反方四辩陈词,反方,,75"}, "反方陈词||关于||退出",
     "反方四辩陈词:开始|暂停|重置||返回", "反方 75 -"},
    {"NegativeCrossExamines", {"Questioning,质询,反方质询正方一辩,反方,正方,120,15"}, "质询||关于||退出",
     "反方质询正方一辩:开始|暂停|正方|重置||返回", "反方 120 正方 15"},
    {"ChineseKindAndAnswererByDefault", {"质询,质询,,反方,,90,20"}, "质询||关于||退出", "质询:开始|暂停|正方|重置||返回",
     "反方 90 正方 20"},
    {"DuibianOfNamedDebaters", {"Alternating,二辩对辩,,正二,反二,90,60"}, "二辩对辩||关于||退出",
     "二辩对辩:正二|反二||暂停||重置||返回", "正二 90 反二 60"},
    {"ThreeStagesEachItsOwnGroupAndDefaults", {"speech,一", "交替,二,,,,100,100", "Speech,三"}, "一||二||三||关于||退出",
     "一:开始|暂停|重置||返回", "正方 180 -"},
};
INSTANTIATE_TEST_SUITE_P(Table, Shapes, ::testing::ValuesIn(kShapes), [](const auto& info) { return info.param.name; });

// 对辩: the chess clock between two named debaters, Left and Right for their buttons, and the record
// naming each debater under the stage's own name (the summary's columns: FormatRecord).
TEST_F(FormatTest, DuibianRunsAsAChessClockAndIsRecordedByItsDebaters) {
    LoadStages({"Speech,立论,,,,60", "Alternating,二辩对辩,正反二辩对辩,正二,反二,90,90"}, {{"Stage2Join", "True"}});
    EXPECT_EQ(Bar(), "立论|二辩对辩||关于||退出");
    cmdCommand.Click(1);
    window.onKey(Key::Left);
    tmrTimer1.Tick(10);
    window.onKey(Key::Right);
    tmrTimer2.Tick(20);
    window.onKey(Key::Left);
    EXPECT_EQ(Running() + " " + std::to_string(form->intTimer1()) + " " + std::to_string(form->intTimer2()), "1 80 70");
    ASSERT_FALSE(recorder.events.empty());
    EXPECT_EQ(recorder.events.front().stage, platform::StageKind::Alternating);
    EXPECT_EQ(recorder.events.front().caption, "正反二辩对辩");
    EXPECT_EQ(recorder.events.back().side, "正二");
}

// A questioning stage of any sides: the side button hands the floor over and back, and with HandBack the
// questioner's countdown starts again as the classic negative rounds do.
TEST_F(FormatTest, QuestioningOfNamedSidesHandsTheFloorBack) {
    LoadStages({"Questioning,盘问,,反三,正二,60,5"}, {{"Stage1HandBack", "True"}});
    cmdCommand.Click(0);
    Click("开始");
    Click("暂停");
    EXPECT_EQ(After("正二") + Button(2).caption, "2反三");
    tmrTimer2.Tick(6);  // the answer runs out: the floor goes back, and the questioner's time runs again
    EXPECT_EQ(Running() + Button(2).caption + Button(1).caption, "1正二暂停");
}

// Thirty-one stages: the first thirty are kept, said once; every button in rows on the window's bottom edge,
// whole on the window, none over another nor over the clock, 关于 and 退出 last, in fewer rows on a larger
// window; PageDown walks them all in order and stops at the last.
TEST_F(FormatTest, TheFirstThirtyStagesLieInRowsClearOfTheClockAndPageDownWalksThemAll) {
    std::vector<std::string> stages;
    for (int n = 1; n <= kMostStages + 1; ++n) stages.push_back("Speech,第" + std::to_string(n) + "环节按钮");
    LoadStages(stages);
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_NE(errors.messages[0].find("“StageCount”的值“31”超过 30，只使用前 30 个环节"), std::string::npos);
    ASSERT_EQ(cmdCommand.UBound(), 2 * kMostStages + 2);
    std::map<double, std::size_t> rowsAt;
    for (const double width : {12000.0, 28800.0}) {
        window.Resize(width, 9000);
        std::set<double> rows;
        std::vector<const FakeButton*> placed;
        for (const auto& [index, button] : cmdCommand.Members()) {
            if (!button->visible) continue;
            SCOPED_TRACE(button->caption);
            const FakeButton& at = *button;
            EXPECT_TRUE(at.left >= 0 && at.left + at.width <= window.width && at.top >= 0 && at.top + at.height <= window.height);
            const auto apart = [&](const FakeButton& other) {  // neighbours share at most a one-pixel edge
                return at.left + at.width <= other.left + 15 || other.left + other.width <= at.left + 15 ||
                       at.top + at.height <= other.top + 15 || other.top + other.height <= at.top + 15;
            };
            EXPECT_TRUE(apart(cmdTime));
            for (const FakeButton* other : placed) EXPECT_TRUE(apart(*other)) << other->caption;
            placed.push_back(button.get());
            rows.insert(at.top + at.height);
        }
        EXPECT_EQ(*rows.rbegin(), window.height);  // the rows stand on the window's bottom edge
        rowsAt[width] = rows.size();
    }
    EXPECT_GT(rowsAt[12000.0], rowsAt[28800.0]);
    EXPECT_TRUE(Bar().ends_with("||关于||退出"));
    const std::vector<std::string> walked = Walk();
    ASSERT_EQ(walked.size(), static_cast<std::size_t>(kMostStages));
    EXPECT_EQ(walked.back(), "第30环节按钮:开始|暂停|重置||返回");
}

// A bad format never locks the time-keeper out: one message naming the file, the line and the setting;
// the usable stages kept (the rest on their kind's built-in values); the classic stages when none is usable.
struct BadCase { const char* name; std::map<std::string, std::string> settings; std::vector<std::string> said;
                 std::string home; };
void PrintTo(const BadCase& row, std::ostream* out) { *out << row.name; }
class BadFormats : public FormatTest, public ::testing::WithParamInterface<BadCase> {};
TEST_P(BadFormats, KeepWhatIsUsableAndSayWhereTheRestIs) {
    const BadCase& row = GetParam();
    Load(row.settings);
    ASSERT_EQ(errors.messages.size(), 1u);
    const std::string& message = errors.messages[0];
    EXPECT_NE(message.find(kConfigPath), std::string::npos) << message;
    for (const std::string& said : row.said) EXPECT_TRUE(std::regex_search(message, std::regex(said))) << message;
    EXPECT_EQ(Bar(), row.home);
    for (const std::string& page : Walk()) EXPECT_TRUE(page.ends_with("返回")) << page;  // no page without a way back
}
const std::string kClassicHome = Stage(0).buttons;
const BadCase kBad[] = {
    {"UnknownKindLeavesTheStageOut", {{"StageCount", "2"}, {"Stage1Kind", "Debate"}, {"Stage1Button", "甲"},
     {"Stage2Kind", "Speech"}, {"Stage2Button", "乙"}},
     {"第 \\d+ 行“Stage1Kind”的值“Debate”不是环节类型.*这一环节未使用"}, "乙||关于||退出"},
    {"MissingKind", {{"StageCount", "1"}, {"Stage1Button", "甲"}}, {"缺少设置“Stage1Kind”", "没有可用的环节"}, kClassicHome},
    {"DurationNotANumber", {{"StageCount", "1"}, {"Stage1Kind", "Speech"}, {"Stage1Button", "甲"}, {"Stage1Timer1", "三分钟"}},
     {"第 \\d+ 行“Stage1Timer1”的值“三分钟”不是有效的数字，改用 180 秒"}, "甲||关于||退出"},
    {"NegativeAnswer", {{"StageCount", "1"}, {"Stage1Kind", "Questioning"}, {"Stage1Button", "甲"}, {"Stage1Timer2", "-5"}},
     {"“Stage1Timer2”的值“-5”是负数，改用 20 秒"}, "甲||关于||退出"},
    {"EmptyButtonTakesTheName", {{"StageCount", "1"}, {"Stage1Kind", "Speech"}, {"Stage1Caption", "立论"}},
     {"缺少设置“Stage1Button”，按钮改用“立论”"}, "立论||关于||退出"},
    {"BarInAButton", {{"StageCount", "1"}, {"Stage1Kind", "Speech"}, {"Stage1Button", "甲|乙"}},
     {"“Stage1Button”的值“甲\\|乙”中有“\\|”"}, "甲｜乙||关于||退出"},
    {"SidesAlike", {{"StageCount", "1"}, {"Stage1Kind", "Alternating"}, {"Stage1Button", "甲"}, {"Stage1Side1", "正二"},
     {"Stage1Side2", "正二"}}, {"“Stage1Side2”的值“正二”与另一方相同"}, "甲||关于||退出"},
    {"SideNamedLikeAButton", {{"StageCount", "1"}, {"Stage1Kind", "Questioning"}, {"Stage1Button", "甲"},
     {"Stage1Side2", "重置"}}, {"“Stage1Side2”的值“重置”与按钮的名称相同"}, "甲||关于||退出"},
    {"HugeCount", {{"StageCount", "1e300"}, {"Stage1Kind", "Speech"}, {"Stage1Button", "甲"}},
     {"“StageCount”的值“1e300”超过 30，只使用前 30 个环节", "缺少设置“Stage2Kind”"}, "甲||关于||退出"},
    {"NoStages", {{"StageCount", "0"}}, {"“StageCount”的值“0”不是 1 到 30 之间的整数", "没有可用的环节"}, kClassicHome},
    {"CountNotGivenStagesWritten", {{"StageCount", "x"}, {"Stage1Kind", "Speech"}, {"Stage1Button", "甲"}},
     {"按写出的 1 个环节使用"}, "甲||关于||退出"},
};
INSTANTIATE_TEST_SUITE_P(Table, BadFormats, ::testing::ValuesIn(kBad), [](const auto& info) { return info.param.name; });

// A format in a file of its own, named by "Format": its stages are used and the file is only read; a file
// that is missing, no regular file or without the header is told, and the classic stages stand.
const std::string kFormatFile = "/opt/Tolvanexa/formats/对辩.config";
TEST_F(FormatTest, FormatFileNamedByTheConfigurationIsReadNeverWritten) {
    const std::string format = codec.Utf8ToGbk("#TarvelMonic Config File#\r\n\r\n<tolvanexa>\\stagecount = 1\r\n"
                                               "<Tolvanexa>\\Stage1Kind = Alternating\r\n<Tolvanexa>\\Stage1Button = 对辩\r\n"
                                               "<Tolvanexa>\\Stage1Timer1 = 九十\r\n<Tolvanexa>\\Stage0Caption = 决赛\r\n").value();
    files.files[kFormatFile] = format;
    Load({{"Format", "formats\\对辩.config"}, {"StageCount", "3"}});
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_NE(errors.messages[0].find("辩论赛制文件“" + kFormatFile + "”中有以下设置无法照原样使用（文件不作改动）：\n"
                                      "  第 6 行“Stage1Timer1”的值“九十”不是有效的数字，改用 240 秒"),
              std::string::npos) << errors.messages[0];
    EXPECT_EQ(Bar(), "对辩||关于||退出");
    // The home page's name is the format's, for the hall too, beneath the title.
    EXPECT_EQ(lblCaption.caption + "|" + form->AudienceNow().caption, "决赛|决赛");
    const std::string config = files.ConfigFile();
    form->Form_Unload();
    form.reset();
    EXPECT_EQ(files.files[kFormatFile], format);
    EXPECT_EQ(files.ConfigFile(), config);
}

struct UnusableFileCase { const char* name; std::function<void(MemoryFileSystem&)> make; std::string said; };
void PrintTo(const UnusableFileCase& row, std::ostream* out) { *out << row.name; }
class UnusableFormatFiles : public FormatTest, public ::testing::WithParamInterface<UnusableFileCase> {};
TEST_P(UnusableFormatFiles, LeaveTheClassicStagesWithAMessage) {
    GetParam().make(files);
    Load({{"Format", "formats/对辩.config"}});
    ASSERT_EQ(errors.messages.size(), 1u);
    EXPECT_NE(errors.messages[0].find(GetParam().said), std::string::npos) << errors.messages[0];
    EXPECT_NE(errors.messages[0].find("本次使用经典赛制的十一个环节"), std::string::npos);
    EXPECT_EQ(Bar(), kClassicHome);
}
const UnusableFileCase kUnusable[] = {
    {"Missing", [](MemoryFileSystem&) {}, "所指的辩论赛制文件“" + kFormatFile + "”不存在"},
    {"Pipe", [](MemoryFileSystem& fs) { fs.files[kFormatFile] = ""; fs.special.insert(kFormatFile); }, kFormatFile},
    {"Unreadable", [](MemoryFileSystem& fs) { fs.files[kFormatFile] = ""; fs.unreadable.insert(kFormatFile); }, kFormatFile},
    {"NoHeader", [](MemoryFileSystem& fs) { fs.files[kFormatFile] = "StageCount = 1\r\n"; }, "第一行不是文件头"},
};
INSTANTIATE_TEST_SUITE_P(Table, UnusableFormatFiles, ::testing::ValuesIn(kUnusable),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace testsupport
