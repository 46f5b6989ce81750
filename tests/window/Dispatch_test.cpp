// What each button does, page by page: start, pause and continue, hand-over on
// the questioning pages, the chess clock of free debate, reset and back.
#include "WindowFixture.h"

namespace testsupport {
namespace {

class DispatchTest : public WindowTest {
protected:
    void SetUp() override { Load(); }
};

struct HomeCase {
    int index;
    int page;
};
class HomeButtons : public DispatchTest, public ::testing::WithParamInterface<HomeCase> {};
TEST_P(HomeButtons, OpenTheirStage) {
    cmdCommand.Click(GetParam().index);
    EXPECT_EQ(form->intPage(), GetParam().page);
}
INSTANTIATE_TEST_SUITE_P(Table, HomeButtons,
                         ::testing::Values(HomeCase{0, 1}, HomeCase{1, 2}, HomeCase{3, 3}, HomeCase{4, 4},
                                           HomeCase{6, 5}, HomeCase{7, 6}, HomeCase{9, 7}, HomeCase{10, 8},
                                           HomeCase{12, 9}, HomeCase{14, 10}, HomeCase{15, 11}, HomeCase{2, 0},
                                           HomeCase{18, 0}));

TEST_F(DispatchTest, AboutOpensThePageBesideTheProgram) {
    Click("关于");
    EXPECT_EQ(browser.opened, std::vector<std::string>{"/opt/Tolvanexa/about.html"});
    EXPECT_EQ(form->intPage(), 0);
    EXPECT_EQ(cmdCommand.Count(), 20);
    EXPECT_EQ(window.closes, 0);
    Click("退出");
    EXPECT_EQ(window.closes, 1);
}

TEST_F(DispatchTest, SpeechStartPauseContinueReset) {
    Click("正");
    Click("开始");
    EXPECT_TRUE(tmrTimer1.Enabled());
    EXPECT_FALSE(Button(0).Enabled());
    EXPECT_EQ(lblTimer1Desc.ForeColor(), platform::kBlack);  // no redraw until the first tick
    Tick1(3);
    EXPECT_EQ(lblTimer1.Caption(), "02:57");
    EXPECT_EQ(lblTimer1Desc.ForeColor(), platform::kRed);
    Click("暂停");
    EXPECT_FALSE(tmrTimer1.Enabled());
    EXPECT_EQ(Button(1).Caption(), "继续");
    Click("继续");
    EXPECT_TRUE(tmrTimer1.Enabled());
    EXPECT_EQ(Button(1).Caption(), "暂停");
    Click("重置");
    EXPECT_EQ(form->intPage(), 1);
    EXPECT_FALSE(tmrTimer1.Enabled());
    EXPECT_EQ(lblTimer1.Caption(), "03:00");
    EXPECT_TRUE(Button(0).Enabled());
    EXPECT_EQ(Bar(), "开始|暂停|重置||返回");
    Click("返回");
    EXPECT_EQ(form->intPage(), 0);
}

TEST_F(DispatchTest, PauseBeforeStartOnlyTurnsTheCaption) {
    Click("正");
    Click("暂停");
    EXPECT_EQ(Button(1).Caption(), "继续");
    EXPECT_FALSE(tmrTimer1.Enabled());
    Click("继续");
    EXPECT_TRUE(tmrTimer1.Enabled());
    EXPECT_TRUE(Button(0).Enabled());
}

TEST_F(DispatchTest, QuestioningHandsTheFloorOverAndBack) {
    form->ShowPage(3);
    Click("开始");
    Click("反方");
    EXPECT_TRUE(tmrTimer1.Enabled());
    EXPECT_TRUE(tmrTimer2.Enabled());
    EXPECT_EQ(Button(2).Caption(), "正方");
    Click("暂停");
    EXPECT_FALSE(tmrTimer1.Enabled());
    EXPECT_FALSE(tmrTimer2.Enabled());
    Click("继续");
    EXPECT_TRUE(tmrTimer1.Enabled());
    EXPECT_TRUE(tmrTimer2.Enabled());
    Tick2(5);
    Click("正方");
    EXPECT_FALSE(tmrTimer2.Enabled());
    EXPECT_EQ(form->intTimer2(), 20);  // back to its full duration
    EXPECT_TRUE(tmrTimer1.Enabled());
    EXPECT_EQ(Button(2).Caption(), "反方");
}

TEST_F(DispatchTest, AnswerRunningOutHandsTheFloorBackOnPageThree) {
    form->ShowPage(3);
    Click("开始");
    Click("反方");
    Tick2(21);  // 20 seconds down to zero, then the zero tick
    ASSERT_FALSE(sound.played.empty());
    EXPECT_EQ(sound.played.back().name, "zero.wav");
    EXPECT_FALSE(tmrTimer2.Enabled());
    EXPECT_EQ(form->intTimer2(), 20);
    EXPECT_EQ(lblTimer2.Caption(), "00:20");
    EXPECT_EQ(Button(2).Caption(), "反方");
    EXPECT_TRUE(tmrTimer1.Enabled());
}

TEST_F(DispatchTest, CountdownTwoAtZeroInFreeDebateDoesNothingMore) {
    Load(With(StandardSettings(), "Stage9Timer2", "1"));
    form->ShowPage(9);
    Click("反方");
    Tick2(2);
    EXPECT_FALSE(tmrTimer2.Enabled());
    EXPECT_EQ(form->intTimer2(), 0);
    EXPECT_EQ(Bar(), "正方|反方||暂停||重置||返回");
    EXPECT_FALSE(tmrTimer1.Enabled());
}

TEST_F(DispatchTest, HandBackOnPageFourRestartsThePausedQuestioner) {
    form->ShowPage(4);
    Click("开始");
    Click("正方");
    Click("暂停");
    EXPECT_FALSE(tmrTimer1.Enabled());
    Click("反方");  // hand back while paused
    EXPECT_TRUE(tmrTimer1.Enabled());
    EXPECT_FALSE(tmrTimer2.Enabled());
    EXPECT_EQ(Button(1).Caption(), "暂停");
    EXPECT_EQ(Button(2).Caption(), "正方");
}

TEST_F(DispatchTest, HandBackOnPageFiveLeavesThePausedQuestionerStopped) {
    form->ShowPage(5);
    Click("开始");
    Click("反方");
    Click("暂停");
    Click("正方");
    EXPECT_FALSE(tmrTimer1.Enabled());
    EXPECT_EQ(Button(1).Caption(), "暂停");  // though nothing runs: the captions are the only state
}

TEST_F(DispatchTest, FreeDebateIsAChessClock) {
    Click("自由辩论");
    Click("暂停");  // first visit: acts on the affirmative
    EXPECT_EQ(Button(3).Caption(), "继续");
    Click("继续");
    EXPECT_TRUE(tmrTimer1.Enabled());
    Click("反方");
    EXPECT_FALSE(tmrTimer1.Enabled());
    EXPECT_TRUE(tmrTimer2.Enabled());
    EXPECT_EQ(form->intSide(), 1);
    Click("暂停");
    EXPECT_FALSE(tmrTimer2.Enabled());
    Click("重置");
    EXPECT_EQ(form->intSide(), 1);  // the side chosen before the reset
    Click("暂停");
    Click("继续");
    EXPECT_TRUE(tmrTimer2.Enabled());
    EXPECT_FALSE(tmrTimer1.Enabled());
    Click("正方");
    EXPECT_EQ(form->intSide(), 0);
    EXPECT_TRUE(tmrTimer1.Enabled());
    EXPECT_FALSE(tmrTimer2.Enabled());
    EXPECT_EQ(Button(3).Caption(), "暂停");
}

}  // namespace
}  // namespace testsupport
