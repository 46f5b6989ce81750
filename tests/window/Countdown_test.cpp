// One countdown on its own: ticks by hand, cues with what the display showed
// while they sounded, colours, reset and overtime.
#include <gtest/gtest.h>

#include "support/FakeControls.h"
#include "window/Countdown.h"

using testsupport::FakeLabel;
using testsupport::FakeSound;
using testsupport::FakeTimer;

namespace {

class CountdownTest : public ::testing::Test {
protected:
    CountdownTest() { sound.watched = {&display}; }

    void Ticks(int count) {
        for (int i = 0; i < count; ++i) timer.Tick();
    }
    std::vector<std::string> Cues() const {
        std::vector<std::string> names;
        for (const auto& played : sound.played) names.push_back(played.name);
        return names;
    }

    FakeTimer timer;
    FakeLabel display{"00:00", {"黑体", 72}, 0, 0, 3615, 1455};
    FakeLabel description{"timer1", {"黑体", 72}, 0, 0, 4320, 1455};
    FakeSound sound;
    std::string zero = "zero.wav";
    std::string thirty = "thirty.wav";
    int layouts = 0;
    int afterZero = 0;
    Countdown countdown{{timer, display, description}, {sound, zero, thirty}, [this] { ++layouts; },
                        [this] { ++afterZero; }};
};

TEST_F(CountdownTest, SetupShowsTheLoadedTimeStopped) {
    display.SetVisible(false);
    description.SetVisible(false);
    countdown.Setup(90, "正方");
    EXPECT_TRUE(display.Visible());
    EXPECT_TRUE(description.Visible());
    EXPECT_EQ(description.Caption(), "正方");
    EXPECT_EQ(display.Caption(), "01:30");
    EXPECT_EQ(display.ForeColor(), platform::kBlack);
    EXPECT_EQ(description.ForeColor(), platform::kBlack);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(layouts, 1);  // every refresh lays the window out
}

TEST_F(CountdownTest, ThirtySecondCueSoundsBeforeTwentyNineIsShown) {
    timer.onTick = [this] { countdown.Tick(); };
    countdown.Setup(35, "正方");
    countdown.Start();
    EXPECT_EQ(display.ForeColor(), platform::kBlack);
    EXPECT_EQ(description.ForeColor(), platform::kRed);
    Ticks(5);
    EXPECT_EQ(display.Caption(), "00:30");
    EXPECT_EQ(display.ForeColor(), platform::kRed);
    EXPECT_TRUE(sound.played.empty());
    Ticks(1);
    ASSERT_EQ(sound.played.size(), 1u);
    EXPECT_EQ(sound.played[0].name, "thirty.wav");
    EXPECT_EQ(sound.played[0].captions[0], "00:30");  // still on screen while the cue plays
    EXPECT_EQ(display.Caption(), "00:29");
}

TEST_F(CountdownTest, ZeroIsShownRunningAndTheNextTickStopsWithTheCue) {
    timer.onTick = [this] { countdown.Tick(); };
    countdown.Setup(2, "反方");
    countdown.Start();
    Ticks(1);
    EXPECT_EQ(display.Caption(), "00:01");
    Ticks(1);
    EXPECT_EQ(display.Caption(), "00:00");
    EXPECT_TRUE(timer.Enabled());
    EXPECT_TRUE(sound.played.empty());
    Ticks(1);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(description.ForeColor(), platform::kBlack);
    EXPECT_EQ(Cues(), std::vector<std::string>{"zero.wav"});
    EXPECT_EQ(display.Caption(), "00:00");
    EXPECT_EQ(countdown.Remaining(), 0);
    EXPECT_EQ(afterZero, 1);
}

TEST_F(CountdownTest, RestartedAtZeroStopsAgainWithTheCue) {
    zero.clear();  // an empty cue name is handed over all the same
    countdown.Setup(0, "正方");
    countdown.Start();
    countdown.Tick();
    countdown.Start();
    EXPECT_TRUE(timer.Enabled());
    countdown.Tick();
    EXPECT_FALSE(timer.Enabled());
    EXPECT_EQ(Cues(), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(afterZero, 2);
}

TEST_F(CountdownTest, ResetWhileRunningKeepsRunningAndReArmsTheCue) {
    countdown.Setup(60, "正方");
    countdown.Start();
    for (int i = 0; i < 48; ++i) countdown.Tick();
    EXPECT_EQ(countdown.Remaining(), 12);
    EXPECT_EQ(Cues(), std::vector<std::string>{"thirty.wav"});
    countdown.Reset();
    EXPECT_EQ(display.Caption(), "01:00");
    EXPECT_EQ(display.ForeColor(), platform::kBlack);
    EXPECT_TRUE(timer.Enabled());
    for (int i = 0; i < 31; ++i) countdown.Tick();
    EXPECT_EQ(Cues(), (std::vector<std::string>{"thirty.wav", "thirty.wav"}));
}

TEST_F(CountdownTest, CueDependsOnTheCountFoundNotOnPassingThirty) {
    countdown.Setup(30, "正方");
    EXPECT_EQ(display.ForeColor(), platform::kRed);  // red before any start
    countdown.Start();
    countdown.Stop();
    countdown.Start();
    countdown.Tick();
    EXPECT_EQ(Cues(), std::vector<std::string>{"thirty.wav"});

    sound.played.clear();
    countdown.Setup(29, "正方");
    for (int i = 0; i < 10; ++i) countdown.Tick();
    EXPECT_TRUE(sound.played.empty());
}

TEST_F(CountdownTest, NegativeCountRunsOnRedWithoutCues) {
    countdown.Setup(-5, "正方");
    countdown.Start();
    EXPECT_EQ(display.Caption(), "00:-5");
    EXPECT_EQ(display.ForeColor(), platform::kRed);
    countdown.Tick();
    EXPECT_EQ(display.Caption(), "00:-6");
    for (int i = 0; i < 100; ++i) countdown.Tick();
    EXPECT_TRUE(timer.Enabled());
    EXPECT_TRUE(sound.played.empty());
    EXPECT_EQ(afterZero, 0);
}

// The bottom of the 16-bit range must not wrap round to 546 minutes of time left.
TEST_F(CountdownTest, OvertimeStaysAtTheBottomOfItsRange) {
    countdown.Setup(-32767, "正方");
    countdown.Start();
    countdown.Tick();
    countdown.Tick();
    EXPECT_EQ(countdown.Remaining(), -32768);
    EXPECT_EQ(display.Caption(), "-546:-8");
    EXPECT_TRUE(timer.Enabled());
}

}  // namespace
