// A countdown counts the time it really ran: pauses and side switches keep the part of the second in
// progress, a hold-up is made up at once, and a side whose time is up cannot take the floor again.
#include "WindowFixture.h"

namespace testsupport {

class ExactTimeTest : public WindowTest {
protected:
    void SetUp() override {
        tmrTimer1.steady = tmrTimer2.steady = &clock.steady;
        Load();
    }
    // Real time passes; each countdown's timer ticks on its schedule.
    void Pass(std::int64_t milliseconds) { AdvanceTimers(clock, milliseconds, {&tmrTimer1, &tmrTimer2}); }
    // Runs `milliseconds` of the page's countdown between a continue and a pause, then idles.
    void Piece(std::int64_t milliseconds) {
        Click("继续");
        Pass(milliseconds);
        Click("暂停");
        Pass(1234);
    }
};

// Before, each start threw away the second in progress: 0.8 s pieces left a speech at its full allowance.
TEST_F(ExactTimeTest, ASpeechRunInPiecesLosesNoTime) {
    Click("正");
    Click("开始");
    Click("暂停");  // ran no time at all
    std::int64_t ran = 0;
    // Pieces of 0.3 to 0.9 s, in an order that puts ticks at every place within a piece.
    for (int i = 0; i < 60; ++i) {
        const std::int64_t piece = 300 + (i * 370) % 601;
        Piece(piece);
        ran += piece;
        ASSERT_EQ(form->intTimer1(), 180 - ran / 1000) << "after " << ran << " ms of running";
    }
}

TEST_F(ExactTimeTest, APauseAtNinetyNineHundredthsTicksRightAfterTheContinue) {
    Click("正");
    Click("开始");
    Pass(990);
    Click("暂停");
    Pass(60'000);
    EXPECT_EQ(lblTimer1.caption, "03:00");
    Click("继续");
    EXPECT_EQ(tmrTimer1.firstDue, 10);
    Pass(10);
    EXPECT_EQ(lblTimer1.caption, "02:59");
    Pass(999);
    EXPECT_EQ(lblTimer1.caption, "02:59");
    Pass(1);
    EXPECT_EQ(lblTimer1.caption, "02:58");
}

// Reset, re-entering and leaving the page start the next run on a whole second, as they restore the count.
TEST_F(ExactTimeTest, ResetAndEnteringAPageClearTheCarriedPart) {
    Click("正");
    for (const char* clear : {"重置", "返回"}) {
        Click("开始");
        Pass(700);
        Click("暂停");
        Click(clear);
        if (std::string(clear) == "返回") Click("正");
        Click("开始");
        EXPECT_EQ(tmrTimer1.firstDue, 1000) << clear;
        Pass(999);
        EXPECT_EQ(form->intTimer1(), 180) << clear;
        Pass(1);
        EXPECT_EQ(form->intTimer1(), 179) << clear;
        Click("重置");
    }
}

// Twelve turns of 2.6 s a side showed 12 s used on each clock, though each side spoke 15.6 s; so did ten switches a second.
TEST_F(ExactTimeTest, QuickFreeDebateTurnsCountEverySideTheTimeItSpoke) {
    Click("自由辩论");
    for (int turn = 0; turn < 24; ++turn) {
        Click(turn % 2 == 0 ? "正方" : "反方");
        Pass(2600);
    }
    EXPECT_EQ(form->intTimer1(), 180 - 31);  // 31.2 s each
    EXPECT_EQ(form->intTimer2(), 180 - 31);
    for (int turn = 0; turn < 200; ++turn) {
        Click(turn % 2 == 0 ? "正方" : "反方");
        Pass(100);
    }
    EXPECT_EQ(form->intTimer1(), 180 - 41);  // 10 s more each
    EXPECT_EQ(form->intTimer2(), 180 - 41);
}

// The chime comes on the tick that finds 30 and the bell on the tick that finds 0, wherever the pauses fell.
TEST_F(ExactTimeTest, CuesFallOnTheirTicksAfterPieces) {
    Load({{"Stage1Timer1", "32"}});
    Click("正");
    Click("开始");
    Click("暂停");
    Piece(1500);
    Piece(600);
    EXPECT_TRUE(sound.played.empty());
    Piece(900);  // the third tick, at 3.0 s of running, finds 30
    ASSERT_EQ(sound.played.size(), 1u);
    EXPECT_EQ(sound.played[0].name, "thirty.wav");
    EXPECT_EQ(sound.played[0].captions, std::vector<std::string>{"00:30"});
    for (int i = 0; i < 42; ++i) Piece(700);
    Piece(500);  // 32.9 s: "00:00" shows, no bell yet
    EXPECT_EQ(lblTimer1.caption, "00:00");
    EXPECT_EQ(sound.played.size(), 1u);
    Piece(100);  // 33.0 s: the tick that finds 0
    EXPECT_EQ(sound.played.back().name, "zero.wav");
    EXPECT_EQ(Running(), "");
}

// A laptop that froze for 5.4 s: the count catches up in one step and the next tick keeps the run's grid.
TEST_F(ExactTimeTest, AHoldUpIsMadeUpOnceAndTheCuesOnTheWayStillSound) {
    Load({{"Stage1Timer1", "40"}});
    Click("正");
    Click("开始");
    Pass(3000);
    clock.steady += 5400;  // nothing delivered meanwhile; then one late tick
    tmrTimer1.Tick();
    EXPECT_EQ(form->intTimer1(), 40 - 8);
    EXPECT_EQ(tmrTimer1.firstDue, 600);  // the ninth second ends 0.6 s on
    Pass(600);
    EXPECT_EQ(form->intTimer1(), 40 - 9);
    // Held up across 30 and 0: the chime and the bell both sound, once each, and the countdown stops.
    clock.steady += 40'000;
    tmrTimer1.Tick();
    EXPECT_EQ(Running(), "");
    EXPECT_EQ(lblTimer1.caption, "00:00");
    ASSERT_EQ(sound.played.size(), 2u);
    EXPECT_EQ(sound.played[0].name, "thirty.wav");
    EXPECT_EQ(sound.played[1].name, "zero.wav");
}

// A freeze is made up by the next event, whichever comes first: a pause shows and records the seconds run,
// and an overtime that began during the freeze counts from when the time ran out, not from the late tick.
TEST_F(ExactTimeTest, AfterAHoldUpAPauseShowsTheTimeRunAndOvertimeCountsFromZero) {
    Load({{"Stage1Timer1", "2"}, {"Stage2Timer1", "180"}});
    Click("反方一辩发言");
    Click("开始");
    clock.steady += 6300;  // frozen; the pause is handled before the late tick
    Click("暂停");
    EXPECT_EQ(lblTimer1.caption, "02:54");
    EXPECT_EQ(recorder.events.back().remaining, 174);
    Click("返回");
    Click("正");
    Click("开始");
    clock.steady += 10'000;  // frozen past its zero at 3 s
    tmrTimer1.Tick();
    ASSERT_EQ(sound.played.back().name, "zero.wav");
    clock.steady += 400;
    tmrTime.Tick();
    EXPECT_EQ(lblTimer1Desc.caption, "正方  超时 00:07");
}

// Before, 正方's button after its time was up stopped 反方, rang 正方's bell again and restarted its overtime.
TEST_F(ExactTimeTest, ASideWhoseTimeIsUpCannotTakeTheFloor) {
    Load({{"Stage9Timer1", "2"}});
    Click("自由辩论");
    Click("正方");
    Pass(3000);  // 2 s, then the tick that finds 0
    ASSERT_EQ(sound.played.back().name, "zero.wav");
    const auto cues = sound.played.size();
    Click("暂停");  // the pause button still offers to pause the spent side,
    Click("继续");  // but cannot give it the floor again
    EXPECT_EQ(Running(), "");
    EXPECT_EQ(window.hints.back(), "正方时间已用完");
    Click("反方");
    const auto events = recorder.events.size();
    for (Key key : {Key::Left, Key::Left}) form->Form_KeyDown(key);
    Click("正方");
    EXPECT_EQ(Running(), "2");
    EXPECT_EQ(window.hints.back(), "正方时间已用完");
    EXPECT_EQ(sound.played.size(), cues);
    EXPECT_EQ(recorder.events.size(), events);
    EXPECT_EQ(form->intTimer1(), 0);
}

// With a second screen the time-keeper watches only this window: it shows the overtime the hall sees.
TEST_F(ExactTimeTest, TheMainWindowShowsTheOvertimeBesideTheSide) {
    Load({{"Stage1Timer1", "1"}});
    Click("正");
    Click("开始");
    Pass(2000);
    EXPECT_EQ(lblTimer1Desc.caption, "正方  超时 00:00");
    for (int second = 0; second < 65; ++second) clock.steady += 1000, tmrTime.Tick();
    EXPECT_EQ(lblTimer1Desc.caption, "正方  超时 01:05");
    EXPECT_EQ(lblTimer1.caption, "00:00");  // the count itself is unchanged
    EXPECT_EQ(audience.frame.countdowns[0].side, "正方");
    EXPECT_EQ(audience.frame.countdowns[0].overtimeSeconds, 65);
    Click("重置");
    EXPECT_EQ(lblTimer1Desc.caption, "正方");
}

}  // namespace testsupport
