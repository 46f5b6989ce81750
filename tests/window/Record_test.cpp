// What the debate record is told and what the audience view shows, across a
// debate run through the fakes: time up, overtime, answers, the chess clock.
#include "WindowFixture.h"

namespace testsupport {

using Kind = platform::DebateEventKind;

class RecordTest : public WindowTest {
protected:
    // Each event since the last call as "Kind" or "Kind n" (its countdown) or "Kind n=s" (its seconds).
    std::string Events() {
        static const char* const kNames[] = {"Entered", "Left",   "Started",     "Paused",  "Resumed", "Answer",
                                             "Back",    "Switch", "Thirty",      "TimeUp",  "Over",    "Reset"};
        std::string text;
        for (std::size_t i = seen; i < recorder.events.size(); ++i) {
            const platform::DebateEvent& event = recorder.events[i];
            text += text.empty() ? "" : " ";
            text += kNames[static_cast<int>(event.kind)];
            if (event.countdown != 0) text += " " + std::to_string(event.countdown);
            if (event.seconds != 0) text += "=" + std::to_string(event.seconds);
        }
        seen = recorder.events.size();
        return text;
    }
    // Advances the steady clock and the countdown's timer together, a second a tick.
    void Run(FakeTimer& timer, int seconds) {
        for (int i = 0; i < seconds; ++i) {
            clock.steady += 1000;
            timer.Tick();
        }
    }
    const platform::AudienceCountdown& Shown(int countdown) const {
        return audience.frame.countdowns.at(static_cast<std::size_t>(countdown - 1));
    }
    void Clicks(std::initializer_list<const char*> captions) { for (const char* caption : captions) Click(caption); }
    std::size_t seen = 0;
};

TEST_F(RecordTest, ASpeechRunsOverUntilTheTimeKeeperActs) {
    Load({{"Stage1Timer1", "32"}});
    Clicks({"正", "开始"});
    Run(tmrTimer1, 3);  // the third tick finds 30
    Clicks({"暂停", "继续"});
    EXPECT_EQ(Events(), "Entered Started 1 Thirty 1 Paused 1 Resumed 1");
    Run(tmrTimer1, 29);  // "00:00" shows, still running
    EXPECT_FALSE(Shown(1).timeUp);
    Run(tmrTimer1, 1);   // the tick that stops it and asks for the bell
    EXPECT_EQ(Events(), "TimeUp 1");
    EXPECT_TRUE(Shown(1).timeUp && Shown(1).red && !Shown(1).running);

    // The clock's second brings the overtime to the view; the main window keeps its 00:00.
    clock.steady += 7400;
    tmrTime.Tick();
    EXPECT_EQ(Shown(1).overtimeSeconds, 7);
    // The clock's second a little early, then late: the hall sees 8, 9, never 7 twice or 8 skipped.
    for (const auto& [step, hall] : {std::pair(998, 8), {1003, 9}}) {
        clock.steady += step, tmrTime.Tick();
        EXPECT_EQ(Shown(1).overtimeSeconds, hall);
    }
    EXPECT_EQ(lblTimer1.caption, "00:00");
    Click("返回");
    EXPECT_EQ(Events(), "Over 1=9 Left");
    EXPECT_TRUE(audience.frame.home);
    EXPECT_FALSE(form->OvertimeSeconds(1).has_value());
}

// The questioner's time is up while an answer still runs: a first R only shows its hint and is not the
// time-keeper acting; the second press is.
TEST_F(RecordTest, AFirstResetThatOnlyShowsItsHintLeavesTheOvertimeRunning) {
    Load({{"Stage3Timer1", "1"}});
    form->ShowPage(3);
    Clicks({"开始", "反方"});
    Run(tmrTimer1, 2);
    EXPECT_EQ(Running(), "2");
    Events();
    window.onKey(Key::R);
    EXPECT_EQ(window.hints.size(), 1u);
    EXPECT_TRUE(form->OvertimeSeconds(1).has_value());
    clock.steady += 500;
    window.onKey(Key::R);
    EXPECT_FALSE(form->OvertimeSeconds(1).has_value());
    EXPECT_EQ(Events().rfind("Over 1", 0), 0u);
}

TEST_F(RecordTest, AnAnswerHandedBackAtItsZeroHasNoOvertime) {
    Load({{"Stage3Timer2", "3"}});
    form->ShowPage(3);
    Clicks({"开始", "反方"});
    Run(tmrTimer2, 2);
    Click("正方");  // handed back after two seconds of its three
    EXPECT_EQ(Events(), "Entered Started 1 Answer 2 Back 2=2");
    Click("反方");
    Run(tmrTimer2, 4);  // runs out and hands itself back
    EXPECT_EQ(Events(), "Answer 2 TimeUp 2 Back 2=3");
    EXPECT_FALSE(Shown(2).timeUp);
    EXPECT_TRUE(Shown(1).running && Shown(2).shown);
    EXPECT_EQ(Shown(2).text, "00:03");
}

TEST_F(RecordTest, AResetIsANewRunAndAStopAtZeroKeepsOnlyTheSpeechThatRanOver) {
    Load({{"Stage9Timer1", "1"}});
    Clicks({"自由辩论", "正方"});
    Run(tmrTimer1, 2);
    EXPECT_EQ(Events(), "Entered Started 1 TimeUp 1");
    Click("反方");  // the other side's turn is the time-keeper's next action
    EXPECT_EQ(Events(), "Over 1 Started 2");
    Click("重置");
    EXPECT_EQ(Events(), "Reset Entered");
}

// A debate closed on a stage that ran over ends that run as a return home would, so its times can be summed.
TEST_F(RecordTest, ClosingTheProgramEndsTheStageShownAndItsOvertime) {
    Load({{"Stage2Timer1", "0"}});
    Clicks({"反方一辩发言", "开始"});
    Run(tmrTimer1, 1);
    clock.steady += 3000;
    tmrTimer1.enabled = false;  // the program stops every timer before the window's logic closes
    form->Form_Unload();
    EXPECT_EQ(Events(), "Entered Started 1 TimeUp 1 Over 1=3 Left");
}

TEST_F(RecordTest, TheAudienceSeesTheTitleAtHomeAndTheRenamedStages) {
    Load({{"Stage0Caption", "决赛"}, {"Stage9Caption", "自由辩论（四分钟）"}});
    EXPECT_TRUE(audience.frame.home);
    EXPECT_EQ(audience.frame.title + "|" + audience.frame.caption, "校际辩论赛|决赛");
    EXPECT_FALSE(Shown(1).shown || Shown(2).shown);
    EXPECT_EQ(audience.frame.clock, cmdTime.caption);
    Click("自由辩论");
    EXPECT_EQ(audience.frame.caption + "|" + lblCaption.caption, "自由辩论（四分钟）|自由辩论（四分钟）");
    EXPECT_EQ(Shown(2).text + " " + std::to_string(Shown(2).allowance), "03:00 180");
    // An event that changes nothing the hall sees is not sent again.
    const int published = audience.published;
    tmrTime.Tick();
    EXPECT_EQ(audience.published, published);
}

}  // namespace testsupport
