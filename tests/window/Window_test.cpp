// What the window shows: its layout, the bar and the clock; the pages' names,
// their durations and the fonts; countdown 1 ticking by hand, with the cues and
// what the display showed while they sounded.
#include "WindowFixture.h"

namespace testsupport {

using LayoutTest = WindowTest;
using PagesTest = WindowTest;

TEST_F(LayoutTest, DesignSizesCentreBothRowsBelowTheCaption) {
    window.Resize(15000, 10515);
    // (15000 - 3615 - 4320 - 750) / 2: the half twip is kept.
    for (const FakeLabel* label : {&lblTimer1Desc, &lblTimer2Desc}) EXPECT_DOUBLE_EQ(label->left, 3157.5);
    for (const FakeLabel* label : {&lblTimer1, &lblTimer2}) EXPECT_DOUBLE_EQ(label->left, 8227.5);
    for (const FakeLabel* label : {&lblTimer1Desc, &lblTimer1}) EXPECT_DOUBLE_EQ(label->top, 3180);
    for (const FakeLabel* label : {&lblTimer2Desc, &lblTimer2}) EXPECT_DOUBLE_EQ(label->top, 6135);
}

TEST_F(LayoutTest, BarButtonsOverlapByOnePixelHiddenGapsIncluded) {
    form->BuildButtonBar(std::string(14, 'A') + "||" + std::string(10, 'B'));  // 1050 + 150 and 750 + 150 wide
    EXPECT_FALSE(Button(1).visible);
    EXPECT_DOUBLE_EQ(Button(0).left, 0);
    EXPECT_DOUBLE_EQ(Button(1).left, 1185);
    EXPECT_DOUBLE_EQ(Button(2).left, 1470);
    EXPECT_DOUBLE_EQ(Button(2).top, 10515 - 390);
}

TEST_F(LayoutTest, RebuildReplacesEveryButtonButTheFirst) {
    ASSERT_EQ(cmdCommand.buttons.size(), 20u);  // the home page's bar
    Button(0).enabled = false;                  // as a start leaves it
    cmdCommand.loaded.clear();
    form->Config().Item("ButtonPadding", "4");  // read afresh by every rebuild
    form->Config().Item("SeparatorWidth", "6");
    form->BuildButtonBar("开始|暂停|重置||返回");
    EXPECT_EQ(cmdCommand.unloaded, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18,
                                                     19}));
    EXPECT_EQ(cmdCommand.loaded, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(Bar(), "开始|暂停|重置||返回");
    EXPECT_TRUE(Button(0).enabled);
    EXPECT_FALSE(Button(3).visible);
    EXPECT_DOUBLE_EQ(Button(0).width, 60 + 6 * 75);  // padding and the text's six bytes
    EXPECT_DOUBLE_EQ(Button(0).height, 60 + 240);
    EXPECT_DOUBLE_EQ(Button(3).width, 90);
}

TEST_F(LayoutTest, ClockShowsTheTimeFromStartUpInTheBottomRightCorner) {
    EXPECT_EQ(cmdTime.caption, "00:00:00");  // midnight, before any tick of its own
    clock.now = {21, 0, 0};
    tmrTime.Tick();
    EXPECT_EQ(cmdTime.caption, "21:00:00");
    EXPECT_DOUBLE_EQ(cmdTime.width, 8 * 75 + 150);  // padding once, not per side
    EXPECT_DOUBLE_EQ(cmdTime.height, 240 + 150);
    EXPECT_DOUBLE_EQ(cmdTime.left, 15000 - 750);
    EXPECT_DOUBLE_EQ(cmdTime.top, 10515 - 390);
}

// 2184 pixels is the most 16-bit twips can hold; wider displays are common.
TEST_F(LayoutTest, WindowWiderThanSixteenBitsStillLaysOut) {
    const std::string wide(266, 'W');  // 19950 + 150 wide, 20085 on from its left neighbour
    form->BuildButtonBar(wide + "|" + wide + "|" + wide);
    window.Resize(3840 * 15, 2160 * 15);
    EXPECT_DOUBLE_EQ(Button(2).left, 2 * 20085);
    EXPECT_DOUBLE_EQ(cmdTime.left, 3840 * 15 - 750);
    EXPECT_TRUE(errors.messages.empty());
}

TEST_F(PagesTest, ConfiguredNameReplacesThePageName) {
    Load({{"Stage0Caption", "首页"}, {"Stage3Caption", "盘问环节"}});
    EXPECT_EQ(window.title, "校际辩论赛 - 首页");
    EXPECT_EQ(lblCaption.caption, "首页");
    form->ShowPage(3);
    EXPECT_EQ(window.title, "校际辩论赛 - 盘问环节");
    EXPECT_EQ(lblCaption.caption, "盘问环节");
    form->Config().Remove("Stage3Caption");
    form->ShowPage(3);
    EXPECT_EQ(window.title, "校际辩论赛 - 正二选择反二、三");
    EXPECT_EQ(lblCaption.caption, "正二选择反二、三");
}

TEST_F(PagesTest, PagesOutOfRangeGoHome) {
    for (const std::int16_t page : {12, -1}) {
        form->ShowPage(1);
        form->ShowPage(page);
        EXPECT_EQ(form->intPage(), 0) << page;
        EXPECT_EQ(cmdCommand.buttons.size(), 20u) << page;
    }
}

class Durations : public PagesTest, public ::testing::WithParamInterface<std::pair<const char*, int>> {};
TEST_P(Durations, AreRoundedHalfToEven) {
    Load({{"Stage1Timer1", GetParam().first}});
    form->ShowPage(9);
    form->ShowPage(1);
    EXPECT_EQ(form->intTimer1(), GetParam().second);
    EXPECT_TRUE(lblTimer1.visible && lblTimer1Desc.visible);
    EXPECT_FALSE(lblTimer2.visible || lblTimer2Desc.visible);  // page 1 has one countdown
}
INSTANTIATE_TEST_SUITE_P(Halves, Durations, ::testing::Values(std::pair("90.5", 90), std::pair("91.5", 92)));

// A bad size must not keep the other attributes from being applied. Every
// caption attribute starts on, so "yes" read as false would show too.
TEST_F(PagesTest, FontsAreAppliedAttributeByAttribute) {
    lblCaption.font = {"黑体", 60, true, true, true};
    Load({{"TimerFont", "Noto Sans"}, {"TimerFontBold", "True"}, {"TimerFontItalic", "1"},
          {"TimerFontUnderline", "tRUE"}, {"TimerFontSize", "abc"}, {"CaptionFontBold", "yes"},
          {"CaptionFontItalic", "false"}, {"CaptionFontUnderline", "0"}, {"CaptionFontSize", "36"}});
    for (const FakeLabel* label : {&lblTimer1, &lblTimer1Desc, &lblTimer2, &lblTimer2Desc}) {
        EXPECT_EQ(label->font.name, "Noto Sans");
        EXPECT_EQ(label->font.size, 72);
        EXPECT_TRUE(label->font.bold && label->font.italic && label->font.underline);
    }
    EXPECT_EQ(lblCaption.font.size, 36);
    EXPECT_TRUE(lblCaption.font.bold);  // "yes" is no truth value
    EXPECT_FALSE(lblCaption.font.italic || lblCaption.font.underline);
}

class CountdownTest : public WindowTest {
protected:
    void Run(std::int16_t seconds) {
        form->SetupTimer1(seconds, "正方");
        form->StartTimer1();
    }
    // The display's text, " red" when it is red, " running" while it runs.
    std::string Shown() const {
        const bool red = lblTimer1.colour == platform::kRed;
        return lblTimer1.caption + (red ? " red" : "") + (tmrTimer1.enabled ? " running" : "");
    }
    // Each cue played, with the display's text while it sounded.
    std::string Cues() const {
        std::string cues;
        for (const auto& cue : sound.played) cues += cue.name + " at " + cue.captions.at(0) + ";";
        return cues;
    }
};

TEST_F(CountdownTest, ThirtySecondCueSoundsWhileThirtyIsStillShown) {
    Run(35);
    EXPECT_EQ(Shown(), "00:35 running");
    EXPECT_EQ(lblTimer1Desc.colour, platform::kRed);  // the description is red while it runs
    tmrTimer1.Tick(4);
    EXPECT_EQ(Shown(), "00:31 running");
    tmrTimer1.Tick();
    EXPECT_EQ(Shown(), "00:30 red running");
    tmrTimer1.Tick();
    EXPECT_EQ(Cues(), "thirty.wav at 00:30;");
    EXPECT_EQ(Shown(), "00:29 red running");
}

TEST_F(CountdownTest, ZeroIsShownRunningAndTheNextTickStopsWithTheCue) {
    Run(2);
    tmrTimer1.Tick();
    EXPECT_EQ(Shown(), "00:01 red running");
    tmrTimer1.Tick();
    EXPECT_EQ(Shown(), "00:00 red running");
    tmrTimer1.Tick();
    EXPECT_EQ(Shown(), "00:00 red");
    EXPECT_EQ(lblTimer1Desc.colour, platform::kBlack);
    EXPECT_EQ(Cues(), "zero.wav at 00:00;");
    form->StartTimer1();  // started again at zero, it stops again a tick later with the cue again
    tmrTimer1.Tick();
    EXPECT_EQ(Shown(), "00:00 red");
    EXPECT_EQ(Cues(), "zero.wav at 00:00;zero.wav at 00:00;");
}

// The cue goes by the count a tick finds: a reset re-arms it, a start below 30 never plays it.
TEST_F(CountdownTest, ThirtySecondCueGoesByTheCountFound) {
    Run(60);
    tmrTimer1.Tick(48);
    form->ResetTimer1();
    EXPECT_EQ(Shown(), "01:00 running");
    tmrTimer1.Tick(31);
    EXPECT_EQ(Cues(), "thirty.wav at 00:30;thirty.wav at 00:30;");
    Run(29);
    tmrTimer1.Tick(29);
    EXPECT_EQ(sound.played.size(), 2u);
}

TEST_F(CountdownTest, OvertimeRunsOnInRedWithoutCues) {
    Run(-5);
    EXPECT_EQ(Shown(), "00:-5 red running");
    tmrTimer1.Tick();
    EXPECT_EQ(Shown(), "00:-6 red running");
    tmrTimer1.Tick(100);
    EXPECT_EQ(Shown(), "-1:-46 red running");
    EXPECT_EQ(Cues(), "");
    Run(-32767);  // at the bottom of its range it stays there rather than wrap round to 546 minutes left
    tmrTimer1.Tick(2);
    EXPECT_EQ(Shown(), "-546:-8 red running");
}

}  // namespace testsupport
