// Start-up and pages: title, cue names, picture and fonts; the stage table;
// durations; the names of the pages and the wall clock.
#include "WindowFixture.h"

namespace testsupport {
namespace {

class PagesTest : public WindowTest {};

TEST_F(PagesTest, StartUpEndsOnTheHomePage) {
    clock.now = {0, 0, 0};
    Load();
    EXPECT_EQ(form->intPage(), 0);
    EXPECT_EQ(window.title, "校际辩论赛 - 主页");
    EXPECT_EQ(lblCaption.Caption(), "主页");
    EXPECT_EQ(cmdTime.Caption(), "00:00:00");  // the clock shows the time before its first tick
    EXPECT_EQ(form->snd0(), "zero.wav");
    EXPECT_EQ(form->snd30(), "thirty.wav");
    for (const FakeLabel* label : {&lblTimer1, &lblTimer1Desc, &lblTimer2, &lblTimer2Desc})
        EXPECT_FALSE(label->Visible());
    EXPECT_EQ(tmrTimer1.interval, 1000);
    EXPECT_EQ(tmrTime.interval, 1000);
    EXPECT_TRUE(errors.messages.empty());
}

TEST_F(PagesTest, OutOfRangePagesShowHome) {
    Load();
    for (const int page : {12, -1, 32767}) {
        form->ShowPage(1);
        form->ShowPage(static_cast<std::int16_t>(page));
        EXPECT_EQ(form->intPage(), 0) << page;
        EXPECT_EQ(lblCaption.Caption(), "主页") << page;
        EXPECT_EQ(cmdCommand.Count(), 20) << page;
    }
}

TEST_F(PagesTest, ChangingPageStopsTheRunningCountdown) {
    Load();
    form->ShowPage(1);
    form->StartTimer1();
    form->tmrTimer1_Timer();
    form->ShowPage(3);
    EXPECT_FALSE(tmrTimer1.Enabled());
    EXPECT_FALSE(tmrTimer2.Enabled());
    EXPECT_EQ(lblTimer1.Caption(), "01:30");
    EXPECT_EQ(lblTimer2.Caption(), "00:20");
    EXPECT_EQ(lblTimer1Desc.Caption(), "正方");
    EXPECT_EQ(lblTimer2Desc.Caption(), "反方");
    EXPECT_EQ(Bar(), "开始|暂停|反方|重置||返回");
    for (const FakeLabel* label : {&lblTimer1, &lblTimer1Desc, &lblTimer2, &lblTimer2Desc})
        EXPECT_TRUE(label->Visible());
}

TEST_F(PagesTest, PagesWithFewerCountdownsHideTheRest) {
    Load();
    form->ShowPage(9);
    form->ShowPage(1);
    EXPECT_TRUE(lblTimer1.Visible());
    EXPECT_FALSE(lblTimer2.Visible());
    EXPECT_FALSE(lblTimer2Desc.Visible());
    EXPECT_EQ(form->intTimer2Total(), 240);  // left as it was, hidden
    form->ShowPage(0);
    EXPECT_FALSE(lblTimer1.Visible());
    EXPECT_FALSE(lblTimer1Desc.Visible());
}

struct StageCase {
    int page;
    const char* name;
    const char* bar;
    const char* first;
    const char* second;  // empty: no countdown 2
};
class StageRows : public PagesTest, public ::testing::WithParamInterface<StageCase> {};

TEST_P(StageRows, ShowNameBarAndSides) {
    Load();
    const StageCase& row = GetParam();
    form->ShowPage(static_cast<std::int16_t>(row.page));
    EXPECT_EQ(lblCaption.Caption(), row.name);
    EXPECT_EQ(Bar(), row.bar);
    EXPECT_EQ(lblTimer1Desc.Caption(), row.first);
    EXPECT_EQ(lblTimer2.Visible(), std::string(row.second) != "");
    if (lblTimer2.Visible()) {
        EXPECT_EQ(lblTimer2Desc.Caption(), row.second);
    }
}
constexpr const char* kSpeech = "开始|暂停|重置||返回";
INSTANTIATE_TEST_SUITE_P(
    Table, StageRows,
    ::testing::Values(StageCase{1, "正方一辩发言", kSpeech, "正方", ""}, StageCase{2, "反方一辩发言", kSpeech, "反方", ""},
                      StageCase{3, "正二选择反二、三", "开始|暂停|反方|重置||返回", "正方", "反方"},
                      StageCase{4, "反二选择反二、三", "开始|暂停|正方|重置||返回", "反方", "正方"},
                      StageCase{5, "正三选择反二、三", "开始|暂停|反方|重置||返回", "正方", "反方"},
                      StageCase{6, "反三选择反二、三", "开始|暂停|正方|重置||返回", "反方", "正方"},
                      StageCase{7, "正一辩攻辩小结", kSpeech, "正方", ""}, StageCase{8, "反一辩攻辩小结", kSpeech, "反方", ""},
                      StageCase{9, "自由辩论", "正方|反方||暂停||重置||返回", "正方", "反方"},
                      StageCase{10, "反方四辩总结陈词", kSpeech, "反方", ""},
                      StageCase{11, "正方四辩总结陈词", kSpeech, "正方", ""}));

struct DurationCase {
    const char* text;
    int seconds;
};
class Durations : public PagesTest, public ::testing::WithParamInterface<DurationCase> {};
TEST_P(Durations, AreRoundedHalfToEven) {
    Load(With(StandardSettings(), "Stage1Timer1", GetParam().text));
    form->ShowPage(1);
    EXPECT_EQ(form->intTimer1(), GetParam().seconds);
    EXPECT_EQ(form->intTimer1Total(), GetParam().seconds);
}
INSTANTIATE_TEST_SUITE_P(Values, Durations,
                         ::testing::Values(DurationCase{"90.5", 90}, DurationCase{"91.5", 92},
                                           DurationCase{" 180 ", 180}, DurationCase{"1e2", 100},
                                           DurationCase{"-5", -5}, DurationCase{"32767", 32767}));

TEST_F(PagesTest, ConfiguredNameReplacesThePageName) {
    Load(With(With(StandardSettings(), "stage3caption", "盘问环节"), "Stage0Caption", "首页"));
    EXPECT_EQ(window.title, "校际辩论赛 - 首页");
    form->ShowPage(3);  // a key written in lower case is found all the same
    EXPECT_EQ(window.title, "校际辩论赛 - 盘问环节");
    EXPECT_EQ(lblCaption.Caption(), "盘问环节");
    form->ShowPage(5);
    EXPECT_EQ(lblCaption.Caption(), "正三选择反二、三");
    form->Config().Item("Stage5Caption", "  ");  // blanks are a name
    form->ShowPage(5);
    EXPECT_EQ(lblCaption.Caption(), "  ");
}

TEST_F(PagesTest, EmptyConfigurationStillStarts) {
    WriteConfig({});
    form = std::make_unique<frmMain>(Controls());
    form->Form_Load();
    EXPECT_EQ(form->strCaption(), "");
    EXPECT_EQ(form->snd0(), "");
    EXPECT_EQ(window.title, " - 主页");
    EXPECT_EQ(window.picture, "");
    EXPECT_EQ(lblTimer1.Font().size, 72);
    EXPECT_EQ(lblCaption.Font().name, "黑体");  // the design face is kept
    EXPECT_EQ(lblCaption.fontNameCalls, 0);
    EXPECT_EQ(errors.messages.size(), 1u);  // the one start-up message
}

TEST_F(PagesTest, FontsAreAppliedAttributeByAttribute) {
    Settings settings = StandardSettings();
    settings = With(settings, "TimerFont", "Noto Sans");
    settings = With(settings, "TimerFontBold", "true");
    settings = With(settings, "TimerFontItalic", "1");
    settings = With(settings, "TimerFontSize", "abc");
    settings = With(settings, "TimerFontUnderline", "TRUE");
    settings = With(settings, "CaptionFontSize", "36");
    settings = With(settings, "CaptionFontBold", "yes");
    Load(settings);
    for (const FakeLabel* label : {&lblTimer1, &lblTimer1Desc, &lblTimer2, &lblTimer2Desc}) {
        const platform::FontAttributes font = label->Font();
        EXPECT_EQ(font.name, "Noto Sans");
        EXPECT_TRUE(font.bold);
        EXPECT_TRUE(font.italic);
        EXPECT_TRUE(font.underline);
        EXPECT_EQ(font.size, 72);  // the bad size alone is skipped
    }
    EXPECT_EQ(lblCaption.Font().size, 36);
    EXPECT_FALSE(lblCaption.Font().bold);  // "yes" is no truth value
    EXPECT_DOUBLE_EQ(lblCaption.Height(), 36 * 20 + 15);
    EXPECT_TRUE(errors.messages.empty());  // looks fail silently
}

struct TruthCase {
    const char* value;
    bool bold;
};
class CaptionBold : public PagesTest, public ::testing::WithParamInterface<TruthCase> {};
TEST_P(CaptionBold, FollowsTheTruthValue) {
    lblCaption.SetFontBold(!GetParam().bold);
    Load(With(StandardSettings(), "CaptionFontBold", GetParam().value));
    EXPECT_EQ(lblCaption.Font().bold, GetParam().bold);
}
INSTANTIATE_TEST_SUITE_P(Values, CaptionBold,
                         ::testing::Values(TruthCase{"1", true}, TruthCase{"True", true}, TruthCase{"tRuE", true},
                                           TruthCase{"0", false}, TruthCase{"false", false},
                                           TruthCase{"FALSE", false}));

TEST_F(PagesTest, FontSizesThatAreNotAboveZeroAreRefused) {
    Load(With(With(StandardSettings(), "TimerFontSize", "0"), "CaptionFontSize", "-3"));
    EXPECT_EQ(lblTimer1.Font().size, 72);
    EXPECT_EQ(lblCaption.Font().size, 60);
}

TEST_F(PagesTest, BackgroundPictureIsLoadedWhenItCanBe) {
    window.pictures = {"/srv/hall.png"};
    Load(With(StandardSettings(), "Background", "/srv/hall.png"));
    EXPECT_EQ(window.picture, "/srv/hall.png");

    window.picture.clear();
    Load(With(StandardSettings(), "Background", "/srv/missing.png"));
    EXPECT_EQ(window.picture, "");
    EXPECT_EQ(form->intPage(), 0);  // start-up went on without a message
    EXPECT_TRUE(errors.messages.empty());
}

}  // namespace
}  // namespace testsupport
