// A whole debate on the real window with real one-second timers: every stage
// from the home page, its countdowns run out, the floor handed over, and the
// program ended with "退出". Durations are a second or none, so the debate
// takes some twenty seconds. The configuration written at the end must be
// byte for byte the one read at the start.
#include <QApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include "e2e/e2e_support.h"

namespace e2e {
namespace {

constexpr const char* kZeroCue = "sounds/cue0.wav";

std::vector<Setting> DebateSettings() {
    std::vector<Setting> settings = StandardSettings({
        {"Stage1Timer1", "1"},  {"Stage2Timer1", "0"},  {"Stage3Timer1", "1"},  {"Stage3Timer2", "0"},
        {"Stage4Timer1", "1"},  {"Stage4Timer2", "0"},  {"Stage5Timer1", "1"},  {"Stage5Timer2", "0"},
        {"Stage6Timer1", "1"},  {"Stage6Timer2", "0"},  {"Stage7Timer1", "0"},  {"Stage8Timer1", "0"},
        {"Stage9Timer1", "0"},  {"Stage9Timer2", "0"},  {"Stage10Timer1", "0"}, {"Stage11Timer1", "1"},
        {"Stage9Caption", "自由辩论（决赛）"},
    });
    // Settings of another program sharing the file must come through untouched.
    settings.emplace_back("<Other>\\Width", "3");
    return settings;
}

class Debate : public testing::Test {
protected:
    Debate() {
        folder.Write("Tolvanexa.config", NormalisedConfig(DebateSettings()));
        real = std::make_unique<RealWindow>(folder);
    }

    platform::QtForm& form() { return real->form; }
    int ZeroCues() const {
        int count = 0;
        for (const auto& played : real->sound.played) count += played.name == kZeroCue ? 1 : 0;
        return count;
    }
    bool Stopped() { return !form().tmrTimer1.Enabled() && !form().tmrTimer2.Enabled(); }

    void ExpectStage(const std::string& name) {
        EXPECT_EQ(form().window.Title(), "华语辩论赛 - " + name);
        EXPECT_EQ(form().lblCaption.Caption(), name);
    }

    // Starts the one countdown of a speech and waits for its zero cue.
    void RunSpeech(const std::string& name) {
        SCOPED_TRACE(name);
        ExpectStage(name);
        const int cues = ZeroCues();
        real->Click("开始");
        EXPECT_FALSE(real->Button("开始")->isEnabled());
        ASSERT_TRUE(RunUntil([&] { return ZeroCues() == cues + 1; }));
        EXPECT_TRUE(Stopped());
        EXPECT_EQ(form().lblTimer1.Caption(), "00:00");
        EXPECT_EQ(form().lblTimer1.ForeColor(), platform::kRed);
        EXPECT_EQ(form().lblTimer1Desc.ForeColor(), platform::kBlack);
        real->Click("返回");
        ExpectStage("主页");
    }

    // The questioner's time runs; the answer's time runs out and hands the
    // floor back by itself; then the questioner's time runs out.
    void RunQuestioning(const std::string& name, const std::string& answering, const std::string& answer) {
        SCOPED_TRACE(name);
        ExpectStage(name);
        const int cues = ZeroCues();
        real->Click("开始");
        real->Click(answering);
        EXPECT_EQ(real->Captions()[2], answer);
        EXPECT_TRUE(form().tmrTimer2.Enabled());
        ASSERT_TRUE(RunUntil([&] { return ZeroCues() == cues + 2 && Stopped(); }));
        EXPECT_EQ(real->Captions()[2], answering);
        EXPECT_EQ(real->Captions()[1], "暂停");
        real->Click("返回");
    }

    qttest::TestFolder folder;
    std::unique_ptr<RealWindow> real;
};

TEST_F(Debate, AWholeDebateOnTheRealWindow) {
    real->ClickLeftOf("反方一辩发言", "正");
    ExpectStage("正方一辩发言");
    real->Click("暂停");  // before the start: only the caption changes
    real->Click("继续");
    ASSERT_TRUE(RunUntil([&] { return form().lblTimer1.Caption() == "00:00"; }));
    real->Click("重置");
    EXPECT_EQ(form().lblTimer1.Caption(), "00:01");
    RunSpeech("正方一辩发言");

    real->Click("反方一辩发言");
    // Space starts the countdown even while another button has the focus, and
    // does not press that button too.
    real->Button("返回")->setFocus();
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier);
    QApplication::sendEvent(real->Button("返回"), &space);
    QApplication::sendEvent(real->Button("返回"), &release);
    ExpectStage("反方一辩发言");
    ASSERT_TRUE(RunUntil([&] { return ZeroCues() == 2; }));
    real->Click("返回");

    real->ClickLeftOf("反二选择反二、三", "正");
    RunQuestioning("正二选择反二、三", "反方", "正方");
    real->Click("反二选择反二、三");
    RunQuestioning("反二选择反二、三", "正方", "反方");
    real->ClickLeftOf("反三选择反二、三", "正");
    RunQuestioning("正三选择反二、三", "反方", "正方");
    real->Click("反三选择反二、三");
    RunQuestioning("反三选择反二、三", "正方", "反方");

    real->ClickLeftOf("反一辩攻辩小结", "正");
    RunSpeech("正一辩攻辩小结");
    real->Click("反一辩攻辩小结");
    RunSpeech("反一辩攻辩小结");

    real->Click("自由辩论");
    ExpectStage("自由辩论（决赛）");
    real->Click("正方");
    ASSERT_TRUE(RunUntil([&] { return Stopped(); }));
    real->Click("反方");
    ASSERT_TRUE(RunUntil([&] { return Stopped(); }));
    EXPECT_EQ(ZeroCues(), 2 + 4 * 2 + 2 + 2);
    // No hand-back on free debate: the bar is as it was built.
    EXPECT_EQ(real->Captions(), (std::vector<std::string>{"正方", "反方", "", "暂停", "", "重置", "", "返回"}));
    real->Click("返回");

    real->ClickLeftOf("正方四辩总结陈词", "反");
    RunSpeech("反方四辩总结陈词");
    real->Click("正方四辩总结陈词");
    RunSpeech("正方四辩总结陈词");
    EXPECT_EQ(ZeroCues(), 16);
    EXPECT_EQ(real->sound.played.size(), 16u) << "no 30-second cue in a debate this short";

    real->Click("关于");
    EXPECT_EQ(real->browser.opened, std::vector<std::string>{folder.File("about.html")});

    // The projector was kept awake exactly while a countdown ran.
    ASSERT_FALSE(real->displaySleep.calls.empty());
    EXPECT_FALSE(real->displaySleep.calls.back());
    EXPECT_EQ(form().errors.MessagesShown(), 0);

    real->Click("退出");
    EXPECT_FALSE(form().window.isVisible());
    real->window.Form_Unload();
    EXPECT_EQ(folder.Read("Tolvanexa.config"), NormalisedConfig(DebateSettings()));
}

}  // namespace
}  // namespace e2e
