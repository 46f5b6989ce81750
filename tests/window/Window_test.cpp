// What the window shows: layout, bar, clock, pages, fonts, and countdown 1 with its cues, ticked by hand.
#include "WindowFixture.h"

namespace testsupport {

using namespace std::string_literals;

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

TEST_F(LayoutTest, ClockShowsTheTimeFromStartUp) {
    EXPECT_EQ(cmdTime.caption, "00:00:00");  // midnight, before any tick of its own
    clock.now = {2026, 12, 7, 21, 0, 0};
    tmrTime.Tick();
    EXPECT_EQ(cmdTime.caption, "21:00:00");
    EXPECT_EQ(cmdTime.width, 8 * 75 + 150.0);  // padding once, not per side
}

// 2184 pixels is the most 16-bit twips can hold; wider displays are common.
TEST_F(LayoutTest, WindowWiderThanSixteenBitsStillLaysOut) {
    const std::string wide(266, 'W');  // 19950 + 150 wide, 20085 on from its left neighbour
    form->BuildButtonBar(wide + "|" + wide + "|" + wide);
    window.Resize(5120 * 15, 2880 * 15);
    EXPECT_EQ(std::pair(Button(2).left, cmdTime.left), std::pair(2 * 20085.0, 5120 * 15 - 750.0));
    // Too narrow for the three side by side: the bar takes a row more rather than leave the window.
    window.Resize(3840 * 15, 2160 * 15);
    EXPECT_EQ(std::pair(Button(2).left, Button(2).top + Button(2).height), std::pair(0.0, 2160 * 15.0));
    EXPECT_LT(Button(0).top, Button(2).top);
    EXPECT_TRUE(errors.messages.empty());
}

TEST_F(PagesTest, PagesOutOfRangeGoHome) {
    for (const std::int16_t page : {12, -1}) {
        form->ShowPage(1);
        form->ShowPage(page);
        EXPECT_EQ(std::to_string(form->intPage()) + " " + std::to_string(cmdCommand.Members().size()), "0 20") << page;
    }
}

std::tuple<std::string, double, bool, bool, bool> Attributes(const platform::FontAttributes& font) {
    return {font.name, font.size, font.bold, font.italic, font.underline};
}

// A bad size must not stop the other attributes. The caption's start on, so "yes" read as false shows too.
TEST_F(PagesTest, FontsAreAppliedAttributeByAttribute) {
    lblCaption.SetDesignFont({"黑体", 60, true, true, true});
    Load({{"TimerFont", "Noto Sans"}, {"TimerFontBold", "True"}, {"TimerFontItalic", "1"},
          {"TimerFontUnderline", "tRUE"}, {"TimerFontSize", "abc"}, {"CaptionFontBold", "yes"},
          {"CaptionFontItalic", "false"}, {"CaptionFontUnderline", "0"}, {"CaptionFontSize", "36"}});
    for (const FakeLabel* label : {&lblTimer1, &lblTimer1Desc, &lblTimer2, &lblTimer2Desc})
        EXPECT_EQ(Attributes(label->Font()), std::tuple("Noto Sans"s, 72.0, true, true, true));
    EXPECT_EQ(Attributes(lblCaption.Font()), std::tuple("黑体"s, 36.0, true, false, false));  // "yes" is no truth value
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
        return lblTimer1.caption + (red ? " red" : "") + (tmrTimer1.enabled ? " running" : "") + ";";
    }
    // Shown() now, then after each of `count` ticks.
    std::string Ticks(int count) {
        std::string shown = Shown();
        for (int i = 0; i < count; ++i) shown += (tmrTimer1.Tick(), Shown());
        return shown;
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
    EXPECT_EQ(lblTimer1Desc.colour, platform::kRed);  // the description is red while it runs
    EXPECT_EQ(Ticks(6), "00:35 running;00:34 running;00:33 running;00:32 running;00:31 running;"
                        "00:30 red running;00:29 red running;");
    EXPECT_EQ(Cues(), "thirty.wav at 00:30;");
}

TEST_F(CountdownTest, ZeroIsShownRunningAndTheNextTickStopsWithTheCue) {
    Run(2);
    EXPECT_EQ(Ticks(3), "00:02 red running;00:01 red running;00:00 red running;00:00 red;");
    EXPECT_EQ(lblTimer1Desc.colour, platform::kBlack);
    EXPECT_EQ(Cues(), "zero.wav at 00:00;");
    form->StartTimer1();  // started again at zero, it stops again a tick later with the cue again
    EXPECT_EQ(Ticks(1), "00:00 red running;00:00 red;");
    EXPECT_EQ(Cues(), "zero.wav at 00:00;zero.wav at 00:00;");
}

// The cue goes by the count a tick finds: a reset re-arms it, a start below 30 never plays it.
TEST_F(CountdownTest, ThirtySecondCueGoesByTheCountFound) {
    Run(60);
    tmrTimer1.Tick(48);
    form->ResetTimer1();
    EXPECT_EQ(Shown(), "01:00 running;");
    tmrTimer1.Tick(31);
    EXPECT_EQ(Cues(), "thirty.wav at 00:30;thirty.wav at 00:30;");
    Run(29);
    tmrTimer1.Tick(29);
    EXPECT_EQ(sound.played.size(), 2u);
}

TEST_F(CountdownTest, OvertimeRunsOnInRedWithoutCues) {
    Run(-5);
    EXPECT_EQ(Ticks(1), "00:-5 red running;00:-6 red running;");
    tmrTimer1.Tick(100);
    EXPECT_EQ(Shown(), "-1:-46 red running;");
    EXPECT_EQ(Cues(), "");
    Run(-32767);  // at the bottom of its range it stays there rather than wrap round to 546 minutes left
    tmrTimer1.Tick(2);
    EXPECT_EQ(Shown(), "-546:-8 red running;");
}

}  // namespace testsupport
