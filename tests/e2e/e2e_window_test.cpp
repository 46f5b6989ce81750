// The real window on its real widgets: the home page as the time-keeper first sees it, and a
// whole debate with real one-second timers: every stage from the home page, its countdowns run
// out, the floor handed over, and the program ended with "退出". Durations are a second where a
// countdown must be seen to count and none elsewhere, so the debate takes under twenty seconds.
#include <QApplication>

#include <cmath>

#include "e2e/e2e_support.h"

namespace e2e {
namespace {

// Another program's setting in the file must come through untouched.
const std::vector<Setting> kDebate =
    StandardSettings({"Stage1Timer1", "Stage3Timer1", "Stage4Timer1", "Stage5Timer1", "Stage6Timer1"},
                     {{"Stage9Caption", "自由辩论（决赛）"}, {"<Other>\\Width", "3"}});

class RealDebate : public testing::Test {
protected:
    int Cues() const { return static_cast<int>(real.sound.played.size()); }
    bool Stopped() { return !real.form.tmrTimer1.Enabled() && !real.form.tmrTimer2.Enabled(); }
    void ExpectStage(const std::string& name) {
        EXPECT_EQ(real.form.window.Title(), "华语辩论赛 - " + name);
        EXPECT_EQ(real.form.lblCaption.Caption(), name);
    }

    // Starts the one countdown of a speech, waits for its zero cue, and resets it.
    void RunSpeech(const std::string& name, const std::string& loaded) {
        SCOPED_TRACE(name);
        ExpectStage(name);
        const int cues = Cues();
        real.Click("开始");
        ASSERT_TRUE(RunUntil([&] { return Cues() == cues + 1; }));
        EXPECT_EQ(real.form.lblTimer1.Caption(), "00:00");
        real.Click("重置");
        EXPECT_EQ(real.form.lblTimer1.Caption(), loaded);
        real.Click("返回");
    }
    // The stages the home page opens by `right` and by the "正" or "反" left of it.
    void RunSpeeches(const std::string& left, const std::string& right, const std::string& leftLoaded = "00:00") {
        real.Click(right, kLeftOf);
        RunSpeech(left, leftLoaded);
        real.Click(right);
        RunSpeech(right, "00:00");
    }

    // The answer's time runs out and hands the floor back by itself; then the questioner's runs out.
    void RunQuestioning(const std::string& name, const std::string& answering) {
        SCOPED_TRACE(name);
        ExpectStage(name);
        const int cues = Cues();
        real.Click("开始");
        real.Click(answering);
        ASSERT_TRUE(RunUntil([&] { return Cues() == cues + 2 && Stopped(); }));
        EXPECT_EQ(real.Captions()[2], answering);
        real.Click("返回");
    }

    qttest::TestFolder folder;
    RealWindow real{(folder.Write("Tolvanexa.config", NormalisedConfig(kDebate)), folder.Path())};
};

TEST_F(RealDebate, HomePageShowsTheTitleTheBarFlushWithTheBottomAndTheClockInTheCorner) {
    const platform::QtWindow& window = real.form.window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("华语辩论赛 - 主页"));
    ASSERT_EQ(real.Captions(), kHomeBar);
    double left = 0;
    for (int i = 0; i < static_cast<int>(kHomeBar.size()); ++i) {
        const std::string& caption = kHomeBar[static_cast<std::size_t>(i)];
        SCOPED_TRACE(std::to_string(i) + " " + caption);
        platform::QtButton& button = real.form.cmdCommand.Member(i);
        const QPushButton& widget = *button.Widget();
        EXPECT_EQ(widget.isVisible(), !caption.empty());
        // Padding 18 px and gaps 12 px, in twips.
        EXPECT_NEAR(button.Width(), caption.empty() ? 12 * 15 : 18 * 15 + window.TextWidth(caption), 0.01);
        EXPECT_NEAR(button.Height(), 18 * 15 + window.TextHeight(caption), 0.01);
        // On the screen: flush with the bottom edge, sharing an edge with the neighbours, the caption whole.
        EXPECT_EQ(widget.geometry().bottom() + 1, window.height());
        EXPECT_EQ(widget.x(), std::lround(left / 15));
        EXPECT_TRUE(caption.empty() || widget.width() > widget.fontMetrics().horizontalAdvance(widget.text()));
        left = std::nearbyint(left + button.Width() - 15);
    }
    const QPushButton& clock = *real.form.cmdTime.Widget();
    EXPECT_EQ(clock.geometry().right() + 1, window.width());
    EXPECT_EQ(clock.geometry().bottom() + 1, window.height());
    EXPECT_GT(clock.width(), clock.fontMetrics().horizontalAdvance(clock.text()));
}

TEST_F(RealDebate, AWholeDebateEndsWithTheConfigurationWrittenAsItWasRead) {
    RunSpeeches("正方一辩发言", "反方一辩发言", "00:01");
    for (const std::string negative : {"反二选择反二、三", "反三选择反二、三"}) {
        real.Click(negative, kLeftOf);
        RunQuestioning("正" + negative.substr(std::string("反").size()), "反方");
        real.Click(negative);
        RunQuestioning(negative, "正方");
    }
    RunSpeeches("正一辩攻辩小结", "反一辩攻辩小结");
    real.Click("自由辩论");
    ExpectStage("自由辩论（决赛）");
    real.Click("正方");
    ASSERT_TRUE(RunUntil([&] { return Stopped(); }));
    real.Click("反方");
    ASSERT_TRUE(RunUntil([&] { return Stopped(); }));
    real.Click("返回");
    RunSpeeches("反方四辩总结陈词", "正方四辩总结陈词");
    EXPECT_EQ(Cues(), 16);
    EXPECT_EQ(real.form.errors.MessagesShown(), 0);

    real.Click("退出");
    EXPECT_FALSE(real.form.window.isVisible());
    real.window.Form_Unload();
    EXPECT_EQ(folder.Read("Tolvanexa.config"), NormalisedConfig(kDebate));
}

}  // namespace
}  // namespace e2e

// Closing a window must not end the application between tests, and no cue may reach the speakers;
// the programs the tests start inherit the same, and the toolkit's leaks at exit are not theirs.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("ASAN_OPTIONS", "detect_leaks=0", 0);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
